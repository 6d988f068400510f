#!/usr/bin/env bash
# The program as a native Wayland client under sway (headless, pixman, no input devices, no
# Xwayland), run with sway as an unprivileged user when the test runs as root (sway refuses
# root): the window is an xdg_shell view with app_id "kambolux"; typed keys convert; Shift+F10
# opens the context menu and the keyboard chooses a currency in its submenu; killing sway
# ends the program, which saves its settings first and says it lost the compositor.
#
#   wayland_e2e.sh <kambolux> <converter_render> [directory for the screenshots]
set -u
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/sway_lib.sh"

KAMBOLUX=${1:?usage: wayland_e2e.sh <kambolux> <converter_render> [screenshot dir]}
RENDER=${2:?usage: wayland_e2e.sh <kambolux> <converter_render> [screenshot dir]}
SHOTS=${3:-$E2E_TMP/screenshots}
mkdir -p "$SHOTS"

e2e_require sway swaymsg wtype grim setpriv compare convert python3

sway_start "$KAMBOLUX"

"${SESSION[@]}" "$KAMBOLUX" >"$E2E_TMP/kambolux.out" 2>&1 &
PID=$!
e2e_track_pid "$PID"

has_view() { [ -n "$(view)" ]; }
e2e_wait_for 10 has_view || e2e_fail "no kambolux view: $(cat "$E2E_TMP/kambolux.out")"
read -r SHELL_KIND X Y W H <<<"$(view)"
[ "$SHELL_KIND" = xdg_shell ] || e2e_fail "the view is $SHELL_KIND, not xdg_shell"
[ "${W}x$H" = 207x113 ] || e2e_fail "the content is ${W}x$H, not 207x113"
e2e_log "xdg_shell view, app_id kambolux, ${W}x$H at $X,$Y"

shot() { session grim -t png - >"$E2E_TMP/$1.png" && cp "$E2E_TMP/$1.png" "$SHOTS/$1.png"; }
# Pixels that differ between two whole-screen shots.
differing() { compare -metric AE "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" null: 2>&1 | awk '{ printf "%d", $1 }'; }
# Whether the screen differs from shot $1 in more than a blinking caret.
screen_changed()
{
	shot now
	[ "$(differing "$1" now)" -gt 500 ]
}
# Whether the window's content is like a headless rendering (a caret may differ) of the
# settings in directory $2 with the amount $3; $1 names the files.
like_rendering()
{
	local name=$1 settings=$2 amount=$3 copy="$E2E_TMP/render-$1"
	rm -rf "$copy" && mkdir -p "$copy"
	[ -f "$settings/KamboLux_prefs" ] && cp "$settings/KamboLux_prefs" "$copy/"
	[ -f "$E2E_TMP/$name-reference.png" ] \
		|| XDG_CONFIG_HOME="$copy" "$RENDER" "$E2E_TMP/$name-reference.png" "$amount" >/dev/null
	convert "$E2E_TMP/$name.png" -crop "${W}x$H+$X+$Y" +repage "$E2E_TMP/$name-window.png"
	local count
	count=$(compare -metric AE "$E2E_TMP/$name-window.png" "$E2E_TMP/$name-reference.png" null: \
		2>&1 | awk '{ printf "%d", $1 }')
	e2e_log "$name: $count pixels differ from the headless rendering"
	[ "$count" -le 40 ]
}
# Polls until the screen is like the rendering.
shows_rendering() { shot "$1" && like_rendering "$@"; }

mkdir -p "$E2E_TMP/defaults"
e2e_wait_for 10 shows_rendering 1-start "$E2E_TMP/defaults" "" || e2e_fail "the first frame is not the rendering"

session wtype 12,5
e2e_wait_for 10 shows_rendering 2-typed "$E2E_TMP/defaults" "12,5" || e2e_fail "typed keys do not convert"

shot before-menu
session wtype -M shift -k F10 -m shift
e2e_wait_for 5 screen_changed before-menu || e2e_fail "Shift+F10 opened no menu"
shot menu && cp "$E2E_TMP/menu.png" "$SHOTS/3-menu.png"
# The first entry is the source currency's submenu; Euro, Belgien, Deutschland, Finnland,
# Frankreich.
session wtype -k Down -k Right
e2e_wait_for 5 screen_changed menu || e2e_fail "the submenu did not open"
session wtype -k Down -k Down -k Down -k Down -k Return
e2e_wait_for 5 screen_changed before-menu || true
shot 4-chosen
# The choice made the window differ from the default currencies...
like_rendering 4-chosen "$E2E_TMP/defaults" "12,5" && e2e_fail "the menu chose no currency"

# A menu with its submenu open closes with Escape, the submenu's pop-up going before its
# parent's (the other order is a protocol error that ends the connection).
session wtype -M shift -k F10 -m shift
e2e_wait_for 5 screen_changed 4-chosen || e2e_fail "Shift+F10 opened no menu the second time"
shot menu-again
session wtype -k Down -k Right
e2e_wait_for 5 screen_changed menu-again || e2e_fail "the submenu did not open the second time"
session wtype -k Escape -k Escape -k Escape
back() { shot now && [ "$(differing 4-chosen now)" -le 40 ]; }
e2e_wait_for 5 back || e2e_fail "Escape did not close the menus"
kill -0 "$PID" 2>/dev/null || e2e_fail "the program ended when the menus closed: $(cat "$E2E_TMP/kambolux.out")"

# ...and quitting when the compositor goes saves it: the last screen is what the saved settings
# render.
kill "$SWAY"
e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not end with the compositor"
wait "$PID"
status=$?
[ "$status" = 1 ] || e2e_fail "exit status $status after the compositor went, not 1"
grep -q "connection to the Wayland compositor was lost" "$E2E_TMP/kambolux.out" \
	|| e2e_fail "no message about the lost compositor: $(cat "$E2E_TMP/kambolux.out")"
[ -f "$CONFIG/KamboLux_prefs" ] || e2e_fail "no settings saved"
cp "$E2E_TMP/4-chosen.png" "$E2E_TMP/5-saved.png"
like_rendering 5-saved "$CONFIG" "12,5" || e2e_fail "the saved settings are not what the window showed"
e2e_log "PASS"
