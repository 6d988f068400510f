#!/usr/bin/env bash
# Title bars under a compositor with xdg-decoration (sway, headless, as an unprivileged user):
# the window asks for server-side decorations and sway draws its title bar; "ohne Titel" from
# the context menu turns it off on the mapped window and back on; the program maps no libdecor;
# the compositor's close quits it, settings saved.
#
#   sway_decoration_e2e.sh <kambolux>
set -u
source "$(dirname "$0")/lib.sh"

KAMBOLUX=${1:?usage: sway_decoration_e2e.sh <kambolux>}

e2e_require sway swaymsg wtype grim compare setpriv python3

source "$(dirname "$0")/sway_lib.sh"
sway_start "$KAMBOLUX"

"${SESSION[@]}" "$KAMBOLUX" >"$E2E_TMP/kambolux.out" 2>&1 &
PID=$!
e2e_track_pid "$PID"

# The border sway gives the view of app_id kambolux ("normal": its title bar; "csd": the
# client's own, here none), or nothing while there is no such view.
border()
{
	session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == "kambolux":
        print(node.get("border"))
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
border_is() { [ "$(border)" = "$1" ]; }

e2e_wait_for 10 border_is normal \
	|| e2e_fail "the window's border is '$(border)', not sway's title bar: $(cat "$E2E_TMP/kambolux.out")"
e2e_log "server-side title bar"
if grep -q libdecor "/proc/$PID/maps"; then
	e2e_fail "libdecor is mapped although sway draws the title bars"
fi

shot() { session grim -t png - >"$E2E_TMP/$1.png"; }
# Whether the screen differs from shot $1 in more than a blinking caret.
screen_changed()
{
	shot now
	[ "$(compare -metric AE "$E2E_TMP/$1.png" "$E2E_TMP/now.png" null: 2>&1 \
		| awk '{ printf "%d", $1 }')" -gt 500 ]
}
# "ohne Titel": the context menu's sixth choice (immer sichtbar, disabled here, is passed
# over), chosen once the menu is on the screen.
toggle_tabless()
{
	shot before
	session wtype -M shift -k F10 -m shift
	e2e_wait_for 5 screen_changed before || e2e_fail "Shift+F10 opened no menu"
	session wtype -k Down -k Down -k Down -k Down -k Down -k Return
}
toggle_tabless
e2e_wait_for 5 border_is csd || e2e_fail "ohne Titel left the border '$(border)'"
e2e_log "ohne Titel: no title bar"
toggle_tabless
e2e_wait_for 5 border_is normal || e2e_fail "the title bar did not come back: '$(border)'"
e2e_log "title bar back"

# The compositor's close (the title bar's button, here sway's kill) is the normal way out.
session swaymsg '[app_id=kambolux] kill' >/dev/null
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not quit when sway closed it"
wait "$PID"
status=$?
[ "$status" = 0 ] || e2e_fail "exit status $status after sway closed the window"
[ -f "$CONFIG/KamboLux_prefs" ] || e2e_fail "no settings saved"
e2e_log "PASS"
