#!/bin/bash
# The calculator pad and the about window of the real program in Xvfb under openbox: the pad
# opens under the amount field, with a thin border and on top, computes 12 + 3 with clicks and
# keys and closes at "="; a click elsewhere dismisses it; the question-mark button opens the about
# window beside the main window, its first link reaches the browser, and Enter closes it.
#
#   pad_about_e2e.sh <kambolux> [directory for the screenshots]

set -u
PROGRAM=${1:?usage: pad_about_e2e.sh <kambolux> [screenshot dir]}
SHOTS=${2:-.}
source "$(dirname "$0")/lib.sh"

[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_start_display

# A private settings directory, and a stand-in browser that only notes what it was given.
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"
e2e_fake_browser '%s\n' '$1'

OUT="$E2E_TMP/kambolux.out"
"$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"; }

shot()
{
	e2e_screenshot "$E2E_TMP/$1.png" || e2e_fail "screenshot $1"
	mkdir -p "$SHOTS" && cp "$E2E_TMP/$1.png" "$SHOTS/pad-about-$1.png"
}

gone() { ! e2e_window_exists "$1"; }

MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window: $(cat "$OUT")"
e2e_geometry "$MAIN"
MX=$E2E_X
MY=$E2E_Y
[ "$E2E_W,$E2E_H" = "207,113" ] || e2e_fail "main window content ${E2E_W}x$E2E_H"
e2e_wait_focus "$MAIN"
e2e_sync "$MAIN"
shot 1-start

# --- The pad -------------------------------------------------------------------------------

# Centre of pad key <index>, in the pad's content coordinates (26-unit grid; "=" is wider).
key_x() { if [ "$1" -eq 18 ]; then echo 78; else echo $((26 * ($1 % 4) + 13)); fi; }
key_y() { echo $((26 * ($1 / 4) + 13)); }
click_key() { e2e_click "$PAD" "$(key_x "$1")" "$(key_y "$1")"; }

# The pad takes the typed keys once the window manager gave it the focus.
open_pad()
{
	e2e_click "$MAIN" 162 32
	PAD=$(e2e_wait_window "Calc" 5) || e2e_fail "no calculator pad"
	e2e_wait_focus "$PAD"
	e2e_sync "$PAD"
}

open_pad
# Right under the amount field, whose frame is (45, 21)-(153, 43) in the main window.
e2e_geometry "$PAD"
[ "$E2E_X,$E2E_Y,$E2E_W,$E2E_H" = "$((MX + 45)),$((MY + 43)),105,131" ] \
	|| e2e_fail "pad at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H; main content at $MX,$MY"
xprop -id "$PAD" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE \
	|| e2e_fail "pad not on top: $(xprop -id "$PAD" _NET_WM_STATE)"
# A thin border from the window manager, no title bar: as wide at the top as at the sides.
IFS=, read -r LEFT_EDGE RIGHT_EDGE TOP_EDGE BOTTOM_EDGE < <(xprop -id "$PAD" _NET_FRAME_EXTENTS \
	| sed -n 's/.*= *//p' | tr -d ' ')
[ "${LEFT_EDGE:-0}" -gt 0 ] && [ "$TOP_EDGE" = "$LEFT_EDGE" ] && [ "$BOTTOM_EDGE" = "$LEFT_EDGE" ] \
	&& [ "$RIGHT_EDGE" = "$LEFT_EDGE" ] \
	|| e2e_fail "pad without a thin border: $(xprop -id "$PAD" _NET_FRAME_EXTENTS)"
shot 2-pad

# 12 + 3 = : clear the 0 the field starts with, then mix clicks and keys.
click_key 16     # C
click_key 8      # 1
e2e_key 2
click_key 15     # +
e2e_key 3
e2e_sync "$PAD"
shot 3-pad-typed
alive
e2e_key equal
e2e_wait_for 5 gone "Calc" || e2e_fail "the pad stayed open after ="
e2e_sync "$MAIN"
# The field shows 15.00, selected, and its conversion; DEM to DEM is 7.669... euro.
shot 4-after-equals

# A click elsewhere (into the amount field, beside the pad) dismisses it and leaves the field
# as the last key made it.
open_pad
click_key 5      # 5, which extends the 15.00 shown to 15.005
e2e_click "$MAIN" 60 30
e2e_wait_for 5 gone "Calc" || e2e_fail "the pad stayed open after a click elsewhere"
alive
e2e_sync "$MAIN"
shot 5-dismissed

# --- The about window ------------------------------------------------------------------------

e2e_click "$MAIN" 201 107
ABOUT=$(e2e_wait_window "About" 5) || e2e_fail "no about window"
e2e_wait_focus "$ABOUT"
e2e_sync "$ABOUT"
e2e_geometry "$ABOUT"
[ "$E2E_X,$E2E_Y,$E2E_W,$E2E_H" = "$((MX + 30)),$((MY + 30)),311,201" ] \
	|| e2e_fail "about at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H; main content at $MX,$MY"
AX=$E2E_X
AY=$E2E_Y
shot 6-about

# The first link is the topmost blue text; find a pixel of it in the text area.
LINK=$(import -window root -crop "245x153+$((AX + 55))+$((AY + 10))" -depth 8 txt:- 2>/dev/null \
	| awk -F'[,:() ]+' '/^[0-9]/ { if ($3 < 60 && $4 < 60 && $5 > 150) { print $1, $2; exit } }')
[ -n "$LINK" ] || e2e_fail "no blue link text in the about window"
read -r LX LY <<<"$LINK"
e2e_click "$ABOUT" $((55 + LX + 2)) $((10 + LY))
e2e_wait_for 5 test -s "$LAUNCHED" || e2e_fail "the link did not reach the browser"
[ "$(cat "$LAUNCHED")" = "http://www.dorvanix.example/" ] \
	|| e2e_fail "the browser got: $(cat "$LAUNCHED")"
# Had the click closed the window, it would be gone once the program went through its loop.
e2e_sync "$MAIN"
e2e_window_exists "About" || e2e_fail "the about window closed on a link click"
shot 7-link-clicked

e2e_key Return
e2e_wait_for 5 gone "About" || e2e_fail "Enter did not close the about window"
alive
e2e_sync "$MAIN"
shot 8-closed

# Ctrl+Q ends the program cleanly.
xdotool windowactivate --sync "$MAIN" >/dev/null 2>&1
e2e_key ctrl+q
e2e_wait_for 5 e2e_exited "$PID" || e2e_fail "still running after Ctrl+Q"
wait "$PID"
STATUS=$?
[ "$STATUS" -eq 0 ] || e2e_fail "exit status $STATUS: $(cat "$OUT")"

e2e_log "pad and about: all steps passed; screenshots in $SHOTS"
