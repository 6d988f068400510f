#!/bin/bash
# The kit gallery in a real X server under openbox: the window opens where it asked to be,
# shows what it drew, takes typed text, opens its pop-up menu and its alert, and quits with
# Ctrl+Q.
#
#   gallery_e2e.sh <kit_gallery> [directory for the screenshots]

set -u
GALLERY=${1:?usage: gallery_e2e.sh <kit_gallery> [screenshot dir]}
SHOTS=${2:-.}
source "$(dirname "$0")/lib.sh"

[ -x "$GALLERY" ] || e2e_fail "no gallery at $GALLERY"
e2e_start_display

OUT="$E2E_TMP/gallery.out"
"$GALLERY" --report >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"

shot()
{
	e2e_screenshot "$E2E_TMP/$1.png" || e2e_fail "screenshot $1"
	mkdir -p "$SHOTS" && cp "$E2E_TMP/$1.png" "$SHOTS/gallery-$1.png"
}

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the gallery died: $(cat "$OUT")"; }

# The report so far is old news: expect_report looks only at what comes after the mark.
REPORT_MARK=0
mark_report() { REPORT_MARK=$(wc -l <"$OUT"); }
report_has() { tail -n +"$((REPORT_MARK + 1))" "$OUT" | grep -qF -- "$1"; }
expect_report()
{
	e2e_wait_for 5 report_has "$1" || e2e_fail "no '$1' in the report: $(cat "$OUT")"
	mark_report
}

# A menu that closed is off the screen before the next one opens, so that waiting for a menu
# finds the new one.
menu_gone() { ! e2e_window_exists gallery; }
expect_menu_report()
{
	expect_report "$1"
	e2e_wait_for 5 menu_gone || e2e_fail "the menu stayed after '$1'"
}

WIN=$(e2e_wait_window "Kit Gallery" 10) || {
	e2e_dump_windows
	e2e_fail "no gallery window: $(cat "$OUT")"
}
alive

# The content area is exactly where the window asked for it, whatever the frame around it.
e2e_geometry "$WIN"
[ "$E2E_X,$E2E_Y,$E2E_W,$E2E_H" = "100,100,420,300" ] \
	|| e2e_fail "content at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H, wanted 100,100 420x300"
[ "$(xprop -id "$WIN" WM_CLASS)" = 'WM_CLASS(STRING) = "kambolux", "kambolux"' ] \
	|| e2e_fail "window class: $(xprop -id "$WIN" WM_CLASS)"

# What the window drew reached the screen: the canvas's red disc, its white ground.
pixel_is() { [ "$(e2e_pixel "$1" "$2")" = "$3" ]; }
e2e_wait_for 5 pixel_is 447 130 "200,0,0" || e2e_fail "red disc: $(e2e_pixel 447 130)"
pixel_is 500 290 "255,255,255" || e2e_fail "canvas ground: $(e2e_pixel 500 290)"
shot 1-start

# Typing into the notes. The keys reach the window that has the focus when the server takes
# them: the window manager's, which it gives at the click in its own time.
e2e_click "$WIN" 200 100
e2e_wait_focus "$WIN"
e2e_type "Hallo 123"
e2e_sync "$WIN"
shot 2-typed
alive

# The default button shows the alert; Enter picks its default button.
e2e_click "$WIN" 50 186
ALERT=$(e2e_wait_window "Gallery" 5) || e2e_fail "no alert window"
e2e_wait_focus "$ALERT"
e2e_sync "$ALERT"
shot 3-alert
e2e_key Return
expect_report "status: Alert: OK"
e2e_wait_for 5 sh -c "! xdotool search --onlyvisible --name '^Gallery\$'" \
	|| e2e_fail "the alert stayed open"
alive

# The secondary button opens the pop-up menu at the pointer, its first item just below.
# A quick click leaves the menu open, and the next click chooses.
e2e_click "$WIN" 300 250 3
e2e_wait_menu "$WIN" gallery || e2e_fail "no pop-up menu"
shot 4-menu
e2e_click "$WIN" 330 263
expect_menu_report "status: Chose: Marked item"

# Press, drag to the item and release chooses too.
xdotool mousemove --window "$WIN" 300 225 mousedown 3
e2e_wait_menu "$WIN" gallery || e2e_fail "no pop-up menu while the button is held"
xdotool mousemove --window "$WIN" 330 238
xdotool mouseup 3
expect_menu_report "status: Menu: Marked item"

# The keyboard works the open menu too: Down to the first item, Enter chooses it.
e2e_click "$WIN" 300 250 3
e2e_wait_menu "$WIN" gallery || e2e_fail "no pop-up menu"
e2e_key Down Return
expect_menu_report "status: Chose: Marked item"

# Escape, or a click outside, closes it without a choice.
e2e_click "$WIN" 300 250 3
e2e_wait_menu "$WIN" gallery || e2e_fail "no pop-up menu"
e2e_key Escape
expect_menu_report "status: Menu closed"
e2e_click "$WIN" 300 250 3
e2e_wait_menu "$WIN" gallery || e2e_fail "no pop-up menu"
e2e_click "$WIN" 20 250
expect_menu_report "status: Menu closed"
alive
shot 5-after

# Ctrl+Q quits the application, which exits cleanly.
xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
e2e_key ctrl+q
e2e_wait_for 5 e2e_exited "$PID" || e2e_fail "still running after Ctrl+Q"
wait "$PID"
STATUS=$?
[ "$STATUS" -eq 0 ] || e2e_fail "exit status $STATUS: $(cat "$OUT")"
grep -q "^notes: .*Hallo 123" "$OUT" || e2e_fail "typed text missing: $(cat "$OUT")"

e2e_log "gallery: all steps passed; screenshots in $SHOTS"
