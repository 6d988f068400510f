# shellcheck shell=bash disable=SC2034  # E2E_* are results for the sourcing script
# Shared helpers for the end-to-end tests: a private X server with a real window manager,
# xdotool wrappers and screenshots. Source this file; it sets a cleanup trap on exit.
#
#   e2e_start_display        Xvfb on a free display plus openbox (none with E2E_NO_WM=1);
#                            exits 77 when unavailable
#   e2e_wait_window NAME     prints the id of a visible window whose title is NAME
#   e2e_geometry WIN         sets E2E_X E2E_Y E2E_W E2E_H to the window's content area
#   e2e_click WIN X Y [B]    clicks at content coordinates; e2e_type TEXT, e2e_key KEYS...
#   e2e_screenshot FILE      the whole screen as PNG; e2e_pixel X Y prints "r,g,b"
#   e2e_wait_for SECS CMD... polls CMD until it succeeds (at most SECS seconds)
#   e2e_sync WIN [ROUNDS]    the program owning WIN has read every event sent it so far and
#                            gone once more through its loop
#   e2e_wait_focus WIN       waits until WIN has the keyboard focus
#   e2e_wait_menu WIN [NAME] waits until a pop-up menu (titled NAME, default "Menu") of
#                            WIN's program is open and holds the keyboard
#   e2e_wait_pixel X Y RGB   waits until the screen pixel is "r,g,b"
#   e2e_track_pid PID        ends PID on exit if it is still running
#   e2e_fail MESSAGE         prints MESSAGE and exits 1 (e2e_skip: exits 77)

E2E_SKIP=77
E2E_PIDS=()
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kambo-e2e.XXXXXX")

e2e_log() { printf '[e2e] %s\n' "$*" >&2; }

e2e_fail()
{
	e2e_log "FAIL: $*"
	exit 1
}

e2e_skip()
{
	e2e_log "SKIP: $*"
	exit "$E2E_SKIP"
}

# Ends what was started, last first: the program under test before the window manager,
# both before the X server they talk to.
e2e_cleanup()
{
	local i pid
	for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
		pid=${E2E_PIDS[i]}
		kill "$pid" 2>/dev/null || continue
		# Give it a second, then insist.
		e2e_wait_for 1 e2e_exited "$pid" || kill -9 "$pid" 2>/dev/null
	done
	rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT
# Interrupted, the script still ends what it started.
trap 'exit 130' INT
trap 'exit 143' TERM

e2e_track_pid() { E2E_PIDS+=("$1"); }

e2e_require()
{
	local tool
	for tool in "$@"; do
		command -v "$tool" >/dev/null 2>&1 || e2e_skip "$tool is not installed"
	done
}

# Microseconds on the wall clock, without starting a process.
e2e_now_us() { echo "${EPOCHREALTIME/./}"; }

# Polls a command until it succeeds or the timeout (whole seconds) runs out. This is the one
# place where the tests pass time: every wait is for a condition, with this bound.
e2e_wait_for()
{
	local timeout=$1
	shift
	local deadline=$(($(e2e_now_us) + timeout * 1000000))
	until "$@" >/dev/null 2>&1; do
		[ "$(e2e_now_us)" -ge "$deadline" ] && return 1
		sleep 0.05
	done
}

# A round trip through the event loop of the program that owns window $1 (x11_sync: a
# _NET_WM_PING answered in order with the events before it). The default two rounds mean the
# program has read every key, click and map sent before and handled them in one more pass of
# its loop; what it drew then is on the screen.
e2e_sync()
{
	[ -n "${E2E_SYNC:-}" ] || e2e_fail "E2E_SYNC names no x11_sync program (run the test through ctest)"
	"$E2E_SYNC" "$1" "${2:-2}" 10 && return 0
	e2e_where_stuck "$1"
	e2e_fail "window $1 did not answer: its program hangs or is gone"
}

# Says where the program owning window $1 is, for a test that found it not answering.
e2e_where_stuck()
{
	local pid
	pid=$(xprop -id "$1" _NET_WM_PID 2>/dev/null | sed -n 's/.*= *//p')
	[ -n "$pid" ] && [ -d "/proc/$pid" ] || return 0
	e2e_log "process $pid: $(tr -d '\0' <"/proc/$pid/wchan" 2>/dev/null), $(awk '{print "state " $3}' "/proc/$pid/stat")"
	command -v gdb >/dev/null 2>&1 \
		&& gdb -batch -p "$pid" -ex 'thread apply all bt 30' 2>/dev/null | grep '^#' >&2
}

# Whether the process has ended (for e2e_wait_for).
e2e_exited() { ! kill -0 "$1" 2>/dev/null; }

e2e_start_display()
{
	e2e_require Xvfb
	e2e_require openbox xdotool xprop xwininfo import
	# Xvfb picks a free display number itself and tells it through -displayfd: tests that
	# run side by side cannot take the same one.
	local number="$E2E_TMP/display"
	: >"$number"
	# -noreset: a plain Xvfb resets after its last client leaves, which costs every start.
	Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 \
		3>"$number" >"$E2E_TMP/xvfb.log" 2>&1 &
	E2E_XVFB_PID=$!
	e2e_track_pid "$E2E_XVFB_PID"
	e2e_wait_for 10 grep -q '[0-9]' "$number" \
		|| e2e_skip "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
	DISPLAY=":$(tr -dc '0-9' <"$number")"
	export DISPLAY
	e2e_wait_for 10 xprop -root || e2e_skip "no X server on $DISPLAY"

	if [ -n "${E2E_NO_WM:-}" ]; then
		e2e_log "display $DISPLAY without a window manager ready"
		return 0
	fi
	openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
	E2E_WM_PID=$!
	e2e_track_pid "$E2E_WM_PID"
	# openbox announces itself through _NET_SUPPORTING_WM_CHECK once it holds the screen, but
	# a window mapped before it has taken over the windows already there may stay unmapped
	# for good (about one start in five): its list of clients, written last, is waited for too.
	e2e_wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" \
		&& xprop -root _NET_CLIENT_LIST | grep -q "window id"' \
		|| e2e_fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
	e2e_log "display $DISPLAY with openbox ready"
}

# Waits (up to $2 seconds, default 10) for a visible window titled exactly $1; prints its id.
# A search walks every window of the screen and gives up when one of them vanishes under it (a
# closing menu or alert), so it is asked again until the time is up.
e2e_wait_window()
{
	E2E_FOUND=
	e2e_wait_for "${2:-10}" _e2e_find_window "$1" || return 1
	echo "$E2E_FOUND"
}
_e2e_find_window()
{
	E2E_FOUND=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
	[ -n "$E2E_FOUND" ]
}

# Waits (up to $2 seconds, default 5) until window $1 has the keyboard focus.
e2e_wait_focus()
{
	e2e_wait_for "${2:-5}" _e2e_has_focus "$1" \
		|| e2e_fail "window $1 never got the focus (it went to $(xdotool getwindowfocus 2>&1))"
}
_e2e_has_focus() { [ "$(($(xdotool getwindowfocus 2>/dev/null || echo 0)))" = "$(($1))" ]; }

# Waits until a pop-up menu of the program that owns window $1 is on the screen and holds
# the keyboard and pointer (it takes them when it sees the menu mapped, which the round trip
# after the map makes sure of); keys sent before might reach the window under it.
e2e_wait_menu()
{
	e2e_wait_window "${2:-Menu}" 5 >/dev/null || return 1
	e2e_sync "$1"
}

# Waits (up to $4 seconds, default 5) until the screen pixel ($1, $2) is $3 ("r,g,b").
e2e_wait_pixel() { e2e_wait_for "${4:-5}" _e2e_pixel_is "$1" "$2" "$3"; }
_e2e_pixel_is() { [ "$(e2e_pixel "$1" "$2")" = "$3" ]; }

# Lists the named top-level windows with their map state (for a failure's report).
e2e_dump_windows()
{
	local id
	for id in $(xwininfo -root -children 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "[^"]*".*/\1/p'); do
		printf '%s %s %s\n' "$id" "$(xprop -id "$id" WM_NAME 2>/dev/null | cut -d= -f2)" \
			"$(xwininfo -id "$id" 2>/dev/null | grep -o 'Map State: .*')" >&2
	done
}

e2e_window_exists() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# Content-area geometry of a window in screen coordinates: sets E2E_X E2E_Y E2E_W E2E_H.
# (xdotool getwindowgeometry counts openbox's frame twice; xwininfo does not.)
e2e_geometry()
{
	local out
	out=$(xwininfo -id "$1") || return 1
	E2E_X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$out")
	E2E_Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$out")
	E2E_W=$(sed -n 's/^ *Width: *//p' <<<"$out")
	E2E_H=$(sed -n 's/^ *Height: *//p' <<<"$out")
}

# Clicks at content coordinates of a window (button 1 left, 3 right), holding the button
# as long as a hand would: xdotool's own click releases within the same instant. The hold is
# time by nature (a pop-up menu tells a quick click from a press and drag by it), no wait.
e2e_click()
{
	local win=$1 x=$2 y=$3 button=${4:-1}
	xdotool mousemove --window "$win" "$x" "$y" mousedown "$button" sleep 0.1 mouseup "$button"
}

e2e_type() { xdotool type --delay 30 "$1"; }
e2e_key() { xdotool key "$@"; }

e2e_screenshot() { import -window root "$1"; }

# A stand-in xdg-open first on PATH that appends printf FORMAT WHAT (evaluated in the stand-in,
# e.g. '$1' or '${DESKTOP_STARTUP_ID-}') to $LAUNCHED instead of starting a browser.
e2e_fake_browser()
{
	LAUNCHED="$E2E_TMP/launched"
	mkdir -p "$E2E_TMP/bin"
	printf '#!/bin/sh\nprintf '"'"'%s'"'"' "%s" >>"%s"\n' "$1" "$2" "$LAUNCHED" >"$E2E_TMP/bin/xdg-open"
	chmod +x "$E2E_TMP/bin/xdg-open"
	export PATH="$E2E_TMP/bin:$PATH"
}

# The colour of one screen pixel as "r,g,b" (0-255).
e2e_pixel()
{
	local hex
	hex=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null \
		| grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1)
	[ -n "$hex" ] || return 1
	printf '%d,%d,%d\n' "0x${hex:1:2}" "0x${hex:3:2}" "0x${hex:5:2}"
}

# A compositor and the program as an unprivileged user (sway refuses root), writing only in
# directories of their own: sets RUNTIME, HOMEDIR, CONFIG and AS (the setpriv prefix, empty
# when the test is not root); skips when that user cannot run the program $1.
e2e_user_dirs()
{
	chmod 711 "$E2E_TMP"
	RUNTIME="$E2E_TMP/runtime"
	HOMEDIR="$E2E_TMP/home"
	CONFIG="$HOMEDIR/.config"
	mkdir -m 700 "$RUNTIME"
	mkdir -p "$CONFIG"
	AS=()
	if [ "$(id -u)" = 0 ]; then
		AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
		chown -R nobody:nogroup "$RUNTIME" "$HOMEDIR"
		[ -z "${1:-}" ] || "${AS[@]}" test -x "$1" || e2e_skip "the user nobody cannot run $1"
	fi
}
