#!/bin/bash
# The converter in a real X server under openbox, from a fresh settings directory: typing
# converts live, the lower band's menu chooses the target currency, the arrows swap, the
# context menu takes the title tab away and keeps the window on top, "beenden" quits and
# saves, a second start restores it all, and a later currency is chosen by click and key. At each step the window's content is compared
# with a headless rendering of the same state. With E2E_NO_WM=1 the same runs without a
# window manager, where the window's own hints stand in for the frame it would get.
#
#   converter_e2e.sh <kambolux> <converter_render> [directory for the screenshots]

set -u
KAMBOLUX=${1:?usage: converter_e2e.sh <kambolux> <converter_render> [screenshot dir]}
RENDER=${2:?usage: converter_e2e.sh <kambolux> <converter_render> [screenshot dir]}
SHOTS=${3:-.}
source "$(dirname "$0")/lib.sh"

[ -x "$KAMBOLUX" ] || e2e_fail "no program at $KAMBOLUX"
[ -x "$RENDER" ] || e2e_fail "no renderer at $RENDER"
e2e_require compare convert od
e2e_start_display

CONFIG="$E2E_TMP/config"
SETTINGS="$CONFIG/KamboLux_prefs"
mkdir -p "$CONFIG"
TITLE="ZQ Kambo-Lux"
# Where the program puts its window at the first start, and its content size.
LEFT=100
TOP=100
SIZE="207x113"
PROBLEMS=()

start_program()
{
	XDG_CONFIG_HOME="$CONFIG" "$KAMBOLUX" >"$E2E_TMP/kambolux.out" 2>&1 &
	PID=$!
	e2e_track_pid "$PID"
	WIN=$(e2e_wait_window "$TITLE" 10) || e2e_fail "no window: $(cat "$E2E_TMP/kambolux.out")"
	e2e_sync "$WIN"
	e2e_wait_focus "$WIN"
}

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$E2E_TMP/kambolux.out")"; }

shot()
{
	e2e_screenshot "$E2E_TMP/$1.png" || e2e_fail "screenshot $1"
	mkdir -p "$SHOTS" && cp "$E2E_TMP/$1.png" "$SHOTS/converter-$1.png"
}

# The content stays where it was put, whatever decoration the window manager adds or drops.
expect_content_at_start_position()
{
	e2e_geometry "$WIN"
	[ "$E2E_X,$E2E_Y,${E2E_W}x$E2E_H" = "$LEFT,$TOP,$SIZE" ] \
		|| e2e_fail "content at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H"
}

# Compares the window's content in screenshot $1 with a headless rendering made from a copy
# of the settings, the amount $3 typed and the settings KEY=VALUE that follow; at most $2
# pixels may differ (the caret blinks only in the real window).
expect_like_rendering()
{
	local name=$1 tolerance=$2 amount=$3
	shift 3
	local copy="$E2E_TMP/render-config"
	rm -rf "$copy" && mkdir -p "$copy"
	[ -f "$SETTINGS" ] && cp "$SETTINGS" "$copy/"
	XDG_CONFIG_HOME="$copy" "$RENDER" "$E2E_TMP/$name-reference.png" "$amount" "$@" \
		|| e2e_fail "no reference rendering for $name"
	# The frame the program is still drawing (or the activation it still waits for, which
	# shows in the selection's colour) is waited for, with a bound, by shooting again.
	DIFFERING=
	e2e_wait_for 5 shot_like_rendering "$name" "$tolerance"
	local differing=$DIFFERING
	cp "$E2E_TMP/$name-reference.png" "$SHOTS/converter-$name-reference.png"
	cp "$E2E_TMP/$name-difference.png" "$SHOTS/converter-$name-difference.png" 2>/dev/null
	[ -n "$differing" ] && [ "$differing" -le "$tolerance" ] \
		|| e2e_fail "$name: $differing pixels differ from the headless rendering"
	e2e_log "$name: $differing pixels differ from the headless rendering"
}

# Shoots the screen as $1 and sets DIFFERING to the number of pixels of the window's content
# that differ from the rendering $1-reference.png; succeeds when they are at most $2.
shot_like_rendering()
{
	shot "$1"
	convert "$E2E_TMP/$1.png" -crop "$SIZE+$LEFT+$TOP" +repage "$E2E_TMP/$1-window.png"
	DIFFERING=$(compare -metric AE "$E2E_TMP/$1-window.png" "$E2E_TMP/$1-reference.png" \
		"$E2E_TMP/$1-difference.png" 2>&1 | awk '{ printf "%d", $1 }')
	[ -n "$DIFFERING" ] && [ "$DIFFERING" -le "$2" ]
}

# The pop-up menu's window, as WIDTHxHEIGHT+X+Y; empty while none is open.
menu_geometry()
{
	xwininfo -root -children | sed -n 's/.*"Menu": ("kambolux" "kambolux") *\([0-9x+-]*\).*/\1/p' \
		| head -n 1
}
menu_open() { [ -n "$(menu_geometry)" ]; }
menu_closed() { ! menu_open; }

# Sets MENU_X MENU_Y MENU_W MENU_H from the open menu.
read_menu()
{
	local geometry
	e2e_wait_for 5 menu_open || e2e_fail "no menu opened"
	# Keys and clicks go to the menu once it holds them.
	e2e_sync "$WIN"
	geometry=$(menu_geometry)
	MENU_W=${geometry%%x*}
	geometry=${geometry#*x}
	MENU_H=${geometry%%+*}
	geometry=${geometry#*+}
	MENU_X=${geometry%%+*}
	MENU_Y=${geometry#*+}
}

# Whether the window has a title tab: the frame the window manager drew (a border alone is
# as wide at the top as at the sides), or without one the decorations the window asks for
# (_MOTIF_WM_HINTS: flags, functions, decorations, ...).
has_title_tab()
{
	if [ -n "${E2E_NO_WM:-}" ]; then
		local decorations
		decorations=$(xprop -id "$WIN" _MOTIF_WM_HINTS | sed 's/.*= *//' | cut -d, -f3 | tr -d ' ')
		# All decorations (1), or the title among those named (8).
		[ "$(( ${decorations:-0} & 9 ))" != 0 ]
	else
		local left right top bottom
		IFS=, read -r left right top bottom < <(xprop -id "$WIN" _NET_FRAME_EXTENTS \
			| sed -n 's/.*= *//p' | tr -d ' ')
		[ "${top:-0}" -gt "${left:-0}" ]
	fi
}

not_has_title_tab() { ! has_title_tab; }

settings_byte()
{
	od -A n -t u1 -j "$1" -N 1 "$SETTINGS" | tr -d ' '
}


# 1. First start: defaults, a titled window where it asked to be.
start_program
alive
expect_content_at_start_position
has_title_tab || e2e_fail "no title tab: $(xprop -id "$WIN" _NET_FRAME_EXTENTS _MOTIF_WM_HINTS)"
shot 1-start
expect_like_rendering 1-start 0 ""

# 2. Typing converts at once (the "0" is selected, so it is replaced).
e2e_type "100"
shot 2-typed
expect_like_rendering 2-typed 40 "100"
alive

# 3. A click on the lower band opens the target list at the pointer. Choose "Frankreich",
# the fifth entry, with the keyboard; the mouse takes over if the keys do not reach it.
e2e_click "$WIN" 100 100
read_menu
shot 3-target-menu
[ "$MENU_X,$MENU_Y" = "$((LEFT + 100)),$((TOP + 100))" ] \
	|| e2e_log "the menu opened at $MENU_X,$MENU_Y"
# Twenty-two currencies and the separator before the later nine.
LIST_SEPARATOR=8
ITEM_HEIGHT=$(( (MENU_H - 6 - LIST_SEPARATOR) / 22 ))
e2e_key Down Down Down Down Down Return
if ! e2e_wait_for 2 menu_closed; then
	PROBLEMS+=("keys do not reach an open pop-up menu (Down, Return were ignored)")
	e2e_log "keys did not choose; clicking the entry instead"
	xdotool mousemove $((MENU_X + MENU_W / 2)) $((MENU_Y + 3 + ITEM_HEIGHT * 4 + ITEM_HEIGHT / 2)) \
		click 1
	e2e_wait_for 5 menu_closed || e2e_fail "the target menu stayed open"
fi
shot 4-target-chosen
expect_like_rendering 4-target-chosen 40 "100" idxunten=4
alive

# 4. The arrows swap: FRF to DEM, the shown 335.39 carried over as the new amount.
e2e_click "$WIN" 20 55
shot 5-swapped
expect_like_rendering 5-swapped 40 "335.39" idxoben=4 idxunten=2

# 5. The context menu: "ohne Titel" (7th entry, after one separator) drops the title tab.
# Entries are ITEM_HEIGHT high; the two separators share what is left.
context_entry()
{
	local items_before=$1 separators_before=$2
	local separator=$(( (MENU_H - 6 - 9 * ITEM_HEIGHT) / 2 ))
	xdotool mousemove $((MENU_X + 40)) \
		$((MENU_Y + 3 + items_before * ITEM_HEIGHT + separators_before * separator + ITEM_HEIGHT / 2)) \
		click 1
	e2e_wait_for 5 menu_closed || e2e_fail "the context menu stayed open"
}

e2e_click "$WIN" 100 10 3
read_menu
shot 6-context-menu
context_entry 5 1
# The window manager redraws the frame in its own time.
e2e_wait_for 5 not_has_title_tab
shot 7-without-title
! has_title_tab || e2e_fail "title tab kept: $(xprop -id "$WIN" _NET_FRAME_EXTENTS _MOTIF_WM_HINTS)"
# A border stays, so the window has an edge to move it by.
if [ -z "${E2E_NO_WM:-}" ]; then
	[ "$(xprop -id "$WIN" _NET_FRAME_EXTENTS)" != "_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0" ] \
		|| e2e_fail "no border without the title"
fi
expect_content_at_start_position
alive

# 6. "immer sichtbar" (6th entry) keeps the window above the others. Without a window
# manager nothing can: the entry is disabled, a click leaves the menu open, Escape closes it.
e2e_click "$WIN" 100 10 3
read_menu
INFRONT=1
if [ -n "${E2E_NO_WM:-}" ]; then
	INFRONT=0
	xdotool mousemove $((MENU_X + 40)) $((MENU_Y + 3 + 4 * ITEM_HEIGHT + ITEM_HEIGHT / 2 \
		+ (MENU_H - 6 - 9 * ITEM_HEIGHT) / 2)) click 1
	# The program has handled the click: a menu it closed would be gone now.
	e2e_sync "$WIN"
	menu_open || e2e_fail "the disabled \"immer sichtbar\" closed the menu"
	xdotool key Escape
	e2e_wait_for 5 menu_closed || e2e_fail "Escape left the context menu open"
else
	context_entry 4 1
	e2e_wait_for 5 sh -c "xprop -id $WIN _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" \
		|| e2e_fail "not on top: $(xprop -id "$WIN" _NET_WM_STATE)"
fi

# 7. "beenden" (the last entry) quits and saves: position, currencies, rounding, options.
e2e_click "$WIN" 100 10 3
read_menu
context_entry 8 2
e2e_wait_for 5 sh -c "! kill -0 $PID" || e2e_fail "the program did not quit"
[ -f "$SETTINGS" ] || e2e_fail "no settings file"
[ "$(stat -c %s "$SETTINGS")" = 143 ] || e2e_fail "settings of $(stat -c %s "$SETTINGS") bytes"
# The values in the seven records, at their places in the classic layout.
VALUES="$(settings_byte 66) $(settings_byte 85) $(settings_byte 103) $(settings_byte 121) $(settings_byte 138)"
[ "$VALUES" = "4 2 $INFRONT 1 0" ] || e2e_fail "saved idxoben idxunten infront tabless runden: $VALUES"
[ "$(od -A n -t x1 -j 31 -N 4 "$SETTINGS" | tr -d ' ')" = "0000c842" ] \
	|| e2e_fail "wndleft is not 100"

# 8. A second start restores it all: no title tab, on top, FRF to DEM.
start_program
alive
expect_content_at_start_position
! has_title_tab || e2e_fail "the title tab came back"
[ "$INFRONT" = 0 ] || xprop -id "$WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE \
	|| e2e_fail "no longer on top"
shot 8-restarted
expect_like_rendering 8-restarted 0 ""

# 9. A later currency: "Bulgarien", the first entry below the separator, chosen from the
# source list by a click, then (after "Zypern", the last) by the keyboard; 100 leva are
# 51.129188 euro, and with the target "Euro" 51.13.
currency_entry_y() { echo $((MENU_Y + 3 + $1 * ITEM_HEIGHT + $2 * LIST_SEPARATOR + ITEM_HEIGHT / 2)); }
choose_source_by_click()
{
	e2e_click "$WIN" 100 10
	read_menu
	xdotool mousemove $((MENU_X + 40)) "$(currency_entry_y "$1" 1)" click 1
	e2e_wait_for 5 menu_closed || e2e_fail "the source list stayed open"
	e2e_sync "$WIN"
}
choose_source_by_click 13
e2e_click "$WIN" 100 30
e2e_key ctrl+a
e2e_type "100"
shot 9-bulgarien-clicked
expect_like_rendering 9-bulgarien-clicked 40 "100" idxoben=13 idxunten=2
choose_source_by_click 21
e2e_click "$WIN" 100 10
read_menu
# From the top: "Spanien" is the 13th stop, "Bulgarien" the 14th.
e2e_key $(printf 'Down %.0s' $(seq 14)) Return
e2e_wait_for 5 menu_closed || e2e_fail "keys do not choose in the source list"
e2e_click "$WIN" 100 100
read_menu
e2e_key Down Return
e2e_wait_for 5 menu_closed || e2e_fail "keys do not choose in the target list"
shot 10-bulgarien-to-euro
expect_like_rendering 10-bulgarien-to-euro 40 "100" idxoben=13 idxunten=0
alive

e2e_click "$WIN" 100 10 3
read_menu
context_entry 8 2
e2e_wait_for 5 sh -c "! kill -0 $PID" || e2e_fail "the program did not quit the second time"
[ "$(settings_byte 66) $(settings_byte 85)" = "13 0" ] \
	|| e2e_fail "saved idxoben idxunten: $(settings_byte 66) $(settings_byte 85)"

if [ "${#PROBLEMS[@]}" -gt 0 ]; then
	for problem in "${PROBLEMS[@]}"; do
		e2e_log "FAIL: $problem"
	done
	exit 1
fi
e2e_log "converter end-to-end: all steps passed"
