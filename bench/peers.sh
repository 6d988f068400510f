#!/usr/bin/env bash
# Our program next to small desktop programs of its kind, all in one run under one Xvfb with
# openbox and one session bus: start to mapped window and to first painted frame (median of
# RUNS after one warm-up, a fresh HOME for every start), resident memory once up, and CPU
# use while idle for DURATION seconds. Installs the peers with apt-get when they are missing:
# this is a measurement to run by hand, not part of the tests.
#
#   bash bench/peers.sh              RUNS=20 DURATION=30 by default
set -euo pipefail
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-20}
duration=${DURATION:-30}
program=$(bench_program)

# package:command
peers=(keurocalc:keurocalc galculator:galculator qalculate-gtk:qalculate-gtk
	gnome-calculator:gnome-calculator x11-apps:xlogo)

missing=()
for entry in "${peers[@]}"; do
	command -v "${entry#*:}" >/dev/null 2>&1 || missing+=("${entry%%:*}")
done
if [ ${#missing[@]} -gt 0 ]; then
	bench_log "installing ${missing[*]}"
	export DEBIAN_FRONTEND=noninteractive
	apt-get update -qq >/dev/null
	apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$BENCH_TMP/apt.log" 2>&1 \
		|| bench_fail "apt-get install failed: $(tail -n 5 "$BENCH_TMP/apt.log")"
fi

bench_start_display
bench_start_session_bus
bench_build_probe
BENCH_PAINT=1

# name package command...
contestants=("kambolux - $program")
for entry in "${peers[@]}"; do
	contestants+=("${entry#*:} ${entry%%:*} ${entry#*:}")
done

results="$BENCH_TMP/results"
: >"$results"
for contestant in "${contestants[@]}"; do
	read -r name package command <<<"$contestant"
	quit=none
	[ "$name" = kambolux ] && quit=ctrl+q
	log="$BENCH_TMP/$name.log"
	bench_log "$name: warm-up and $runs starts"
	if ! bench_launch "$log" "$command"; then
		bench_log "$name showed no window; left out: $(tail -n 3 "$log" | tr '\n' ' ')"
		continue
	fi
	bench_stop "$BENCH_PID" "$quit"
	: >"$BENCH_TMP/map" >"$BENCH_TMP/paint" >"$BENCH_TMP/rss" >"$BENCH_TMP/cpu"
	for ((i = 1; i <= runs; i++)); do
		bench_launch "$log" "$command" || continue
		echo "$BENCH_MAP_MS" >>"$BENCH_TMP/map"
		echo "$BENCH_PAINT_MS" >>"$BENCH_TMP/paint"
		echo "$BENCH_CPU_MS" >>"$BENCH_TMP/cpu"
		sleep 1
		bench_rss_kb "$BENCH_PID" >>"$BENCH_TMP/rss"
		bench_stop "$BENCH_PID" "$quit"
	done
	bench_log "$name: idle for $duration s"
	idle=n/a
	if bench_launch "$log" "$command"; then
		sleep 2
		# Clock ticks count every thread, also those that end meanwhile; the exact figure
		# only those alive at both readings. Both are shown.
		ticks0=$(bench_cpu_ticks "$BENCH_PID")
		ns0=$(bench_cpu_ns "$BENCH_PID")
		sleep "$duration"
		ticks1=$(bench_cpu_ticks "$BENCH_PID")
		ns1=$(bench_cpu_ns "$BENCH_PID")
		idle=$(awk -v t=$((ticks1 - ticks0)) -v n=$((ns1 - ns0)) -v d="$duration" \
			-v hz="$(getconf CLK_TCK)" \
			'BEGIN { printf "%.3f/%.3f", 100 * t / hz / d, 100 * n / 1e9 / d }')
		bench_gone "$BENCH_PID" && idle="ended"
		bench_stop "$BENCH_PID" "$quit"
	fi
	version=$(dpkg-query -W -f '${Version}' "$package" 2>/dev/null || echo "?")
	[ "$package" = - ] && version="(this)"
	printf '%s %s %s %s %s %s %s %s\n' "$name" "$version" "$(wc -l <"$BENCH_TMP/map")" \
		"$(grep -v '^-1' "$BENCH_TMP/map" | bench_median)" \
		"$(grep -v '^-1' "$BENCH_TMP/paint" | bench_median)" \
		"$(grep -v '^-1' "$BENCH_TMP/cpu" | bench_median)" \
		"$(awk '{ printf "%.1f\n", $1 / 1024 }' "$BENCH_TMP/rss" | bench_median)" \
		"$idle" >>"$results"
done

echo
echo "| machine | |"
echo "|---|---|"
bench_machine
echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| program | version | starts | start to mapped (ms) | x fastest peer | start to painted (ms) | x fastest peer | CPU until painted (ms) | RSS (MB) | x smallest peer | idle CPU % ($duration s, ticks/exact) |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
awk '
	{ name[NR] = $1; ver[NR] = $2; n[NR] = $3; map[NR] = $4; paint[NR] = $5; cpu[NR] = $6
	  rss[NR] = $7; idle[NR] = $8
	  if ($1 != "kambolux") {
		if ($4 != "n/a" && (bestmap == "" || $4 + 0 < bestmap)) bestmap = $4 + 0
		if ($5 != "n/a" && (bestpaint == "" || $5 + 0 < bestpaint)) bestpaint = $5 + 0
		if ($7 != "n/a" && (bestrss == "" || $7 + 0 < bestrss)) bestrss = $7 + 0
	  } }
	function ratio(v, best) { return (v == "n/a" || best == "" || best == 0) ? "-" : sprintf("%.2f", v / best) }
	END { for (i = 1; i <= NR; i++)
		printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", name[i], ver[i], n[i],
			map[i], ratio(map[i], bestmap), paint[i], ratio(paint[i], bestpaint), cpu[i],
			rss[i], ratio(rss[i], bestrss), idle[i] }
' "$results"
