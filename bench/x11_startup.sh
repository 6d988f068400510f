#!/usr/bin/env bash
# The program's start on the X floor: the build of this tree and an older build side by side
# (BENCH_OLD, e.g. the SDL2 build before the Xlib backend), with xlogo as the floor and
# galculator as the fastest peer, in one run on one Xvfb, first under openbox and then
# without a window manager. For each: start to mapped window, start to first painted frame,
# CPU time until that frame, resident memory once up, and the shared libraries loaded
# (/proc/PID/maps). Medians of RUNS starts after one warm-up, a fresh HOME for each.
#
#   BENCH_OLD=/path/to/old/kambolux bash bench/x11_startup.sh     RUNS=10 by default
#   BENCH_BUILD=DIR picks this tree's build (default build-bench)
#   BENCH_SAME_HOME=1 starts every run in one home: a returning user's start, which finds the
#   fonts an earlier start kept (the default fresh home is a first start, with the fonts record
#   the package writes at install; BENCH_NO_RECORD=1 without it)
set -euo pipefail

if [ -z "${BENCH_MODE:-}" ]; then
	BENCH_MODE=openbox bash "$0"
	BENCH_MODE=none bash "$0"
	exit 0
fi
[ "$BENCH_MODE" = none ] && export BENCH_NO_WM=1
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-10}
program=$(bench_program)
bench_font_record "$program"
command -v xlogo >/dev/null || bench_skip "xlogo (x11-apps) is not installed"
bench_start_display
bench_start_session_bus
bench_build_probe
BENCH_PAINT=1

# name|quit keys|command
contestants=("xlogo|none|xlogo")
if [ -n "${BENCH_OLD:-}" ]; then
	[ -x "$BENCH_OLD" ] || bench_fail "no program at BENCH_OLD=$BENCH_OLD"
	contestants+=("kambolux before|ctrl+q|$BENCH_OLD")
fi
contestants+=("kambolux|ctrl+q|$program")
command -v galculator >/dev/null && contestants+=("galculator|none|galculator")

echo
echo "Window manager: $BENCH_MODE; $runs starts each after one warm-up; load average" \
	"$(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs"
echo
echo "| program | to map (ms) | to first frame (ms) | CPU until the frame (ms) | resident (MB) | shared libraries |"
echo "|---|---|---|---|---|---|"
for contestant in "${contestants[@]}"; do
	IFS='|' read -r name quit command <<<"$contestant"
	log="$BENCH_TMP/${name// /-}.log"
	if ! bench_launch "$log" "$command"; then
		bench_log "$name showed no window; left out: $(tail -n 3 "$log" | tr '\n' ' ')"
		continue
	fi
	bench_stop "$BENCH_PID" "$quit"
	: >"$BENCH_TMP/map" >"$BENCH_TMP/paint" >"$BENCH_TMP/cpu" >"$BENCH_TMP/rss" >"$BENCH_TMP/libs"
	for ((i = 1; i <= runs; i++)); do
		bench_launch "$log" "$command" || continue
		echo "$BENCH_MAP_MS" >>"$BENCH_TMP/map"
		echo "$BENCH_PAINT_MS" >>"$BENCH_TMP/paint"
		echo "$BENCH_CPU_MS" >>"$BENCH_TMP/cpu"
		sleep 0.5
		awk '{ printf "%.1f\n", $1 / 1024 }' <<<"$(bench_rss_kb "$BENCH_PID")" >>"$BENCH_TMP/rss"
		bench_libraries "$BENCH_PID" >>"$BENCH_TMP/libs"
		bench_stop "$BENCH_PID" "$quit"
	done
	echo "| $name | $(bench_median <"$BENCH_TMP/map") | $(bench_median <"$BENCH_TMP/paint") |" \
		"$(bench_median <"$BENCH_TMP/cpu") | $(bench_median <"$BENCH_TMP/rss") |" \
		"$(bench_median <"$BENCH_TMP/libs") |"
done
