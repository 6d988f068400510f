#!/usr/bin/env bash
# Runs clang-tidy 14 with .clang-tidy over every project source file the build compiles, and
# over the project's headers they include. Fails on any finding.
#
#   tidy.sh [BUILD_DIR] [FILE...]    BUILD_DIR defaults to build; it needs
#                                    compile_commands.json (the top CMakeLists.txt exports it)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${1:-build}
shift || true
if [ ! -f "$build/compile_commands.json" ]; then
	echo "tidy: no $build/compile_commands.json; configure with cmake first" >&2
	exit 1
fi

tidy=clang-tidy-14
command -v "$tidy" >/dev/null 2>&1 || tidy=clang-tidy

if [ $# -gt 0 ]; then
	files=("$@")
else
	# Only files in the tree: the generated ones under the build directory are left out.
	mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" <<'PY'
import json, os, sys
root = sys.argv[2] + "/"
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    relative = path[len(root):] if path.startswith(root) else None
    if relative and not relative.startswith("build"):
        print(relative)
PY
	)
fi

# Headers count when they are the project's own, wherever an including file is.
filter="^$root/(about|app|bench|calculator|converter|core|fuzz|platform|resources|settings|tests)/"
printf '%s\0' "${files[@]}" | xargs -0 -n 4 -P "$(nproc)" \
	"$tidy" -p "$build" --quiet --header-filter="$filter" 2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' >&2)
