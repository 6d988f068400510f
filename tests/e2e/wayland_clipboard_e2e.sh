#!/usr/bin/env bash
# The clipboard and the primary selection between the program and other Wayland clients under
# headless sway (sway_lib.sh): a text put on the clipboard with wl-copy is pasted with Ctrl+V
# and converts; the result copied with Ctrl+C comes out of wl-paste; a large text goes both
# ways whole; what is selected in the amount field comes out of wl-paste --primary, and the
# middle button (a virtual pointer) pastes what wl-copy --primary offers. Started
# with a launcher's XDG_ACTIVATION_TOKEN, the program keeps it from what it launches (the
# browser for the about window's web address, here a stand-in that notes its environment).
#
#   wayland_clipboard_e2e.sh <kambolux> <wayland_pointer>
set -u
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sway_lib.sh"

KAMBOLUX=${1:?usage: wayland_clipboard_e2e.sh <kambolux> <wayland_pointer>}
POINTER=${2:?usage: wayland_clipboard_e2e.sh <kambolux> <wayland_pointer>}

e2e_require sway swaymsg wtype wl-copy wl-paste setpriv python3

sway_start "$KAMBOLUX"
# A pointer that stays, as the keyboard does: the seat has one when the program starts.
pointer_start "$POINTER"

mkdir -m 777 "$E2E_TMP/bin"
printf '#!/bin/sh\nenv >"%s/opener.env"\n' "$E2E_TMP/bin" >"$E2E_TMP/bin/xdg-open"
chmod 755 "$E2E_TMP/bin/xdg-open"
"${SESSION[@]}" env PATH="$E2E_TMP/bin:$PATH" XDG_ACTIVATION_TOKEN=launcher-token "$KAMBOLUX" \
	>"$E2E_TMP/kambolux.out" 2>&1 &
PID=$!
e2e_track_pid "$PID"
alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$E2E_TMP/kambolux.out")"; }
has_view() { [ -n "$(view)" ]; }
e2e_wait_for 10 has_view || e2e_fail "no kambolux view: $(cat "$E2E_TMP/kambolux.out")"

clipboard() { session wl-paste -n 2>/dev/null; }
primary() { session wl-paste -n --primary 2>/dev/null; }
# Each wtype starts with a modifier of its own: a new virtual keyboard's first key arrives as
# held at enter, which is no press.
keys() { session wtype "$@"; }
focused() { session swaymsg -t get_tree | grep -q '"app_id": "kambolux"' && session swaymsg -t get_tree \
	| python3 -c 'import json, sys
def walk(n):
    if n.get("app_id") == "kambolux" and n.get("focused"): sys.exit(0)
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin)); sys.exit(1)'; }
e2e_wait_for 10 focused || e2e_fail "the window never had the keyboard"

# The amount field's text, selected whole and copied: the field shows a pasted amount in its
# own form (12,5 as 12.5), so what comes out differs from what went in.
copied() { keys -M ctrl a c -m ctrl && [ "$(clipboard)" = "$1" ]; }
# Another program's text pasted into the amount field in place of all of it, once the clipboard
# has it (wl-copy may return before its text is the selection).
offered() { [ "$(clipboard)" = "$1" ]; }
paste()
{
	session wl-copy "$1"
	e2e_wait_for 5 offered "$1" || e2e_fail "wl-copy did not take the clipboard"
	keys -M ctrl a v -m ctrl
}

paste 12,5
e2e_wait_for 5 copied 12.5 || e2e_fail "wl-copy 12,5, Ctrl+V, Ctrl+A, Ctrl+C gave \"$(clipboard)\", not 12.5"
e2e_log "12,5 pasted from wl-copy, 12.5 copied to wl-paste"

# What is selected in the amount field is the primary selection.
have_primary=
if session wl-copy --primary x 2>/dev/null; then
	have_primary=1
	keys -M ctrl a -m ctrl
	selected() { [ "$(primary)" = 12.5 ]; }
	e2e_wait_for 5 selected || e2e_fail "the amount field's selection is not the primary: \"$(primary)\""
	e2e_log "the selected amount came out of wl-paste --primary"

	# The middle button pastes another program's primary selection where it is clicked.
	session wl-copy --primary 9
	primary_offered() { [ "$(primary)" = 9 ]; }
	e2e_wait_for 5 primary_offered || e2e_fail "wl-copy --primary did not take the selection"
	read -r _ X Y _ _ <<<"$(view)"
	pointer_click $((X + 60)) $((Y + 30)) middle
	middle_pasted() { keys -M ctrl a c -m ctrl && [[ "$(clipboard)" == *9* ]]; }
	e2e_wait_for 5 middle_pasted || e2e_fail "the middle button pasted nothing: \"$(clipboard)\""
	e2e_log "the middle button pasted wl-copy --primary's text: $(clipboard)"
else
	e2e_log "sway offers no primary selection: that part is not checked"
fi

# A text larger than a pipe holds arrives in pieces while the program goes on; the amount
# field keeps the 15 digits it takes, and the next paste works.
python3 -c 'import sys; sys.stdout.write("1" * 3000000)' >"$E2E_TMP/large.txt"
chmod 644 "$E2E_TMP/large.txt"
session sh -c "wl-copy <'$E2E_TMP/large.txt'"
large_offered() { [ "$(clipboard | wc -c)" = 3000000 ]; }
e2e_wait_for 5 large_offered || e2e_fail "wl-copy did not take the clipboard with 3 MB"
keys -M ctrl a v -m ctrl
# Read back through the primary selection where there is one: a copy would take the clipboard
# from wl-copy while it still writes the text, and the paste would end short.
field_is() { keys -M ctrl a -m ctrl && [ "$(primary)" = "$1" ]; }
large_pasted() { if [ -n "$have_primary" ]; then field_is "$1"; else copied "$1"; fi; }
e2e_wait_for 5 large_pasted 111111111111111 \
	|| e2e_fail "a 3 MB paste left \"$(primary)\" / \"$(clipboard)\" in the field"
paste 3,75
e2e_wait_for 5 copied 3.75 || e2e_fail "after a 3 MB paste, 3,75 gave \"$(clipboard)\", not 3.75"
alive
e2e_log "a 3 MB paste went in as far as the field takes it; the next paste works"

# F1 opens the about window; Tab, Tab and Space open its first web address.
keys -M shift -m shift -k F1
two_views() { [ "$(session swaymsg -t get_tree | grep -c '"app_id": "kambolux"')" -ge 2 ]; }
e2e_wait_for 5 two_views || e2e_fail "F1 opened no about window"
keys -M shift -m shift -k Tab -k Tab -k space
e2e_wait_for 5 test -s "$E2E_TMP/bin/opener.env" || e2e_fail "the web address was not opened"
grep -q '^XDG_ACTIVATION_TOKEN=' "$E2E_TMP/bin/opener.env" \
	&& e2e_fail "the launched opener inherited the launcher's activation token"
e2e_log "the launcher's activation token stayed with the program"

kill "$PID"
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not quit"
e2e_log "PASS"
