#!/usr/bin/env bash
# The command line's list form on a million lines of mixed amounts (plain, German notation,
# grouped, negative, with a currency, CR LF endings, empty and bad lines): lines per second
# of wall-clock and of CPU time (median of RUNS) and the program's peak resident memory, with
# the output in a pipe. No display is needed.
#
#   bash bench/list_throughput.sh     RUNS=5 BENCH_LINES=1000000; BENCH_BUILD=DIR picks the build
set -euo pipefail
source "$(dirname "$0")/lib.sh"

runs=${RUNS:-5}
lines=${BENCH_LINES:-1000000}
program=$(bench_program)
command -v /usr/bin/time >/dev/null || bench_fail "needs /usr/bin/time (package time)"

input="$BENCH_TMP/amounts"
# One bad line (an exponent) in 50, one empty line in 50, the rest amounts of up to 15 digits.
awk -v n="$lines" 'BEGIN {
	srand(1)
	for (i = 0; i < n; i++) {
		k = i % 50
		whole = int(rand() * 10 ^ (1 + int(rand() * 7)))
		cents = int(rand() * 100)
		if (k == 0) print "1e5"
		else if (k == 1) print ""
		else if (k % 6 == 0) printf "%d,%02d\r\n", whole, cents
		else if (k % 6 == 1 && whole >= 1000) printf "%d.%03d,%02d\n", whole / 1000, whole % 1000, cents
		else if (k % 6 == 2) printf "-%d.%02d\n", whole, cents
		else if (k % 6 == 3) printf "%d,%02d DM\n", whole, cents
		else if (k % 6 == 4 && whole >= 1000) printf "%d %03d\n", whole / 1000, whole % 1000
		else printf "%d.%02d\n", whole, cents
	}
}' >"$input"

measure()
{
	local label=$1
	shift
	: >"$BENCH_TMP/wall" >"$BENCH_TMP/cpu" >"$BENCH_TMP/rss"
	for ((i = 1; i <= runs; i++)); do
		# The status is 1: the input holds bad lines on purpose (time then adds a line).
		/usr/bin/time -f '%e %U %S %M' -o "$BENCH_TMP/time" \
			"$program" - "$@" <"$input" 2>/dev/null | cat >/dev/null || true
		read -r wall user sys rss < <(tail -n 1 "$BENCH_TMP/time")
		awk -v n="$lines" -v t="$wall" 'BEGIN { printf "%.0f\n", n / t }' >>"$BENCH_TMP/wall"
		awk -v n="$lines" -v t="$user" -v s="$sys" 'BEGIN { printf "%.0f\n", n / (t + s) }' \
			>>"$BENCH_TMP/cpu"
		echo "$rss" >>"$BENCH_TMP/rss"
	done
	printf '| %s | %s | %s | %s |\n' "$label" "$(bench_median <"$BENCH_TMP/wall")" \
		"$(bench_median <"$BENCH_TMP/cpu")" "$(sort -g "$BENCH_TMP/rss" | tail -n 1) kB"
}

echo "$lines lines, $(wc -c <"$input") bytes; median of $runs; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| form | lines/s (wall) | lines/s (CPU) | peak RSS (max of runs) |"
echo "|---|---|---|---|"
measure "\`- DEM FRF\`" DEM FRF
measure "\`- DEM FRF --runden 3 --tsv\`" DEM FRF --runden 3 --tsv
measure "\`- DEM EUR\`" DEM EUR
every_lines=$((lines / 10))
head -n "$every_lines" "$input" >"$input.every" && mv "$input.every" "$input"
lines=$every_lines
measure "\`- DEM --tsv\` (every currency; $lines lines)" DEM --tsv
