#!/usr/bin/env bash
# Wake-ups of the idle program with accessibility off and on: the window active, the focus
# moved off the amount field (a click on the swap arrows) so that no caret pulses, then the
# process's context switches (voluntary and not) and CPU time over DURATION seconds. On a
# private session bus; with BENCH_OLD also an older build, and with BENCH_A11Y_MODULE a
# module to start (KAMBOLUX_ACCESSIBILITY=1).
#
#   BENCH_OLD=old/kambolux BENCH_A11Y_MODULE=build/.../module.so bash bench/idle_wakeups.sh
#   DURATION=30 by default; BENCH_BUILD=DIR picks this tree's build
set -euo pipefail
source "$(dirname "$0")/lib.sh"

duration=${DURATION:-30}
program=$(bench_program)
# What the bus may start (at-spi-bus-launcher) keeps its settings in memory.
export GSETTINGS_BACKEND=memory
bench_start_display
bench_start_session_bus
bench_build_probe

switches()
{
	awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { n += $2 } END { print n }' \
		"/proc/$1/status"
}

# name|command...
cases=()
[ -n "${BENCH_OLD:-}" ] && cases+=("before, session bus|$BENCH_OLD")
cases+=("KAMBOLUX_ACCESSIBILITY=0|env KAMBOLUX_ACCESSIBILITY=0 $program")
cases+=("session bus, accessibility off there|$program")
if [ -n "${BENCH_A11Y_MODULE:-}" ]; then
	cases+=("accessibility on, module $(basename "$BENCH_A11Y_MODULE")|env KAMBOLUX_ACCESSIBILITY=1 KAMBOLUX_ACCESSIBILITY_MODULE=$BENCH_A11Y_MODULE $program")
fi

echo
echo "| idle $duration s, no caret | context switches | CPU (ms) | shared libraries |"
echo "|---|---|---|---|"
for entry in "${cases[@]}"; do
	name=${entry%%|*}
	read -r -a command <<<"${entry#*|}"
	bench_launch "$BENCH_TMP/kambolux.log" "${command[@]}" || bench_fail "$name: no window"
	sleep 1
	# The swap arrows at (12, 45)-(32, 66): a click there swaps and takes the focus.
	xdotool mousemove --window "$BENCH_WIN" 22 55 click 1
	sleep 2
	s0=$(switches "$BENCH_PID")
	c0=$(bench_cpu_ns "$BENCH_PID")
	sleep "$duration"
	s1=$(switches "$BENCH_PID")
	c1=$(bench_cpu_ns "$BENCH_PID")
	libraries=$(bench_libraries "$BENCH_PID")
	bench_stop "$BENCH_PID"
	printf '| %s | %d | %.1f | %s |\n' "$name" $((s1 - s0)) \
		"$(awk -v n=$((c1 - c0)) 'BEGIN { print n / 1e6 }')" "$libraries"
done
