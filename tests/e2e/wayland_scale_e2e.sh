#!/usr/bin/env bash
# The program's scale and pointer as a native Wayland client under sway (headless, pixman, as
# an unprivileged user when the test runs as root): the output's scale changed to 2 while the
# program runs makes it draw again at 2, pixel for pixel the headless rendering at scale 2; a
# fractional scale where sway offers wp_fractional_scale_v1; clicks through wlroots' virtual
# pointer open a band's list (an xdg_popup), the pad and the about window (toplevels whose
# parent is the main window, as the protocol log shows).
#
#   wayland_scale_e2e.sh <kambolux> <converter_render> <wayland_pointer> [directory for the screenshots]
set -u
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sway_lib.sh"

USAGE="usage: wayland_scale_e2e.sh <kambolux> <converter_render> <wayland_pointer> [screenshot dir]"
KAMBOLUX=${1:?$USAGE}
RENDER=${2:?$USAGE}
POINTER=${3:?$USAGE}
SHOTS=${4:-$E2E_TMP/screenshots}
mkdir -p "$SHOTS"

e2e_require sway swaymsg wtype grim setpriv compare convert python3

e2e_user_dirs "$KAMBOLUX"
cat >"$E2E_TMP/sway.conf" <<'CONF'
xwayland disable
output HEADLESS-1 resolution 800x600 position 0 0 scale 1
CONF
chmod 644 "$E2E_TMP/sway.conf"

AS_USER=(env -i PATH="$PATH" HOME="$HOMEDIR" XDG_RUNTIME_DIR="$RUNTIME" XDG_CONFIG_HOME="$CONFIG"
	WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
	LSAN_OPTIONS="${LSAN_OPTIONS:-}")

"${AS_USER[@]}" "${AS[@]}" sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
SWAY=$!
e2e_track_pid "$SWAY"
ipc_ready() { ls "$RUNTIME"/sway-ipc.*.sock && wayland_socket; }
e2e_wait_for 10 ipc_ready || e2e_fail "sway did not start: $(tail -n 5 "$E2E_TMP/sway.log")"
SESSION_ENV=("${AS_USER[@]}" WAYLAND_DISPLAY="$(wayland_socket)"
	SWAYSOCK="$(ls "$RUNTIME"/sway-ipc.*.sock | head -n 1)")
SESSION=("${SESSION_ENV[@]}" "${AS[@]}")

# A keyboard and a pointer that stay, there before the program starts, so that the seat's
# devices do not come and go under it.
"${SESSION[@]}" wtype -s 600000 &
e2e_track_pid $!
pointer_start "$POINTER"
has_keyboard() { session swaymsg -t get_inputs | grep -q '"type": "keyboard"'; }
e2e_wait_for 10 has_keyboard || e2e_fail "no virtual keyboard"

# The protocol log shows which toplevel is whose child and which surfaces are pop-ups.
"${SESSION_ENV[@]}" WAYLAND_DEBUG=1 "${AS[@]}" "$KAMBOLUX" >"$E2E_TMP/kambolux.out" 2>&1 &
PID=$!
e2e_track_pid "$PID"
LOG="$E2E_TMP/kambolux.out"
alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program ended: $(grep -v '^\[' "$LOG" | tail -n 5)"; }

# The views of app_id "kambolux", one line each: "x y width height" of their content.
views()
{
	session swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == "kambolux":
        r, w = node["rect"], node["window_rect"]
        print(r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"])
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
count_views() { views | wc -l; }
has_view() { [ "$(count_views)" -ge 1 ]; }
e2e_wait_for 10 has_view || e2e_fail "no kambolux view: $(grep -v '^\[' "$LOG" | tail -n 5)"
read -r X Y W H <<<"$(views | head -n 1)"
[ "${W}x$H" = 207x113 ] || e2e_fail "the content is ${W}x$H, not 207x113"

SCALE=1
shot() { session grim -t png - >"$E2E_TMP/$1.png" && cp "$E2E_TMP/$1.png" "$SHOTS/$1.png"; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }
# Whether the window in a new shot is the headless rendering at the current scale, to the
# pixel; the caret blinks, so this is polled until both show it alike.
COUNT=
like_rendering()
{
	local name=$1 reference="$E2E_TMP/reference-$SCALE.png"
	[ -f "$reference" ] || KAMBOLUX_SCALE=$SCALE XDG_CONFIG_HOME="$E2E_TMP/defaults" \
		"$RENDER" "$reference" "" >/dev/null
	shot "$name" || return 1
	read -r X Y W H <<<"$(views | head -n 1)"
	convert "$E2E_TMP/$name.png" -crop "$((W * SCALE))x$((H * SCALE))+$((X * SCALE))+$((Y * SCALE))" \
		+repage "$E2E_TMP/$name-window.png"
	COUNT=$(differing "$E2E_TMP/$name-window.png" "$reference")
	[ "$COUNT" = 0 ]
}
mkdir -p "$E2E_TMP/defaults"
e2e_wait_for 10 like_rendering 1-scale1 || e2e_fail "at scale 1 the window is not the rendering ($COUNT pixels differ)"
e2e_log "scale 1: the window is the headless rendering"

# The output's scale changes while the program runs: it draws again at 2.
session swaymsg output HEADLESS-1 scale 2 >/dev/null
SCALE=2
# The output is 400 x 300 now: the window and sway's title bar above it are moved to where they
# lie whole on it, away from the cursor.
session swaymsg '[app_id="kambolux"] move absolute position 180 150' >/dev/null
e2e_wait_for 10 like_rendering 2-scale2 \
	|| e2e_fail "after the output went to scale 2 the window is not the rendering at 2 ($COUNT pixels differ)"
read -r X Y W H <<<"$(views | head -n 1)"
[ "${W}x$H" = 207x113 ] || e2e_fail "at scale 2 the content is ${W}x$H logical, not 207x113"
grep -q 'set_buffer_scale(2)' "$LOG" || e2e_fail "no buffer at scale 2 in the protocol log"
e2e_log "scale 2: the window is the headless rendering at scale 2, 414x226 pixels"

# A fractional scale needs the compositor's wp_fractional_scale_v1 (sway 1.8 and later).
if grep -q '"wp_fractional_scale_manager_v1"' "$LOG"; then
	session swaymsg output HEADLESS-1 scale 1.5 >/dev/null
	SCALE=1.5
	fractional() { grep -q 'preferred_scale(180)' "$LOG" && grep -q 'set_destination(207, 113)' "$LOG"; }
	e2e_wait_for 10 fractional || e2e_fail "at scale 1.5 the window took no viewport"
	alive
	e2e_log "scale 1.5: drawn at the preferred scale through a viewport"
	session swaymsg output HEADLESS-1 scale 2 >/dev/null
	SCALE=2
	e2e_wait_for 10 like_rendering 2-scale2-again || e2e_fail "back at 2 the window is not the rendering"
else
	e2e_log "sway $(session sway --version | awk '{ print $3 }') offers no wp_fractional_scale_manager_v1: the fractional step is not run"
fi

# Clicks at a point of the window, in the layout's logical coordinates (400 x 300 at scale 2).
click() { pointer_click $((X + $1)) $((Y + $2)); }
popups() { grep -c 'get_popup(' "$LOG"; }

# A click on the lower band opens its list as a pop-up.
before=$(popups)
shot before-list
click 100 100
list_open() { [ "$(popups)" -gt "$before" ] && shot now && [ "$(differing "$E2E_TMP/before-list.png" "$E2E_TMP/now.png")" -gt 500 ]; }
e2e_wait_for 5 list_open || e2e_fail "a click on the lower band opened no list"
cp "$E2E_TMP/now.png" "$SHOTS/3-list.png"
session wtype -k Escape
list_closed() { [ "$(grep -c 'xdg_popup@[0-9]*\.destroy()' "$LOG")" -ge 1 ]; }
e2e_wait_for 5 list_closed || e2e_fail "Escape did not close the list"
alive
e2e_log "a click on the band opened its list"

# The main window's toplevel is the first the program made.
MAIN=$(grep -o 'get_toplevel(new id xdg_toplevel@[0-9]*)' "$LOG" | head -n 1 | grep -o 'xdg_toplevel@[0-9]*')
[ -n "$MAIN" ] || e2e_fail "no toplevel in the protocol log"
children() { grep -c "set_parent($MAIN)" "$LOG"; }

# The pad (the calculator button) and the about window (the logo) are the main window's.
for what in pad:162:32 about:201:107; do
	IFS=: read -r name cx cy <<<"$what"
	before=$(children)
	views_before=$(count_views)
	click "$cx" "$cy"
	opened() { [ "$(children)" -gt "$before" ] && [ "$(count_views)" -gt "$views_before" ]; }
	e2e_wait_for 5 opened || e2e_fail "the $name did not open as a child of the main window"
	shot "4-$name"
	e2e_log "the $name opened as a child of the main window ($MAIN)"
	# Closed again: Escape in the pad, Return on the about window's button.
	session wtype -k Escape
	closed() { [ "$(count_views)" -eq "$views_before" ]; }
	if ! e2e_wait_for 3 closed; then
		session wtype -k Return
		e2e_wait_for 5 closed || e2e_fail "the $name did not close"
	fi
	alive
done

kill "$SWAY"
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not end with the compositor"
e2e_log "PASS"
