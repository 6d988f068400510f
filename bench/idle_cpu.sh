#!/usr/bin/env bash
# CPU use of the idle program under Xvfb with openbox, the window active: as started, then
# with the caret blinking after one typed digit, then after a click on the swap arrows,
# which takes the focus from the amount field, so nothing is left to wake the program.
#
#   bash bench/idle_cpu.sh           DURATION=20 seconds per case by default
set -euo pipefail
source "$(dirname "$0")/lib.sh"

duration=${DURATION:-20}
program=$(bench_program)
bench_start_display
bench_start_session_bus
bench_build_probe

# One case: prints "ticks ns percent" for the next $duration seconds of PID.
measure()
{
	local pid=$1 ticks0 ns0 ticks1 ns1
	ticks0=$(bench_cpu_ticks "$pid")
	ns0=$(bench_cpu_ns "$pid")
	sleep "$duration"
	ticks1=$(bench_cpu_ticks "$pid")
	ns1=$(bench_cpu_ns "$pid")
	awk -v t=$((ticks1 - ticks0)) -v n=$((ns1 - ns0)) -v d="$duration" \
		-v hz="$(getconf CLK_TCK)" \
		'BEGIN { printf "%d %d %.3f %.3f\n", t, n, 100 * t / hz / d, 100 * n / 1e9 / d }'
}

bench_launch "$BENCH_TMP/kambolux.log" "$program" || bench_fail "the program showed no window"
sleep 1
active=$(xdotool getactivewindow 2>/dev/null || echo 0)
[ "$((active))" = "$((BENCH_WIN))" ] \
	|| bench_fail "the window is not active, so its caret would not blink"
# As started: the 0 in the amount field is selected, so no caret shows, but the field still
# takes its pulses.
read -r start_ticks start_ns start_pct start_exact <<<"$(measure "$BENCH_PID")"

# After one typed digit the caret blinks in the amount field at (45, 21)-(153, 43); it has
# to be seen blinking, or this case would measure nothing.
xdotool key 1
sleep 0.5
blinks=$("$BENCH_PROBE" changes "$BENCH_WIN" 45 21 109 23 2)
[ "$blinks" -ge 2 ] || bench_fail "the caret does not blink ($blinks changes in 2 s)"
read -r caret_ticks caret_ns caret_pct caret_exact <<<"$(measure "$BENCH_PID")"

# The swap arrows at (12, 45)-(32, 66): a click there swaps without opening a menu.
xdotool mousemove --window "$BENCH_WIN" 22 55 click 1
sleep 1
still=$("$BENCH_PROBE" changes "$BENCH_WIN" 45 21 109 23 2)
[ "$still" -eq 0 ] || bench_fail "the amount field still changes ($still times in 2 s)"
read -r still_ticks still_ns still_pct still_exact <<<"$(measure "$BENCH_PID")"
bench_stop "$BENCH_PID"

echo
echo "| kambolux idle, $duration s | utime+stime (ticks) | CPU (ms, exact) | CPU % (ticks) | CPU % (exact) |"
echo "|---|---|---|---|---|"
printf '| as started (amount selected, no caret) | %s | %.1f | %s | %s |\n' "$start_ticks" \
	"$(awk -v n="$start_ns" 'BEGIN { print n / 1e6 }')" "$start_pct" "$start_exact"
printf '| caret blinking (%s changes seen in 2 s) | %s | %.1f | %s | %s |\n' "$blinks" "$caret_ticks" \
	"$(awk -v n="$caret_ns" 'BEGIN { print n / 1e6 }')" "$caret_pct" "$caret_exact"
printf '| no caret (focus on the view) | %s | %.1f | %s | %s |\n' "$still_ticks" \
	"$(awk -v n="$still_ns" 'BEGIN { print n / 1e6 }')" "$still_pct" "$still_exact"
