#!/usr/bin/env bash
# The installed shape of the command line: the built program, run with no display at all,
# answers --help and --version, converts the window's vectors and exits with the documented
# statuses. A program that tried to open a window here would fail or hang.
#
#   cli_program_test.sh PROGRAM VECTORS.tsv
set -uo pipefail

program=${1:?program}
vectors=${2:?vectors}
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

errfile=$(mktemp)
trap 'rm -f "$errfile"' EXIT

# Runs the program with a time limit; sets out, err and status.
run()
{
	out=$(timeout 10 "$program" "$@" 2>"$errfile")
	status=$?
	err=$(<"$errfile")
}

run --help
[ "$status" -eq 0 ] || fail "--help: status $status"
grep -q -- '--runden' <<<"$out" || fail "--help says nothing of --runden: $out"
[ -z "$err" ] || fail "--help wrote to standard error: $err"

run --version
[ "$status" -eq 0 ] || fail "--version: status $status"
grep -Eq '^ZQ Kambo-Lux [0-9]+\.[0-9]+\.[0-9]+$' <<<"$out" || fail "--version: $out"

run --fenster
[ "$status" -eq 2 ] || fail "unknown option: status $status"
grep -q 'Aufruf:' <<<"$err" || fail "unknown option without usage: $err"
[ -z "$out" ] || fail "unknown option wrote to standard output: $out"

run 100 DEM XYZ
[ "$status" -eq 1 ] || fail "unknown currency: status $status"
run abc DEM
[ "$status" -eq 1 ] || fail "bad amount: status $status"

# Output that cannot be written is a failure, not a conversion.
if [ -w /dev/full ]; then
	timeout 10 "$program" 100 DEM FRF >/dev/full 2>/dev/null
	[ $? -ne 0 ] || fail "writing to a full disk passed for success"
fi

# A reader that stops early (head) is a write error with a message, not a silent death by
# SIGPIPE halfway through a list.
seq 200000 | timeout 20 "$program" - DEM FRF 2>"$errfile" | head -n 1 >/dev/null
status=${PIPESTATUS[1]}
[ "$status" -eq 1 ] || fail "list into a closed pipe: status $status"
grep -q 'Ausgabe fehlgeschlagen' "$errfile" || fail "list into a closed pipe: $(<"$errfile")"

# The vectors whose amounts are plain numbers, in both output forms.
count=0
while IFS=$'\t' read -r amount source target mode euro expected; do
	[[ "$amount" =~ ^-?[0-9]*\.?[0-9]*$ && "$amount" =~ [0-9] ]] || continue
	# A rounding next to the euro is left out, as in the window (cli_tests checks those rows).
	[ "$mode" != 0 ] && { [ "$source" = 0 ] || [ "$target" = 0 ]; } && continue
	codes=(EUR BEF DEM FIM FRF GRD IEP ITL LUF NLG ATS PTE ESP)
	args=(-- "$amount" "${codes[$source]}" "${codes[$target]}")
	case "$mode" in
		1) args=(--runden 3 "${args[@]}") ;;
		2) args=(--runden 4 "${args[@]}") ;;
	esac
	run --tsv "${args[@]}"
	want=$(printf 'EUR\t%s\n%s\t%s' "${euro% . . .}" "${codes[$target]}" "$expected")
	[ "$status" -eq 0 ] && [ "$out" = "$want" ] \
		|| fail "$amount ${codes[$source]} ${codes[$target]} mode $mode: got '$out' ($status, $err)"
	count=$((count + 1))
# read would merge the tabs around an empty amount.
done < <(tail -n +2 "$vectors" | awk -F'\t' -v OFS='\t' '{ if ($1 == "") $1 = "_"; print }')
[ "$count" -gt 360 ] || fail "only $count vectors ran"

run 100 D
[ "$status" -eq 0 ] || fail "all currencies: status $status"
[ "$(wc -l <<<"$out")" -eq 22 ] || fail "all currencies: $(wc -l <<<"$out") lines"
grep -q "^BGN  100.00$" <<<"$out" || fail "all currencies: no BGN line: $out"

if [ "$failures" -gt 0 ]; then
	echo "$failures failures" >&2
	exit 1
fi
echo "PASS: $count vectors"
