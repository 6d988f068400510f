#!/usr/bin/env bash
# The program's start as a native Wayland client: sway headless (pixman, no Xwayland), run as
# an unprivileged user when this runs as root. For each start: start to the window's map
# (sway maps an xdg_toplevel with its first committed frame, so this is the first frame), CPU
# until then, resident memory and the shared libraries mapped half a second later. Medians of
# RUNS starts after one warm-up, a fresh HOME for each. galculator, when installed, as the
# peer on the same compositor.
#
#   BENCH_BUILD=build bash bench/wayland_startup.sh        RUNS=10 by default
set -euo pipefail
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-10}
program=$(bench_program)
for tool in sway swaymsg setpriv; do
	command -v "$tool" >/dev/null || bench_skip "$tool is not installed"
done

chmod 711 "$BENCH_TMP"
runtime="$BENCH_TMP/runtime"
mkdir -m 700 "$runtime"
as=()
owner=$(id -un)
if [ "$(id -u)" = 0 ]; then
	as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
	owner=nobody
	chown nobody:nogroup "$runtime"
fi
printf 'xwayland disable\noutput HEADLESS-1 resolution 1280x800 scale 1\n' >"$BENCH_TMP/sway.conf"
chmod 644 "$BENCH_TMP/sway.conf"
user_env=(env -i PATH="$PATH" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless
	WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1)
"${user_env[@]}" HOME="$BENCH_TMP" "${as[@]}" sway -c "$BENCH_TMP/sway.conf" \
	>"$BENCH_TMP/sway.log" 2>&1 &
bench_track_pid $!
socket() { find "$runtime" -name 'wayland-[0-9]' -type s | head -n 1; }
ipc() { find "$runtime" -name 'sway-ipc.*.sock' | head -n 1; }
ready() { [ -n "$(socket)" ] && [ -n "$(ipc)" ]; }
bench_wait_for 10 ready || bench_skip "sway did not start"
session=("${user_env[@]}" WAYLAND_DISPLAY="$(basename "$(socket)")" SWAYSOCK="$(ipc)")

# One start: "map_ms cpu_ms rss_kb libraries".
measure()
{
	local home
	home=$(mktemp -d "$BENCH_HOME_ROOT/home.XXXXXX")
	mkdir -p "$home/.config"
	chown -R "$owner" "$home"
	# Subscribed before the start: the first window event is this program's map.
	("${session[@]}" "${as[@]}" swaymsg -t subscribe '["window"]' >/dev/null
		date +%s%N >"$BENCH_TMP/mapped") &
	local watcher=$!
	sleep 0.2
	local start pid
	start=$(date +%s%N)
	"${session[@]}" HOME="$home" XDG_CONFIG_HOME="$home/.config" "${as[@]}" "$@" \
		>/dev/null 2>&1 &
	pid=$!
	wait "$watcher"
	local mapped cpu
	mapped=$(cat "$BENCH_TMP/mapped")
	cpu=$(bench_cpu_ticks "$pid")
	sleep 0.5
	local rss libraries
	rss=$(bench_rss_kb "$pid")
	libraries=$(bench_libraries "$pid")
	kill "$pid"
	wait "$pid" 2>/dev/null || true
	echo "$(((mapped - start) / 1000000)) $((cpu * 1000 / $(getconf CLK_TCK))) $rss $libraries"
}

contestants=("kambolux|$program")
command -v galculator >/dev/null && contestants+=("galculator|galculator")
echo "| program | starts | start to first frame (ms) | CPU until it (ms) | resident (MB) | shared libraries |"
echo "|---|---|---|---|---|---|"
for contestant in "${contestants[@]}"; do
	name=${contestant%%|*}
	command=${contestant#*|}
	measure "$command" >/dev/null # warm-up
	: >"$BENCH_TMP/results"
	for _ in $(seq "$runs"); do
		measure "$command" >>"$BENCH_TMP/results"
	done
	column() { awk -v c="$1" '{ print $c }' "$BENCH_TMP/results" | bench_median; }
	printf '| %s | %d | %s | %s | %.1f | %s |\n' "$name" "$runs" "$(column 1)" "$(column 2)" \
		"$(echo "$(column 3) / 1024" | bc -l)" "$(column 4)"
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
