#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan+UBSan) and runs each for a bounded time.
#
#   scripts/fuzz.sh [seconds per target, default 48: five targets in four minutes] [target...]
#
# Fails when any target finds a crash, a leak, a hang or a broken property. The input that did
# it is kept in build-fuzz/findings/<target>/; run the target with that file as its argument to
# see it again. What each run found new stays in build-fuzz/corpus/<target>/ for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-48}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
	targets=(settings_fuzzer amount_field_fuzzer calculator_fuzzer dbus_message_fuzzer
		font_record_fuzzer)
fi
case $seconds in
	'' | *[!0-9]*)
		echo "fuzz: the time must be whole seconds, not '$seconds'" >&2
		exit 2
		;;
esac

build=build-fuzz
bash scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B "$build" -DKAMBO_FUZZ=ON -DKAMBO_BUILD_BENCH=OFF \
	-DKAMBO_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ ! -d "$build/fuzz/CMakeFiles" ]; then
	echo "fuzz: the top-level CMakeLists.txt does not add fuzz/ when KAMBO_FUZZ is on" >&2
	exit 2
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
for target in "${targets[@]}"; do
	corpus="$build/corpus/$target"
	findings="$build/findings/$target"
	log="$build/logs/$target.log"
	mkdir -p "$corpus" "$findings" "$(dirname "$log")"
	echo "== $target: ${seconds} s"
	# A single input taking 25 s is a hang, not a slow machine.
	if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
		-artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
		result=ok
	else
		result=FAILED
		status=1
	fi
	runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
	rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
	coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
	echo "   $result: ${runs:-?} executions, ${rate:-?}/s, ${coverage:-cov: ?}"
	if [ $result = FAILED ]; then
		grep -E '^(==[0-9]+==ERROR|SUMMARY|.*property failed|.*runtime error)' "$log" | head -n 5 \
			| sed 's/^/   /'
		echo "   log: $log; inputs: $findings/"
	fi
done
exit $status
