#!/bin/bash
# The user's guide shows what the program draws now: takes its pictures afresh with
# scripts/screenshots.sh and fails when any committed picture differs from the new one by a
# single pixel (or has no counterpart), naming each. Fresh pictures and difference images of
# the failures are kept for a look.
#
#   screenshots_e2e.sh <kambolux> <committed images dir> [dir for the fresh pictures]
#
# After a deliberate change of the look, `bash scripts/screenshots.sh` renews the committed set.

set -u
PROGRAM=${1:?usage: screenshots_e2e.sh <kambolux> <images dir> [output dir]}
IMAGES=${2:?usage: screenshots_e2e.sh <kambolux> <images dir> [output dir]}
KEEP=${3:-}
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$HERE/lib.sh"

[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_require compare
e2e_require Xvfb openbox xdotool xprop xwininfo import

shopt -s nullglob
committed=("$IMAGES"/*.png)
[ "${#committed[@]}" -gt 0 ] || e2e_fail "no pictures in $IMAGES"

FRESH="$E2E_TMP/fresh"
bash "$HERE/../../scripts/screenshots.sh" --program "$PROGRAM" "$FRESH"
status=$?
[ "$status" -eq "$E2E_SKIP" ] && e2e_skip "the screenshot script could not run here"
[ "$status" -eq 0 ] || e2e_fail "the screenshot script failed ($status)"

if [ -n "$KEEP" ]; then
	rm -rf "$KEEP" && mkdir -p "$KEEP" && cp "$FRESH"/*.png "$KEEP"/
fi

failures=()
for picture in "${committed[@]}"; do
	name=$(basename "$picture")
	if [ ! -f "$FRESH/$name" ]; then
		failures+=("$name: the program no longer produces this picture")
		continue
	fi
	# Sizes first: compare refuses pictures of different sizes with an error, not a count.
	old=$(identify -format '%wx%h' "$picture" 2>/dev/null)
	new=$(identify -format '%wx%h' "$FRESH/$name" 2>/dev/null)
	if [ "$old" != "$new" ]; then
		failures+=("$name: committed ${old:-unreadable}, now $new")
		continue
	fi
	difference=${KEEP:-$E2E_TMP}/${name%.png}-difference.png
	differing=$(compare -metric AE "$picture" "$FRESH/$name" "$difference" 2>&1)
	if [ "$differing" != 0 ]; then
		failures+=("$name: $differing pixels differ")
	else
		rm -f "$difference"
	fi
done
for name in "$FRESH"/*.png; do
	[ -f "$IMAGES/$(basename "$name")" ] || failures+=("$(basename "$name"): new, not committed")
done

if [ "${#failures[@]}" -gt 0 ]; then
	for failure in "${failures[@]}"; do
		e2e_log "FAIL: $failure"
	done
	e2e_log "renew the pictures with: bash scripts/screenshots.sh"
	exit 1
fi
e2e_log "all ${#committed[@]} pictures of the guide match the program"
