#!/usr/bin/env bash
# Sets up, checks the formatting, builds and runs every test: the plain build and clang-tidy over
# it, the ASan+UBSan build, then each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
status=0

# Style first: it takes seconds and names the files to run scripts/format.sh on.
echo "== format"
if ! bash scripts/format.sh --check; then
	status=1
fi

for config in plain asan; do
	dir=build
	flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
	if [ "$config" = asan ]; then
		dir=build-asan
		flags=(-DCMAKE_BUILD_TYPE=Debug -DKAMBO_SANITIZE=ON -DKAMBO_BUILD_BENCH=OFF)
		export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
	fi
	echo "== $config build ($dir)"
	cmake -S . -B "$dir" "${flags[@]}" >/dev/null
	cmake --build "$dir" -j"$jobs"
	echo "== $config tests"
	if ! (cd "$dir" && ctest --output-on-failure -j"$jobs"); then
		status=1
	fi
	# clang-tidy reads the plain build's compile commands (and its generated headers).
	if [ "$config" = plain ]; then
		echo "== clang-tidy"
		if ! bash scripts/tidy.sh "$dir"; then
			status=1
		fi
	fi
done

echo "== fuzz targets"
if ! bash scripts/fuzz.sh "${KAMBO_FUZZ_SECONDS:-48}"; then
	status=1
fi
exit $status
