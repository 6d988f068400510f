#!/usr/bin/env bash
# The real program on the accessibility bus: Xvfb with openbox, a private session bus
# (dbus-run-session) with the desktop's accessibility bus, and a pyatspi check of what a
# screen reader gets (accessibility_check.py). Run twice: switched on by the environment, and
# by the desktop's switch (org.a11y.Status IsEnabled) while the program already runs.
#
#   accessibility_e2e.sh <kambolux> <kambolux-atk.so>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
# shellcheck source=a11y_lib.sh
. "$here/a11y_lib.sh"
a11y_private_session "$@"

program=${1:?usage: accessibility_e2e.sh <kambolux> <kambolux-atk.so>}
module=${2:?usage: accessibility_e2e.sh <kambolux> <kambolux-atk.so>}
[ -f "$module" ] || e2e_fail "no module at $module"
e2e_start_display
a11y_start_bus

export XDG_CONFIG_HOME="$E2E_TMP/config" HOME="$E2E_TMP/home"
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
unset NO_AT_BRIDGE
export KAMBOLUX_ACCESSIBILITY_MODULE=$module

pid=
start_program()
{
	"$@" "$program" >"$E2E_TMP/program.log" 2>&1 &
	pid=$!
	e2e_track_pid "$pid"
	main=$(e2e_wait_window "ZQ Kambo-Lux" 10) \
		|| e2e_fail "no main window: $(cat "$E2E_TMP/program.log")"
}

# SIGTERM is a quit request: the program stops the module and ends cleanly (in the sanitizer
# build with no report about what the module and the bus left behind).
stop_program()
{
	local status
	kill "$pid" 2>/dev/null
	e2e_wait_for 10 e2e_exited "$pid" || e2e_fail "the program did not end"
	wait "$pid" 2>/dev/null
	status=$?
	[ "$status" -eq 0 ] || e2e_fail "the program ended with $status: $(cat "$E2E_TMP/program.log")"
	grep -Eq 'Sanitizer|runtime error' "$E2E_TMP/program.log" \
		&& e2e_fail "sanitizer report: $(cat "$E2E_TMP/program.log")"
}

# Switched on by the environment: the whole check.
start_program env KAMBOLUX_ACCESSIBILITY=1
a11y_python "$here/accessibility_check.py" \
	|| e2e_fail "the AT-SPI check failed; program said: $(cat "$E2E_TMP/program.log")"
stop_program

# Switched on by the desktop while the program runs: it joins the bus without a restart.
busctl --user set-property org.a11y.Bus /org/a11y/bus org.a11y.Status IsEnabled b false \
	|| e2e_fail "could not switch accessibility off"
a11y_watch_questions
asked=$(a11y_questions ScreenReaderEnabled)
start_program env -u KAMBOLUX_ACCESSIBILITY
# The program watches the switch before it asks for it: once asked, a change reaches it. The
# round trips then give it passes of its loop to act on the answer (it must not load).
asked_again() { [ "$(a11y_questions ScreenReaderEnabled)" -gt "$asked" ]; }
e2e_wait_for 10 asked_again \
	|| e2e_fail "the program never asked the accessibility bus: $(cat "$E2E_TMP/program.log")"
e2e_sync "$main" 3
grep -q kambolux-atk "/proc/$pid/maps" && e2e_fail "the module is loaded while accessibility is off"
busctl --user set-property org.a11y.Bus /org/a11y/bus org.a11y.Status IsEnabled b true \
	|| e2e_fail "could not switch accessibility on"
a11y_python "$here/accessibility_check.py" --appear-only \
	|| e2e_fail "the program did not join the bus when switched on: $(cat "$E2E_TMP/program.log")"
stop_program
e2e_log "the program on the accessibility bus: checks passed"
