#!/usr/bin/env bash
# What the window manager and a launcher learn from the real program in Xvfb under openbox:
# the calculator pad, the rates alert and the about window belong to the main window
# (WM_TRANSIENT_FOR), say what they are (_NET_WM_WINDOW_TYPE) and keep off the task bar;
# a start with DESKTOP_STARTUP_ID ends that startup with its "remove" message, and what the
# program launches does not inherit the ID.
#
#   dialogs_e2e.sh <kambolux> <startup_watch>
PROGRAM=${1:?usage: dialogs_e2e.sh <kambolux> <startup_watch>}
WATCH=${2:?usage: dialogs_e2e.sh <kambolux> <startup_watch>}
source "$(dirname "$0")/lib.sh"

[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_start_display

export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"
# A stand-in browser that notes the startup ID it inherited, if any.
e2e_fake_browser 'id=%s\n' '${DESKTOP_STARTUP_ID-}'

# --- Startup notification --------------------------------------------------------------------

readonly ID='kambolux-e2e "quoted" \ id_TIME4711'
"$WATCH" 20 >"$E2E_TMP/watch.out" 2>&1 &
WATCH_PID=$!
e2e_track_pid "$WATCH_PID"
e2e_wait_for 5 grep -qx ready "$E2E_TMP/watch.out" || e2e_fail "the watcher did not start"

OUT="$E2E_TMP/kambolux.out"
DESKTOP_STARTUP_ID=$ID "$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"
alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"; }

MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window: $(cat "$OUT")"
e2e_wait_for 10 e2e_exited "$WATCH_PID" || e2e_fail "no startup message within 10 s of the window"
wait "$WATCH_PID" || e2e_fail "watcher: $(cat "$E2E_TMP/watch.out")"
MESSAGE=$(sed -n 2p "$E2E_TMP/watch.out")
# The protocol quotes the value and escapes its quotes and backslashes.
[ "$MESSAGE" = 'remove: ID="kambolux-e2e \"quoted\" \\ id_TIME4711"' ] \
	|| e2e_fail "startup message: $MESSAGE"
e2e_log "startup message: $MESSAGE"
xprop -id "$MAIN" _NET_STARTUP_ID | grep -qF 'kambolux-e2e' \
	|| e2e_fail "main window without _NET_STARTUP_ID: $(xprop -id "$MAIN" _NET_STARTUP_ID)"

# --- What each window says of itself ---------------------------------------------------------

# Whether window $1 has the type $2, the owner $3 ("none" for no owner) and a task-bar entry
# ($4: yes or no); says what is wrong on standard output.
window_is()
{
	local win=$1 type=$2 owner=$3 taskbar=$4 props transient
	props=$(xprop -id "$win" _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR _NET_WM_STATE 2>&1)
	if ! grep -q "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_$type\b" <<<"$props"; then
		echo "not of type $type: $props"
		return 1
	fi
	transient=$(sed -n 's/^WM_TRANSIENT_FOR(WINDOW): window id # //p' <<<"$props")
	if [ "$owner" = none ] && [ -n "$transient" ]; then
		echo "transient for $transient"
		return 1
	fi
	if [ "$owner" != none ] && ! { [ -n "$transient" ] && [ $((transient)) -eq $((owner)) ]; }; then
		echo "transient for '${transient:-nothing}', not the main window $owner"
		return 1
	fi
	local skips=no
	grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" && skips=yes
	if [ "$skips" = "$taskbar" ]; then
		echo "task-bar entry: $([ "$taskbar" = yes ] && echo none || echo one): $props"
		return 1
	fi
}

# Checks a window, giving the window manager time to take it over (it writes _NET_WM_STATE).
check_window()
{
	local name=$1
	shift
	e2e_wait_for 5 window_is "$@" || e2e_fail "$name: $(window_is "$@")"
	e2e_log "$name: type $2, owner $3, task-bar entry $4"
}

gone() { ! e2e_window_exists "$1"; }

check_window "main window" "$MAIN" NORMAL none yes

# The pad opens from the calculator button and closes at a click elsewhere.
e2e_click "$MAIN" 162 32
PAD=$(e2e_wait_window "Calc" 5) || e2e_fail "no calculator pad"
check_window "calculator pad" "$PAD" UTILITY "$MAIN" no
e2e_click "$MAIN" 60 30
e2e_wait_for 5 gone "Calc" || e2e_fail "the pad stayed open"

# The rates alert: the seventh entry of the context menu, chosen with the keys once the
# pointer has left the menu.
e2e_click "$MAIN" 190 8 3
e2e_wait_menu "$MAIN" || e2e_fail "no context menu after a right click"
xdotool mousemove 1000 700
e2e_key Down Down Down Down Down Down Down Return
ALERT=$(e2e_wait_window "Umrechnungskurse" 5) || { e2e_dump_windows; e2e_fail "no rates alert"; }
check_window "rates alert" "$ALERT" DIALOG "$MAIN" no
e2e_key Return
e2e_wait_for 5 gone "Umrechnungskurse" || e2e_fail "Enter did not close the alert"
alive

# The about window, and a link in it: the browser must not inherit the startup ID.
e2e_click "$MAIN" 201 107
ABOUT=$(e2e_wait_window "About" 5) || e2e_fail "no about window"
e2e_wait_focus "$ABOUT"
check_window "about window" "$ABOUT" DIALOG "$MAIN" no
e2e_geometry "$ABOUT"
LINK=$(import -window root -crop "245x153+$((E2E_X + 55))+$((E2E_Y + 10))" -depth 8 txt:- \
	2>/dev/null | awk -F'[,:() ]+' '/^[0-9]/ { if ($3 < 60 && $4 < 60 && $5 > 150) { print $1, $2; exit } }')
[ -n "$LINK" ] || e2e_fail "no blue link text in the about window"
read -r LX LY <<<"$LINK"
e2e_click "$ABOUT" $((55 + LX + 2)) $((10 + LY))
e2e_wait_for 5 test -s "$LAUNCHED" || e2e_fail "the link did not reach the browser"
[ "$(cat "$LAUNCHED")" = "id=" ] || e2e_fail "the browser inherited the startup ID: $(cat "$LAUNCHED")"
e2e_key Return
e2e_wait_for 5 gone "About" || e2e_fail "Enter did not close the about window"

xdotool windowactivate --sync "$MAIN" >/dev/null 2>&1
e2e_key ctrl+q
e2e_wait_for 5 e2e_exited "$PID" || e2e_fail "still running after Ctrl+Q"
wait "$PID"
STATUS=$?
[ "$STATUS" -eq 0 ] || e2e_fail "exit status $STATUS: $(cat "$OUT")"
e2e_log "PASS"
