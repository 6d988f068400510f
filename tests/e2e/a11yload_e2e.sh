#!/usr/bin/env bash
# Accessibility costs nothing while it is off and is there when it is on: the real program
# in Xvfb on a private session bus (dbus-run-session) with a stand-in org.a11y.Bus service.
# Off (by the environment, by the bus, without a bus) the process maps no accessibility or
# D-Bus library and no module; on (at start, or switched on while the program runs) the
# module is mapped; every way of quitting (Ctrl+Q, closing the window, SIGTERM, SIGHUP, the
# X server going away) stops it first.
#
#   a11yload_e2e.sh <kambolux> <stand-in module.so>
PROGRAM=${1:?usage: a11yload_e2e.sh <kambolux> <module.so>}
MODULE=${2:?usage: a11yload_e2e.sh <kambolux> <module.so>}
HERE=$(cd "$(dirname "$0")" && pwd)

# Everything below runs on a session bus of its own. The services it may start (the desktop's
# at-spi-bus-launcher, dconf) keep their settings in memory: nothing this test switches may
# reach the user's own settings.
if [ -z "${KAMBO_E2E_PRIVATE_BUS:-}" ]; then
	command -v dbus-run-session >/dev/null 2>&1 || { echo "SKIP: no dbus-run-session"; exit 77; }
	export GSETTINGS_BACKEND=memory
	KAMBO_E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$HERE/lib.sh"

[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
[ -f "$MODULE" ] || e2e_fail "no module at $MODULE"
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || e2e_skip "python3-dbus is not installed"
e2e_require gdbus
e2e_start_display

export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"
unset KAMBOLUX_ACCESSIBILITY NO_AT_BRIDGE
# The stand-in module under the real module's name: it notes each stop in the log.
mkdir -p "$E2E_TMP/lib"
cp "$MODULE" "$E2E_TMP/lib/kambolux-atk.so"
export KAMBOLUX_ACCESSIBILITY_MODULE="$E2E_TMP/lib/kambolux-atk.so"
export KIT_TEST_A11Y_MODULE_LOG="$E2E_TMP/module.log"
MODULE_NAME=kambolux-atk.so
readonly FORBIDDEN='libatk-1|libatk-bridge|libatspi|libdbus-1|libgio-2|libglib-2|libgobject-2'

FAKE_PID=
# Starts the stand-in service with IsEnabled $1.
start_fake_bus()
{
	rm -f "$E2E_TMP/fake.ready"
	/usr/bin/python3 "$HERE/fake_a11y_bus.py" "$1" "$E2E_TMP/fake.ready" \
		>"$E2E_TMP/fake.log" 2>&1 &
	FAKE_PID=$!
	e2e_track_pid "$FAKE_PID"
	e2e_wait_for 10 test -s "$E2E_TMP/fake.ready" \
		|| e2e_fail "the stand-in bus service did not start: $(cat "$E2E_TMP/fake.log")"
}

stop_fake_bus()
{
	kill "$FAKE_PID" 2>/dev/null
	wait "$FAKE_PID" 2>/dev/null
	FAKE_PID=
}

set_enabled()
{
	gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
		--method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled "<$1>" \
		>/dev/null || e2e_fail "could not switch IsEnabled to $1"
}

PID=
OUT="$E2E_TMP/kambolux.out"
start_program()
{
	: >"$OUT"
	"$@" "$PROGRAM" >"$OUT" 2>&1 &
	PID=$!
	e2e_track_pid "$PID"
	MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window: $(cat "$OUT")"
}

maps() { cat "/proc/$PID/maps" 2>/dev/null; }
module_mapped() { maps | grep -qF "$MODULE_NAME"; }

# The program is settled: it went through its start and a few passes of its loop, where it
# would have asked the bus and loaded a module.
settle()
{
	e2e_sync "$MAIN" 3
	kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"
}

# Settled once the stand-in (started afresh for this program) was asked both questions: the
# round trips after that give the program passes of its loop to act on the answers.
settle_after_asking()
{
	e2e_wait_for 10 grep -q '^Get ScreenReaderEnabled' "$E2E_TMP/fake.log" \
		|| e2e_fail "the program never asked the bus: $(cat "$E2E_TMP/fake.log")"
	settle
}

expect_nothing_mapped()
{
	local found
	found=$(maps | grep -E "$FORBIDDEN|$MODULE_NAME" | awk '{print $6}' | sort -u)
	[ -z "$found" ] || e2e_fail "$1: mapped although accessibility is off: $found"
	grep -q "screen-reader" "$OUT" && e2e_fail "$1: unexpected message: $(cat "$OUT")"
	e2e_log "$1: no accessibility library mapped"
}

# Quits with $@ (a key, a close or a signal) and checks that the module was stopped.
quit_and_expect_stop()
{
	local how=$1 before
	before=$(grep -c stopped "$KIT_TEST_A11Y_MODULE_LOG" 2>/dev/null)
	case $how in
		ctrl-q) xdotool windowactivate --sync "$MAIN" key ctrl+q ;;
		close) xdotool windowclose "$MAIN" 2>/dev/null || wmctrl -c "ZQ Kambo-Lux" ;;
		*) kill "-$how" "$PID" ;;
	esac
	e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "$how did not end the program"
	wait "$PID" 2>/dev/null
	[ "$(grep -c stopped "$KIT_TEST_A11Y_MODULE_LOG" 2>/dev/null)" -gt "${before:-0}" ] \
		|| e2e_fail "$how ended the program without stopping the module: $(cat "$OUT")"
	e2e_log "$how: the module was stopped before the program ended"
}

# --- Off ---------------------------------------------------------------------------------------

start_program env KAMBOLUX_ACCESSIBILITY=0
settle
expect_nothing_mapped "KAMBOLUX_ACCESSIBILITY=0"
kill "$PID"; wait "$PID" 2>/dev/null

start_program env -u DBUS_SESSION_BUS_ADDRESS
settle
expect_nothing_mapped "no session bus"
kill "$PID"; wait "$PID" 2>/dev/null

start_fake_bus false
start_program env
settle_after_asking
expect_nothing_mapped "IsEnabled false"

# --- Switched on while the program runs (a screen reader started after it) --------------------

set_enabled true
e2e_wait_for 10 module_mapped || e2e_fail "IsEnabled turned true did not load the module"
e2e_log "IsEnabled turned true: $MODULE_NAME mapped"
quit_and_expect_stop TERM
stop_fake_bus

# --- On at start, and every way of quitting -----------------------------------------------------

start_fake_bus true
for how in ctrl-q HUP close; do
	start_program env
	e2e_wait_for 10 module_mapped || e2e_fail "IsEnabled true: no module mapped: $(cat "$OUT")"
	quit_and_expect_stop "$how"
done
stop_fake_bus

start_program env KAMBOLUX_ACCESSIBILITY=1
e2e_wait_for 10 module_mapped || e2e_fail "KAMBOLUX_ACCESSIBILITY=1: no module mapped"
quit_and_expect_stop TERM

# A module that is not there: one line on standard error, and the program goes on.
start_program env KAMBOLUX_ACCESSIBILITY=1 KAMBOLUX_ACCESSIBILITY_MODULE=/nonexistent/m.so
e2e_wait_for 10 grep -q 'screen-reader support not available' "$OUT" \
	|| e2e_fail "missing module: no message: $(cat "$OUT")"
settle
[ "$(grep -c 'screen-reader support not available' "$OUT")" = 1 ] \
	|| e2e_fail "missing module: expected one message, got: $(cat "$OUT")"
xdotool windowactivate --sync "$MAIN" key ctrl+q
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not quit after a missing module"
e2e_log "missing module: one message, the program went on"

# Last, since asking for org.a11y.Bus may start the desktop's own service (at-spi-bus-launcher,
# with accessibility off by default), which then keeps the name for the rest of the session.
start_program env
# Whether the desktop's service answers, and when, shows nowhere outside the program: nothing
# can be waited for, so it gets a fixed time (the service answers in milliseconds).
sleep 1.5
settle
expect_nothing_mapped "a session bus where nothing turned accessibility on"
kill "$PID"; wait "$PID" 2>/dev/null

# Last of all: the X server goes away under a program whose module runs. The program saves,
# stops the module and ends with status 1.
start_program env KAMBOLUX_ACCESSIBILITY=1
e2e_wait_for 10 module_mapped || e2e_fail "KAMBOLUX_ACCESSIBILITY=1: no module mapped"
before=$(grep -c stopped "$KIT_TEST_A11Y_MODULE_LOG")
kill "$E2E_XVFB_PID"
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program outlived its X server"
wait "$PID"
status=$?
[ "$status" = 1 ] || e2e_fail "lost X server: exit status $status, not 1: $(cat "$OUT")"
[ "$(grep -c stopped "$KIT_TEST_A11Y_MODULE_LOG")" -gt "$before" ] \
	|| e2e_fail "lost X server: the module was not stopped: $(cat "$OUT")"
e2e_log "lost X server: the module was stopped, exit status 1"
e2e_log "PASS"
