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
mkdir -p "$XDG_CONFIG_HOME" "$E2E_TMP/bin"
# A stand-in browser that notes the startup ID it inherited, if any.
LAUNCHED="$E2E_TMP/launched"
cat >"$E2E_TMP/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf 'id=%s\n' "\${DESKTOP_STARTUP_ID-}" >>"$LAUNCHED"
SCRIPT
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"

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

# Checks window $1 (named $2) for a type, an owner ("none" for no owner) and a task-bar entry.
check_window()
{
	local win=$1 name=$2 type=$3 owner=$4 taskbar=$5 props transient
	props=$(xprop -id "$win" _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR _NET_WM_STATE 2>&1)
	grep -q "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_$type\b" <<<"$props" \
		|| e2e_fail "$name is not of type $type: $props"
	transient=$(sed -n 's/^WM_TRANSIENT_FOR(WINDOW): window id # //p' <<<"$props")
	if [ "$owner" = none ]; then
		[ -z "$transient" ] || e2e_fail "$name belongs to $transient"
	else
		[ -n "$transient" ] && [ $((transient)) -eq $((owner)) ] \
			|| e2e_fail "$name is transient for '${transient:-nothing}', not the main window $owner"
	fi
	if [ "$taskbar" = yes ]; then
		grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" && e2e_fail "$name skips the task bar"
	else
		grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$props" \
			|| e2e_fail "$name would get a task-bar entry: $props"
	fi
	e2e_log "$name: $type, owner $owner, task bar $taskbar"
}

gone() { ! e2e_window_exists "$1"; }

check_window "$MAIN" "main window" NORMAL none yes

# The pad opens from the calculator button and closes at a click elsewhere.
e2e_click "$MAIN" 162 32
PAD=$(e2e_wait_window "Calc" 5) || e2e_fail "no calculator pad"
sleep 0.3
check_window "$PAD" "calculator pad" UTILITY "$MAIN" no
e2e_click "$MAIN" 60 30
e2e_wait_for 5 gone "Calc" || e2e_fail "the pad stayed open"

# The rates alert: the seventh entry of the context menu, chosen with the keys once the
# pointer has left the menu.
e2e_click "$MAIN" 190 8 3
e2e_wait_window Menu 5 >/dev/null || e2e_fail "no context menu after a right click"
xdotool mousemove 1000 700
sleep 0.2
e2e_key Down Down Down Down Down Down Down Return
ALERT=$(e2e_wait_window "Umrechnungskurse" 5) || { e2e_dump_windows; e2e_fail "no rates alert"; }
sleep 0.3
check_window "$ALERT" "rates alert" DIALOG "$MAIN" no
e2e_key Return
e2e_wait_for 5 gone "Umrechnungskurse" || e2e_fail "Enter did not close the alert"
alive

# The about window, and a link in it: the browser must not inherit the startup ID.
e2e_click "$MAIN" 201 107
ABOUT=$(e2e_wait_window "About" 5) || e2e_fail "no about window"
sleep 0.5
check_window "$ABOUT" "about window" DIALOG "$MAIN" no
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
