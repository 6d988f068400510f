#!/bin/bash
# The X11 backend under Xvfb with openbox: first its own test program (keys through the input
# method with Compose and dead keys, held keys, the clipboard with xclip (large texts in
# pieces too) and with owners that never answer or stop halfway, frames with and without
# MIT-SHM, the focus after a dialog closes, with and without a window manager, a title bar
# above the screen, a window destroyed by another client, an X error on purpose), then the
# real program through the X fault cases: its window destroyed by another client, SIGHUP, a
# Ctrl+Q held from another program when it starts, the X server gone under it, a screen whose
# default visual is not TrueColor, a damaged Compose cache, and a window manager that crashed.
#
#   x11_backend_e2e.sh <x11_backend_tests> <kambolux>

set -u
TESTS=${1:?usage: x11_backend_e2e.sh <x11_backend_tests> <kambolux>}
PROGRAM=${2:?usage: x11_backend_e2e.sh <x11_backend_tests> <kambolux>}
source "$(dirname "$0")/lib.sh"

[ -x "$TESTS" ] || e2e_fail "no test program at $TESTS"
[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_require xclip od dd
e2e_start_display

TITLE="ZQ Kambo-Lux"
CONFIG="$E2E_TMP/config"
SETTINGS="$CONFIG/KamboLux_prefs"
OUT="$E2E_TMP/kambolux.out"
mkdir -p "$CONFIG"

# 1. The backend's own tests, in a locale whose Compose table libX11 knows.
LANG=C.UTF-8 LC_ALL=C.UTF-8 "$TESTS" >"$E2E_TMP/tests.out" 2>&1 \
	|| e2e_fail "backend tests failed: $(cat "$E2E_TMP/tests.out")"
e2e_log "backend tests: $(grep -c '^\[       OK' "$E2E_TMP/tests.out") passed"

start_program()
{
	"$@" "$PROGRAM" >"$OUT" 2>&1 &
	PID=$!
	e2e_track_pid "$PID"
	WIN=$(e2e_wait_window "$TITLE" 10) || e2e_fail "no window: $(cat "$OUT")"
	e2e_wait_focus "$WIN"
	e2e_sync "$WIN"
}

# Waits for the program to end; sets STATUS.
wait_exit()
{
	e2e_wait_for "${1:-5}" e2e_exited "$PID" || e2e_fail "the program did not end: $(cat "$OUT")"
	wait "$PID" 2>/dev/null
	STATUS=$?
}

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"; }

export XDG_CONFIG_HOME="$CONFIG"

# 2. Another client destroys the main window: a quit request, the settings saved.
rm -f "$SETTINGS"
start_program
xdotool windowclose "$WIN"
wait_exit
[ "$STATUS" = 0 ] || e2e_fail "window destroyed elsewhere: exit status $STATUS: $(cat "$OUT")"
[ -f "$SETTINGS" ] || e2e_fail "window destroyed elsewhere: no settings saved"
grep -q "destroyed the window" "$OUT" || e2e_fail "no word of the destroyed window: $(cat "$OUT")"
e2e_log "a window destroyed by another client quits and saves"

# 3. SIGHUP (a closed terminal, a logout) quits like SIGTERM.
rm -f "$SETTINGS"
start_program
kill -HUP "$PID"
wait_exit
[ "$STATUS" = 0 ] || e2e_fail "SIGHUP: exit status $STATUS"
[ -f "$SETTINGS" ] || e2e_fail "SIGHUP: no settings saved"
e2e_log "SIGHUP quits and saves"

# 4. A Ctrl+Q still held from closing another program is no quit of this one.
xdotool keydown ctrl+q
start_program
xdotool keyup ctrl+q
# Taken for a Ctrl+Q, the release would have closed the window by the second round trip.
e2e_sync "$WIN" 3
alive
xdotool key ctrl+q
wait_exit
[ "$STATUS" = 0 ] || e2e_fail "Ctrl+Q: exit status $STATUS"
e2e_log "a Ctrl+Q held at start is ignored; pressed again it quits"

# A second X server of our own, which this test may end or give another visual.
start_server()
{
	local number="$E2E_TMP/display2"
	: >"$number"
	Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$@" 3>"$number" \
		>"$E2E_TMP/xvfb2.log" 2>&1 &
	SERVER=$!
	e2e_track_pid "$SERVER"
	e2e_wait_for 10 grep -q '[0-9]' "$number" || e2e_fail "no second X server"
	SECOND=":$(tr -dc '0-9' <"$number")"
	e2e_wait_for 10 env DISPLAY="$SECOND" xprop -root || e2e_fail "no X server on $SECOND"
}

# 5. The X server goes away under the program: settings saved, a clear message, status 1.
start_server 640x480x24
rm -f "$SETTINGS"
DISPLAY="$SECOND" "$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"
WIN=$(DISPLAY="$SECOND" e2e_wait_window "$TITLE" 10) || e2e_fail "no window on $SECOND"
DISPLAY="$SECOND" e2e_sync "$WIN"
kill "$SERVER"
wait_exit 10
[ "$STATUS" = 1 ] || e2e_fail "X server gone: exit status $STATUS (want 1): $(cat "$OUT")"
[ -f "$SETTINGS" ] || e2e_fail "X server gone: no settings saved"
grep -q "connection to the X server was lost" "$OUT" || e2e_fail "no clear message: $(cat "$OUT")"
e2e_log "a lost X server: saved, told, status 1"

# 6. A screen whose default visual is 8-bit PseudoColor still shows the window.
start_server 640x480x8
DISPLAY="$SECOND" "$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"
WIN=$(DISPLAY="$SECOND" e2e_wait_window "$TITLE" 10) || e2e_fail "no window on 8 bits"
# The amount field's green, read through the window's own visual (the root's colormap is
# another one); sets PIXEL.
field_green()
{
	PIXEL=$(DISPLAY="$SECOND" import -window "$WIN" -crop 1x1+60+25 -depth 8 txt:- 2>/dev/null \
		| grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1 | sed 's/#\(..\)\(..\)\(..\)/0x\1 0x\2 0x\3/')
	read -r red green blue <<<"$PIXEL"
	PIXEL="$((red)),$((green)),$((blue))"
	[ "$((green))" -gt 100 ] && [ "$((red))" -lt "$((green))" ]
}
e2e_wait_for 5 field_green
field_green || e2e_fail "8-bit screen: the amount field is $PIXEL, not green: $(cat "$OUT")"
kill "$PID"
wait_exit
kill "$SERVER"
e2e_log "8-bit screen: the window shows its colours ($PIXEL)"

# 6b. A server without MIT-SHM (as a remote one is to us): frames go down the connection.
start_server 640x480x24 -extension MIT-SHM
DISPLAY="$SECOND" KIT_NO_MIT_SHM=1 LANG=C.UTF-8 LC_ALL=C.UTF-8 "$TESTS" \
	--gtest_filter='*WithOrWithoutSharedMemory*' >"$E2E_TMP/noshm.out" 2>&1 \
	|| e2e_fail "frames without MIT-SHM: $(cat "$E2E_TMP/noshm.out")"
kill "$SERVER"
e2e_log "a server without MIT-SHM: frames shown all the same"

# 6c. No window manager: a closing dialog hands the focus back to its owner on its own;
# nothing keeps a window above the others; a check window nobody answers for does not leave
# a window unmapped after a decoration change.
start_server 640x480x24
DISPLAY="$SECOND" LANG=C.UTF-8 LC_ALL=C.UTF-8 "$TESTS" \
	--gtest_filter='*HandsTheFocusBack*:*AlwaysOnTop*:*NeverAnswersLeaves*' >"$E2E_TMP/nowm.out" 2>&1 \
	|| e2e_fail "without a window manager: $(cat "$E2E_TMP/nowm.out")"
kill "$SERVER"
e2e_log "without a window manager: focus handed back, no always-on-top, no window left unmapped"

# 7. A damaged Compose cache is rebuilt, never read. libX11 keeps no cache for root, so the
# program runs as an ordinary user here.
AS_USER=()
if [ "$(id -u)" = 0 ]; then
	command -v setpriv >/dev/null || e2e_skip "setpriv is needed to run as a user"
	AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
HOME_DIR="$E2E_TMP/home"
mkdir -p "$HOME_DIR/config" "$HOME_DIR/cache"
chmod 755 "$E2E_TMP"
[ "$(id -u)" = 0 ] && chown -R nobody:nogroup "$HOME_DIR"
as_user()
{
	env HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR/config" XDG_CACHE_HOME="$HOME_DIR/cache" \
		LANG=C.UTF-8 "${AS_USER[@]}" "$@"
}
CACHE="$HOME_DIR/cache/kambolux/compose"
start_program as_user
xdotool key ctrl+q
wait_exit
TABLE=$(find "$CACHE" -type f ! -name '*.seal' 2>/dev/null | head -n 1)
[ -n "$TABLE" ] || e2e_fail "no Compose cache in $CACHE: $(cat "$OUT")"
[ -f "$TABLE.seal" ] || e2e_fail "the Compose cache has no seal"
# One header field changed (an index into the table).
printf '\377\377\377\177' | dd of="$TABLE" bs=1 seek=8 conv=notrunc status=none
start_program as_user
xdotool key 7 Multi_key o quotedbl
e2e_sync "$WIN"
alive
# The table is written anew beside the damaged one and renamed over it.
cache_rebuilt()
{
	[ -s "$TABLE" ] && [ "$(head -c 12 "$TABLE" | od -A n -t x1 | tr -d ' ')" \
		!= "$(printf '%s' "$(head -c 8 "$TABLE" | od -A n -t x1 | tr -d ' ')ffffff7f")" ]
}
e2e_wait_for 5 cache_rebuilt || e2e_fail "the damaged cache was kept"
xdotool key ctrl+q
wait_exit
[ "$STATUS" = 0 ] || e2e_fail "after a damaged cache: exit status $STATUS: $(cat "$OUT")"
e2e_log "a damaged Compose cache is rebuilt"

# 8. A window manager that crashed leaves the id of its check window on the root. The program
# sees that nobody manages the screen and its window shows; the server's error about the
# missing window is expected, not reported.
kill -KILL "$E2E_WM_PID"
wait "$E2E_WM_PID" 2>/dev/null
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" \
	|| e2e_fail "openbox took its check with it; this step tests nothing"
rm -f "$SETTINGS"
start_program
alive
grep -q "X error" "$OUT" && e2e_fail "a crashed window manager's check window: $(cat "$OUT")"
xdotool key ctrl+q
wait_exit
[ "$STATUS" = 0 ] || e2e_fail "without a window manager: exit status $STATUS: $(cat "$OUT")"
e2e_log "a crashed window manager's stale check is no error"

e2e_log "X11 backend end-to-end: all steps passed"
