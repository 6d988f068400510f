#!/usr/bin/env bash
# Formats every C and C++ file the project owns with .clang-format (clang-format 14).
#
#   format.sh            rewrite the files in place
#   format.sh --check    change nothing; fail and name each file that is not formatted
#   format.sh FILE...    only these files (also with --check)
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
if [ "${1:-}" = --check ]; then
	check=true
	shift
fi

# Debian's clang-format 14; another version formats some constructs differently.
format=clang-format-14
command -v "$format" >/dev/null 2>&1 || format=clang-format
if ! "$format" --version | grep -q 'version 14\.'; then
	echo "format: need clang-format 14 (scripts/setup.sh installs it)" >&2
	exit 1
fi

if [ $# -gt 0 ]; then
	files=("$@")
else
	# Everything tracked; nothing in the tree is generated or vendored.
	mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.cc')
fi
[ ${#files[@]} -gt 0 ] || exit 0

jobs=$(nproc)
if $check; then
	printf '%s\0' "${files[@]}" | xargs -0 -n 16 -P "$jobs" "$format" --dry-run -Werror
else
	printf '%s\0' "${files[@]}" | xargs -0 -n 16 -P "$jobs" "$format" -i
fi
