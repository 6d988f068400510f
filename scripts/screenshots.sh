#!/usr/bin/env bash
# Takes the user's guide's pictures from the real program: a private X server (Xvfb) with
# openbox in a fixed theme, fresh settings (100 DEM to FRF, not rounded, window at 100,100),
# and four moments cropped from the screen:
#
#   main-window.png    100 typed, the focus moved off the field (no caret), with the frame
#   context-menu.png   the context menu open over the window (right click)
#   calculator.png     the calculator pad open under the amount field
#   about.png          the about window
#   main-window-scale2.png  the first picture again at GDK_SCALE=2, as on a HiDPI screen
#   flags.png, flags-scale2.png  every flag of the strip the program embeds, at scale 1 and 2,
#                      six to a row in currency order (the twelve, then the later nine);
#                      flags-enlarged.png and flags-scale2-enlarged.png the same at the same
#                      size for the eye, each pixel a block
#
# The pictures come out the same pixel for pixel on every run on the same machine; the e2e
# test screenshots_e2e.sh holds the committed ones to that.
#
#   bash scripts/screenshots.sh [--program PATH] [OUTDIR]
#
# Without --program it builds build/app/kambolux first. OUTDIR defaults to docs/images.
# Exits 77 when Xvfb or another X tool is missing.

set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
PROGRAM=
OUTDIR=$ROOT/docs/images
while [ $# -gt 0 ]; do
	case $1 in
		--program) PROGRAM=${2:?--program needs a path}; shift 2 ;;
		-h | --help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
		-*) echo "screenshots: unknown option $1" >&2; exit 2 ;;
		*) OUTDIR=$1; shift ;;
	esac
done

if [ -z "$PROGRAM" ]; then
	set -e
	bash "$ROOT/scripts/setup.sh"
	cmake -S "$ROOT" -B "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build "$ROOT/build" -j"$(nproc)" --target kambolux
	set +e
	PROGRAM=$ROOT/build/app/kambolux
fi

# shellcheck source=../tests/e2e/lib.sh
source "$ROOT/tests/e2e/lib.sh"
[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_require convert compare
mkdir -p "$OUTDIR" || e2e_fail "cannot create $OUTDIR"
OUTDIR=$(cd "$OUTDIR" && pwd)

# Nothing of the user's desktop may leak into the pictures: private home, settings, themes.
export HOME="$E2E_TMP/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$XDG_CONFIG_HOME/openbox" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"

# openbox reads this before the system's rc.xml: one theme and one title font, whatever the
# distribution's default is.
cat >"$XDG_CONFIG_HOME/openbox/rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme>
    <name>Clearlooks</name>
    <titleLayout>NLIMC</titleLayout>
    <keepBorder>yes</keepBorder>
    <animateIconify>no</animateIconify>
    <font place="ActiveWindow"><name>DejaVu Sans</name><size>8</size><weight>bold</weight><slant>normal</slant></font>
    <font place="InactiveWindow"><name>DejaVu Sans</name><size>8</size><weight>bold</weight><slant>normal</slant></font>
  </theme>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
</openbox_config>
XML

# One int32 field of a flattened message (little-endian, single item, mini data): name $1,
# value $2 from 0 to 255.
int32_record()
{
	printf '\x0f\x47\x4e\x4f\x4c\x04%b%s%b\x00\x00\x00' "\\x$(printf %02x "${#1}")" "$1" \
		"\\x$(printf %02x "$2")"
}

# The settings as the program would have saved them: window at (100, 100), source DEM (2),
# target FRF (4), normal feel, titled, not rounded.
write_settings()
{
	{
		printf '\x31\x42\x4f\x46\x71\x72\x65\xf5\x8f\x00\x00\x00\x66\x65\x72\x70\x01'
		printf '\x0f\x54\x4f\x4c\x46\x04\x07wndleft\x00\x00\xc8\x42'
		printf '\x0f\x54\x4f\x4c\x46\x04\x06wndtop\x00\x00\xc8\x42'
		int32_record idxoben 2
		int32_record idxunten 4
		int32_record infront 0
		int32_record tabless 0
		int32_record runden 0
		printf '\x00'
	} >"$XDG_CONFIG_HOME/KamboLux_prefs"
	[ "$(stat -c %s "$XDG_CONFIG_HOME/KamboLux_prefs")" = 143 ] || e2e_fail "settings file not 143 bytes"
}
write_settings

# --- The flags, straight from the strips (no display needed) ----------------------------------

# flag_gallery OUT STRIP SCALE: the strip's flags (24 x 12 each at scale 1), six to a row on the
# panel grey, and OUT's name with -enlarged enlarged to 4 times the scale-1 size.
flag_gallery()
{
	local out=$1 strip=$2 scale=$3 tiles="$E2E_TMP/flag-%02d.png"
	rm -f "$E2E_TMP"/flag-*.png
	convert "$strip" -crop "$((24 * scale))x$((12 * scale))" +repage "$tiles" \
		&& montage "$E2E_TMP"/flag-*.png -tile 6x -geometry "+$((2 * scale))+$((2 * scale))" \
			-background '#d8d8d8' -depth 8 -strip -define png:exclude-chunks=date,time "$out" \
		&& convert "$out" -sample "$((400 / scale))%" -depth 8 -strip \
			-define png:exclude-chunks=date,time "${out%.png}-enlarged.png" \
		|| e2e_fail "could not write $out"
	e2e_log "wrote $out"
}
flag_gallery "$OUTDIR/flags.png" "$ROOT/resources/euroflag.png" 1
flag_gallery "$OUTDIR/flags-scale2.png" "$ROOT/resources/euroflag@2x.png" 2

e2e_start_display
OUT="$E2E_TMP/kambolux.out"
"$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"
alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"; }

# --- Geometry and cropping ---------------------------------------------------------------------

# Screen rectangle of a window with its window-manager frame, as "X Y W H".
frame_of()
{
	local extents left right top bottom
	e2e_geometry "$1" || return 1
	extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
	IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
	echo "$((E2E_X - ${left:-0})) $((E2E_Y - ${top:-0})) $((E2E_W + ${left:-0} + ${right:-0})) $((E2E_H + ${top:-0} + ${bottom:-0}))"
}

# The open pop-up menu's window, as "X Y W H"; fails while none is open.
menu_rect()
{
	local geometry w h x y
	geometry=$(xwininfo -root -children | sed -n 's/.*"Menu": ("kambolux" "kambolux") *\([0-9]*x[0-9]*+[0-9-]*+[0-9-]*\).*/\1/p' | head -n 1)
	[ -n "$geometry" ] || return 1
	IFS='x+' read -r w h x y <<<"$geometry"
	echo "$x $y $w $h"
}
menu_open() { menu_rect >/dev/null; }
menu_closed() { ! menu_open; }

# Writes PNG $1 from the whole screen: the given rectangles ("X Y W H" each) copied onto a
# transparent canvas that just holds them all. The PNG carries no dates, so that equal
# pictures are equal files too.
capture()
{
	local out=$1 screen="$E2E_TMP/screen.png"
	shift
	e2e_screenshot "$screen" || e2e_fail "no screenshot for $out"
	local x0=100000 y0=100000 x1=0 y1=0 rect x y w h
	for rect in "$@"; do
		read -r x y w h <<<"$rect"
		[ "$x" -lt "$x0" ] && x0=$x
		[ "$y" -lt "$y0" ] && y0=$y
		[ $((x + w)) -gt "$x1" ] && x1=$((x + w))
		[ $((y + h)) -gt "$y1" ] && y1=$((y + h))
	done
	local args=(-size "$((x1 - x0))x$((y1 - y0))" xc:none)
	for rect in "$@"; do
		read -r x y w h <<<"$rect"
		args+=("(" "$screen" -crop "${w}x$h+$x+$y" +repage ")" -geometry "+$((x - x0))+$((y - y0))" -composite)
	done
	convert "${args[@]}" -depth 8 -strip -define png:exclude-chunks=date,time "$out" \
		|| e2e_fail "could not write $out"
}

# Captures into $1 until the picture holds still over about a second and a half (four equal
# captures in a row), so that nothing half-drawn and no blinking caret gets in.
steady_capture()
{
	local out=$1 previous="$E2E_TMP/previous.png" same=0 tries=0 differing
	shift
	sleep 0.3
	capture "$previous" "$@"
	while [ "$same" -lt 3 ]; do
		tries=$((tries + 1))
		[ "$tries" -gt 30 ] && e2e_fail "$(basename "$out") never held still (a caret blinking?)"
		sleep 0.5
		capture "$out" "$@"
		differing=$(compare -metric AE "$out" "$previous" null: 2>&1 | awk '{ printf "%d", $1 }')
		if [ "$differing" = 0 ]; then
			same=$((same + 1))
		else
			same=0
			cp "$out" "$previous"
		fi
	done
	e2e_log "wrote $out"
}

# --- The four pictures -------------------------------------------------------------------------

MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window: $(cat "$OUT")"
e2e_geometry "$MAIN"
[ "$E2E_X,$E2E_Y,$E2E_W,$E2E_H" = "100,100,207,113" ] \
	|| e2e_fail "main window content at $E2E_X,$E2E_Y size ${E2E_W}x$E2E_H, not 100,100 207x113"
sleep 0.5
alive

# 1. 100 typed over the selected 0. A click on the background takes the focus (and its caret)
# off the field; it opens the source currency list, which Escape closes unchosen.
e2e_type "100"
sleep 0.3
e2e_click "$MAIN" 110 5
e2e_wait_for 5 menu_open || e2e_fail "a click on the background opened no menu"
e2e_key Escape
e2e_wait_for 5 menu_closed || e2e_fail "Escape left the menu open"
alive
steady_capture "$OUTDIR/main-window.png" "$(frame_of "$MAIN")"

# 2. The context menu, with the window it belongs to.
e2e_click "$MAIN" 110 5 3
e2e_wait_for 5 menu_open || e2e_fail "a right click opened no context menu"
steady_capture "$OUTDIR/context-menu.png" "$(frame_of "$MAIN")" "$(menu_rect)"
e2e_key Escape
e2e_wait_for 5 menu_closed || e2e_fail "Escape left the context menu open"
alive

# 3. The calculator pad under the amount field.
e2e_click "$MAIN" 162 32
PAD=$(e2e_wait_window "Calc" 5) || e2e_fail "the calculator button opened no pad"
steady_capture "$OUTDIR/calculator.png" "$(frame_of "$MAIN")" "$(frame_of "$PAD")"
alive

# 4. The about window (the question mark in the corner); the click also closes the pad.
e2e_click "$MAIN" 201 107
ABOUT=$(e2e_wait_window "About" 5) || e2e_fail "the question mark opened no about window"
e2e_wait_for 5 sh -c '! xdotool search --onlyvisible --name "^Calc\$"' \
	|| e2e_fail "the pad stayed open"
steady_capture "$OUTDIR/about.png" "$(frame_of "$ABOUT")"
alive

# Close the about window and quit as a user would; the settings are a throwaway copy.
e2e_key Return
e2e_wait_for 5 sh -c '! xdotool search --onlyvisible --name "^About\$"' \
	|| e2e_fail "Enter did not close the about window"
xdotool windowactivate --sync "$MAIN" >/dev/null 2>&1
e2e_key ctrl+q
e2e_wait_for 5 sh -c "! kill -0 $PID" || e2e_log "the program did not quit on Ctrl+Q"

# 5. The main window at scale 2: the same moment as the first picture, every pixel doubled
# in the layout's terms (the window manager's frame stays its own size).
GDK_SCALE=2 "$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"
MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window at scale 2: $(cat "$OUT")"
e2e_geometry "$MAIN"
[ "$E2E_W,$E2E_H" = "414,226" ] \
	|| e2e_fail "main window content at scale 2 is ${E2E_W}x$E2E_H, not 414x226"
sleep 0.5
e2e_key ctrl+a
e2e_type "100"
sleep 0.3
e2e_click "$MAIN" 220 10
e2e_wait_for 5 menu_open || e2e_fail "a click on the background opened no menu at scale 2"
e2e_key Escape
e2e_wait_for 5 menu_closed || e2e_fail "Escape left the menu open at scale 2"
alive
steady_capture "$OUTDIR/main-window-scale2.png" "$(frame_of "$MAIN")"
e2e_key ctrl+q
e2e_wait_for 5 sh -c "! kill -0 $PID" || e2e_log "the program did not quit on Ctrl+Q"
e2e_log "pictures in $OUTDIR"
