#!/usr/bin/env bash
# Start-up of the real program under Xvfb with openbox: time from the fork to the mapped
# window and to the first painted frame (median of RUNS, after one warm-up start), resident
# memory once the window is up, and the key-to-frame latency seen on the screen.
#
#   bash bench/startup.sh     RUNS=20 by default; BENCH_BUILD=DIR picks the build;
#                             BENCH_HOMES=/dev/shm keeps the settings file on a tmpfs
#                             BENCH_SAME_HOME=1 starts as a returning user, settings saved
set -euo pipefail
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-20}
program=$(bench_program)
bench_font_record "$program"
bench_start_display
bench_start_session_bus
bench_build_probe
BENCH_PAINT=1
log="$BENCH_TMP/kambolux.log"

bench_launch "$log" "$program" || bench_fail "no window on warm-up; see the program's log"
bench_stop "$BENCH_PID"

: >"$BENCH_TMP/map" >"$BENCH_TMP/paint" >"$BENCH_TMP/rss" >"$BENCH_TMP/cpu"
for ((i = 1; i <= runs; i++)); do
	bench_launch "$log" "$program" || bench_fail "run $i: no window: $(tail -n 5 "$log")"
	echo "$BENCH_MAP_MS" >>"$BENCH_TMP/map"
	echo "$BENCH_PAINT_MS" >>"$BENCH_TMP/paint"
	echo "$BENCH_CPU_MS" >>"$BENCH_TMP/cpu"
	# Up and idle: what a user's session carries.
	sleep 0.5
	bench_rss_kb "$BENCH_PID" >>"$BENCH_TMP/rss"
	bench_stop "$BENCH_PID"
	bench_gone "$BENCH_PID" || bench_fail "run $i: ctrl+q did not end the program"
done

# Key latency on the screen: XTest key press to the first change of the euro line and the
# target field (the caret blinks in the amount field above them, so that is left out).
bench_launch "$log" "$program" || bench_fail "no window for the key test"
sleep 0.5
active=$(xdotool getactivewindow 2>/dev/null || echo 0)
[ "$((active))" = "$((BENCH_WIN))" ] || bench_log "the window is not active; keys may miss it"
keys=()
for _ in 1 2 3 4; do
	keys+=(1 2 3 4 5 BackSpace BackSpace BackSpace BackSpace BackSpace)
done
"$BENCH_PROBE" keys "$BENCH_WIN" 34 46 139 47 "${keys[@]}" >"$BENCH_TMP/keys"
bench_stop "$BENCH_PID"
missed=$(grep -c '^-1' "$BENCH_TMP/keys" || true)

ms() { grep -v '^-1' "$1" | bench_median; }
max() { sort -g "$1" | tail -n 1; }
echo
echo "Load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs"
echo
echo "| kambolux ($runs starts after one warm-up) | median | worst |"
echo "|---|---|---|"
echo "| start to mapped window (ms) | $(ms "$BENCH_TMP/map") | $(max "$BENCH_TMP/map") |"
echo "| start to first painted frame (ms) | $(ms "$BENCH_TMP/paint") | $(max "$BENCH_TMP/paint") |"
echo "| CPU time used until the first frame (ms) | $(ms "$BENCH_TMP/cpu") | $(max "$BENCH_TMP/cpu") |"
awk '{ printf "%.1f\n", $1 / 1024 }' "$BENCH_TMP/rss" >"$BENCH_TMP/rss_mb"
echo "| resident memory, window up (MB) | $(bench_median <"$BENCH_TMP/rss_mb") | $(max "$BENCH_TMP/rss_mb") |"
echo "| key to changed pixels on screen (ms, ${#keys[@]} keys, $missed missed) | $(ms "$BENCH_TMP/keys") | $(max "$BENCH_TMP/keys") |"
