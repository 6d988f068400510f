#!/bin/bash
# The real program at scale 2 in Xvfb under openbox, with the scale taken from each of its
# sources in turn: GDK_SCALE, Xft.dpi in the X resources (loaded by xrdb), and our own
# KAMBOLUX_SCALE over both. Each time the window's content is 414 x 226 at twice its layout
# position, its pixels equal the headless rendering at scale 2, and a click at twice a band's
# coordinates opens that band's list.
#
#   scale_e2e.sh <kambolux> <converter_render> [directory for the screenshots]

set -u
KAMBOLUX=${1:?usage: scale_e2e.sh <kambolux> <converter_render> [screenshot dir]}
RENDER=${2:?usage: scale_e2e.sh <kambolux> <converter_render> [screenshot dir]}
SHOTS=${3:-.}
source "$(dirname "$0")/lib.sh"

[ -x "$KAMBOLUX" ] || e2e_fail "no program at $KAMBOLUX"
[ -x "$RENDER" ] || e2e_fail "no renderer at $RENDER"
e2e_require compare convert xrdb
e2e_start_display
mkdir -p "$SHOTS"

TITLE="ZQ Kambo-Lux"
# The first start's place and size in layout units, doubled on the screen.
LEFT=200
TOP=200
SIZE="414x226"

menu_geometry()
{
	xwininfo -root -children | sed -n 's/.*"Menu": ("kambolux" "kambolux") *\([0-9x+-]*\).*/\1/p' \
		| head -n 1
}
menu_open() { [ -n "$(menu_geometry)" ]; }
menu_closed() { ! menu_open; }

# Shoots the screen and sets DIFFERING to the number of the window's pixels that differ from
# the rendering $1-reference.png; succeeds when none does.
like_rendering()
{
	e2e_screenshot "$E2E_TMP/$1.png" || return 1
	convert "$E2E_TMP/$1.png" -crop "$SIZE+$LEFT+$TOP" +repage "$E2E_TMP/$1-window.png"
	DIFFERING=$(compare -metric AE "$E2E_TMP/$1-window.png" "$E2E_TMP/$1-reference.png" \
		"$E2E_TMP/$1-difference.png" 2>&1 | awk '{ printf "%d", $1 }')
	[ "$DIFFERING" = 0 ]
}

# run_scaled <name> <environment...>: one start of the program with that environment.
run_scaled()
{
	local name=$1
	shift
	local config="$E2E_TMP/config-$name" out="$E2E_TMP/$name.out"
	rm -rf "$config" && mkdir -p "$config"
	env -u GDK_SCALE -u KAMBOLUX_SCALE XDG_CONFIG_HOME="$config" "$@" "$KAMBOLUX" >"$out" 2>&1 &
	local pid=$!
	e2e_track_pid "$pid"
	local win
	win=$(e2e_wait_window "$TITLE" 10) || e2e_fail "$name: no window: $(cat "$out")"
	e2e_sync "$win"

	e2e_geometry "$win"
	[ "$E2E_X,$E2E_Y,${E2E_W}x$E2E_H" = "$LEFT,$TOP,$SIZE" ] \
		|| e2e_fail "$name: content at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H, not $LEFT,$TOP,$SIZE"

	# The pixels, against the headless rendering at the same scale; the window's activation,
	# which shows in the selection's colour, may come after its first frame.
	XDG_CONFIG_HOME="$E2E_TMP/render-$name" KAMBOLUX_SCALE=2 "$RENDER" \
		"$E2E_TMP/$name-reference.png" "" || e2e_fail "$name: no reference rendering"
	DIFFERING=
	e2e_wait_for 5 like_rendering "$name"
	local differing=$DIFFERING
	cp "$E2E_TMP/$name-window.png" "$SHOTS/scale-$name.png"
	cp "$E2E_TMP/$name-difference.png" "$SHOTS/scale-$name-difference.png" 2>/dev/null
	[ "$differing" = 0 ] || e2e_fail "$name: $differing pixels differ from the rendering at scale 2"

	# The lower band at (100, 100) in layout units: its list opens under the pointer, and
	# the menu is drawn at the scale too.
	e2e_click "$win" 200 200
	e2e_wait_menu "$win" || e2e_fail "$name: a click at twice the band's place opened no list"
	local menu
	menu=$(menu_geometry)
	[ "${menu#*+}" = "$((LEFT + 200))+$((TOP + 200))" ] \
		|| e2e_log "$name: the list opened at ${menu#*+}"
	local width=${menu%%x*}
	[ $((width % 2)) = 0 ] || e2e_fail "$name: a list $menu wide is no whole number of layout units"
	e2e_screenshot "$SHOTS/scale-$name-menu.png"
	e2e_key Escape
	e2e_wait_for 5 menu_closed || e2e_fail "$name: Escape left the list open"

	e2e_key ctrl+q
	e2e_wait_for 5 e2e_exited "$pid" || e2e_fail "$name: Ctrl+Q did not quit"
	e2e_wait_for 5 sh -c "! xdotool search --onlyvisible --name '^$TITLE\$' >/dev/null 2>&1" \
		|| e2e_fail "$name: the window stayed after the program quit"
	e2e_log "$name: window $SIZE at $LEFT,$TOP, like the rendering, its list opens"
}

run_scaled gdk GDK_SCALE=2

printf 'Xft.dpi:\t192\n' | xrdb -load - || e2e_fail "xrdb could not load the resources"
run_scaled xft-dpi

# Our variable over both of the desktop's (which would make it 3).
printf 'Xft.dpi:\t288\n' | xrdb -load -
run_scaled own GDK_SCALE=3 KAMBOLUX_SCALE=2
xrdb -remove

e2e_log "scale: all sources passed"
