# shellcheck shell=bash disable=SC2034  # the variables are for the sourcing script
# A headless sway session for the Wayland end-to-end tests (source after lib.sh): sway with
# no input devices, pixman and no Xwayland, run as the user nobody (through setpriv) when the
# test runs as root, since sway refuses root; its runtime directory and home are its own.
#
#   sway_start [PROGRAM]  starts sway and a virtual keyboard that stays (wtype); PROGRAM is a
#                         file nobody must be able to run (77 when it cannot)
#   session CMD...        runs CMD in the session, as its user, with WAYLAND_DISPLAY and SWAYSOCK
#   view                  "shell x y width height" of the view with app_id kambolux, or nothing
#   pointer_start POINTER starts POINTER (wayland_pointer) in the session: a virtual pointer
#                         that stays, fed through descriptor 3 (77 without the protocol)
#   pointer_click X Y [left|middle|right]
#                         clicks at X, Y of the layout's logical space and waits until the
#                         compositor has it
#
# Sets RUNTIME, HOMEDIR, CONFIG (XDG_CONFIG_HOME), AS (the setpriv prefix or nothing), SWAY
# (sway's pid) and SESSION (the prefix session uses); pointer_start sets POINTER_PID.

# The compositor's socket, by name in the runtime directory.
wayland_socket()
{
	local socket
	for socket in "$RUNTIME"/wayland-*; do
		[ -S "$socket" ] && basename "$socket" && return 0
	done
	return 1
}

sway_start()
{
	e2e_user_dirs "${1:-}"
	cat >"$E2E_TMP/sway.conf" <<'CONF'
xwayland disable
output HEADLESS-1 resolution 800x600 position 0 0 scale 1
CONF
	chmod 644 "$E2E_TMP/sway.conf"

	# The session's user's environment and nothing else; commands run through it directly,
	# so that $! is the process itself.
	AS_USER=(env -i PATH="$PATH" HOME="$HOMEDIR" XDG_RUNTIME_DIR="$RUNTIME"
		XDG_CONFIG_HOME="$CONFIG" WLR_BACKENDS=headless WLR_RENDERER=pixman
		WLR_LIBINPUT_NO_DEVICES=1 LSAN_OPTIONS="${LSAN_OPTIONS:-}")

	"${AS_USER[@]}" "${AS[@]}" sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
	SWAY=$!
	e2e_track_pid "$SWAY"
	ipc_ready() { ls "$RUNTIME"/sway-ipc.*.sock && wayland_socket; }
	e2e_wait_for 10 ipc_ready || e2e_fail "sway did not start: $(tail -n 5 "$E2E_TMP/sway.log")"
	SESSION=("${AS_USER[@]}" WAYLAND_DISPLAY="$(wayland_socket)"
		SWAYSOCK="$(ls "$RUNTIME"/sway-ipc.*.sock | head -n 1)"
		${E2E_WAYLAND_DEBUG:+WAYLAND_DEBUG=1} "${AS[@]}")

	# A keyboard that stays, there before the program starts: each wtype brings a virtual
	# keyboard of its own, and a seat whose only keyboard comes and goes with it would hand
	# the window each one's first key as held before the keyboard entered, which is no press.
	"${SESSION[@]}" wtype -s 600000 &
	e2e_track_pid $!
	has_keyboard() { session swaymsg -t get_inputs | grep -q '"type": "keyboard"'; }
	e2e_wait_for 10 has_keyboard || e2e_fail "no virtual keyboard"
}

session() { "${SESSION[@]}" "$@"; }

view()
{
	session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == "kambolux":
        r, w = node["rect"], node["window_rect"]
        print(node.get("shell"), r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"])
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}

# The layout's logical size, "width height": what pointer_click's X and Y are counted in, at
# any output scale (the test sessions have one output, at 0,0).
layout_size()
{
	session swaymsg -t get_outputs | python3 -c '
import json, sys
right = bottom = 0
for output in json.load(sys.stdin):
    rect = output["rect"]
    right = max(right, rect["x"] + rect["width"])
    bottom = max(bottom, rect["y"] + rect["height"])
print(right, bottom)'
}

pointer_start()
{
	local fifo="$E2E_TMP/pointer.in"
	POINTER_OUT="$E2E_TMP/pointer.out"
	mkfifo "$fifo"
	"${SESSION[@]}" "$1" <"$fifo" >"$POINTER_OUT" 2>&1 &
	POINTER_PID=$!
	e2e_track_pid "$POINTER_PID"
	exec 3>"$fifo"
	pointer_ready() { grep -q '^ready' "$POINTER_OUT"; }
	if ! e2e_wait_for 10 pointer_ready; then
		grep -q "offers no zwlr_virtual_pointer" "$POINTER_OUT" && e2e_skip "no virtual pointer"
		e2e_fail "the virtual pointer did not start: $(cat "$POINTER_OUT")"
	fi
	has_pointer() { session swaymsg -t get_inputs | grep -q '"type": "pointer"'; }
	e2e_wait_for 10 has_pointer || e2e_fail "the virtual pointer is not on the seat"
}

pointer_click()
{
	local size answers
	size=$(layout_size) || e2e_fail "swaymsg told no output"
	answers=$(grep -c '' "$POINTER_OUT")
	# A write to the pipe of a pointer that ended would end this script without a word.
	kill -0 "$POINTER_PID" 2>/dev/null || e2e_fail "the pointer ended: $(cat "$POINTER_OUT")"
	echo "$1 $2 $size ${3:-left}" >&3
	answered() { [ "$(grep -c '' "$POINTER_OUT")" -gt "$answers" ]; }
	e2e_wait_for 5 answered || e2e_fail "the pointer did not click: $(cat "$POINTER_OUT")"
	tail -n 1 "$POINTER_OUT" | grep -q '^ok$' \
		|| e2e_fail "the pointer did not click at $1 $2 of $size: $(tail -n 1 "$POINTER_OUT")"
}
