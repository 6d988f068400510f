#!/bin/bash
# What the install's record of resolved fonts saves a first start: the program started from a
# fresh home with the record (as installed) and without it (fontconfig loads its
# configuration), one after the other in the same run, RUNS pairs after one warm-up each.
# Prints the medians of the time to the first frame and of the CPU time until then.
#
#   BENCH_BUILD=build bash bench/font_record.sh      RUNS=15 by default
set -euo pipefail
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-15}
program=$(bench_program)
bench_font_record "$program"
record=$KAMBOLUX_FONT_RECORD
unset KAMBOLUX_FONT_RECORD
bench_start_display
bench_start_session_bus
bench_build_probe
BENCH_PAINT=1
log="$BENCH_TMP/kambolux.log"

# One start with the record at $1 (empty: none); appends its figures to $2.
start_with()
{
	KAMBOLUX_FONT_RECORD=${1:-/nonexistent} bench_launch "$log" "$program" \
		|| bench_fail "no window: $(tail -n 3 "$log")"
	echo "$BENCH_PAINT_MS $BENCH_CPU_MS" >>"$2"
	bench_stop "$BENCH_PID" ctrl+q
}

: >"$BENCH_TMP/with" >"$BENCH_TMP/without"
start_with "$record" /dev/null
start_with "" /dev/null
for ((i = 1; i <= runs; i++)); do
	start_with "$record" "$BENCH_TMP/with"
	start_with "" "$BENCH_TMP/without"
done

echo
echo "First starts, $runs of each, alternating; load average $(cut -d' ' -f1-3 /proc/loadavg)" \
	"on $(nproc) CPUs"
echo
echo "| first start | to first frame (ms) | CPU until the frame (ms) |"
echo "|---|---|---|"
for kind in with without; do
	echo "| $kind the install's record | $(cut -d' ' -f1 "$BENCH_TMP/$kind" | bench_median) |" \
		"$(cut -d' ' -f2 "$BENCH_TMP/$kind" | bench_median) |"
done
