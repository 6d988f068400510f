# shellcheck shell=bash
# Helpers for the accessibility end-to-end tests, on top of lib.sh: a private session bus and
# the accessibility bus on it. Source lib.sh first.
#
#   a11y_private_session "$@"   re-runs the calling script under dbus-run-session (once)
#   a11y_start_bus              the accessibility bus (at-spi-bus-launcher); exits 77 without it
#   a11y_python SCRIPT ARGS...  runs a check with the system's python3, which has pyatspi
#   a11y_watch_questions        notes every Get sent to org.a11y.Bus (dbus-monitor)
#   a11y_questions NAME         how many of them asked for the property NAME so far

A11Y_LAUNCHER=/usr/libexec/at-spi-bus-launcher

a11y_private_session()
{
	if [ -z "${KAMBO_A11Y_SESSION:-}" ]; then
		command -v dbus-run-session >/dev/null 2>&1 || e2e_skip "dbus-run-session is not installed"
		# The services the bus starts (the accessibility bus reads GSettings) keep their
		# settings in memory: nothing a test switches reaches the user's own.
		export GSETTINGS_BACKEND=memory
		KAMBO_A11Y_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
	fi
}

a11y_start_bus()
{
	[ -x "$A11Y_LAUNCHER" ] || e2e_skip "at-spi2-core is not installed"
	/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || e2e_skip "python3-pyatspi is not installed"
	"$A11Y_LAUNCHER" --launch-immediately >"$E2E_TMP/a11y-bus.log" 2>&1 &
	e2e_track_pid $!
	# Asking org.a11y.Bus before the launcher owns the name would start a second one through
	# the session bus's activation.
	e2e_wait_for 10 a11y_has_owner org.a11y.Bus \
		|| e2e_fail "the accessibility bus did not start: $(cat "$E2E_TMP/a11y-bus.log")"
	e2e_log "accessibility bus ready"
}

a11y_python() { /usr/bin/python3 "$@"; }

a11y_watch_questions()
{
	e2e_require dbus-monitor
	A11Y_QUESTIONS="$E2E_TMP/a11y-questions.log"
	dbus-monitor --session "type='method_call',destination='org.a11y.Bus',member='Get'" \
		>"$A11Y_QUESTIONS" 2>&1 &
	e2e_track_pid $!
	# It says the name it got from the bus once it listens.
	e2e_wait_for 10 grep -q NameAcquired "$A11Y_QUESTIONS" \
		|| e2e_fail "dbus-monitor did not start: $(cat "$A11Y_QUESTIONS")"
}

a11y_questions() { grep -c "string \"$1\"" "$A11Y_QUESTIONS"; }

a11y_has_owner()
{
	gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
		--method org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}
