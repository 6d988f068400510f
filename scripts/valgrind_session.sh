#!/usr/bin/env bash
# The real program under valgrind's memcheck, in a private X server with openbox, driven by a
# scripted xdotool session: type an amount, open the three band menus and the context menu
# and choose from them, swap, compute with the calculator pad, open and close the about
# window (button and menu), answer the rates alert, toggle both window options, and quit with
# "beenden". Passes when memcheck reports no errors and no definite leaks; what the system's
# font, drawing and D-Bus libraries keep for the whole process is suppressed
# (scripts/valgrind.supp).
#
#   scripts/valgrind_session.sh [build directory | path to kambolux]
#
# With a directory (default build-valgrind) the program is built there first
# (RelWithDebInfo). Exits 0 on a clean run, 1 on errors or leaks (the log names them), 77
# when valgrind or the X tools are missing. The memcheck log is kept beside the program as
# valgrind-session.log. KAMBO_VALGRIND_WAIT sets how many seconds a step may wait (120);
# KAMBO_VALGRIND_SHOT names a file for a screenshot when no menu opens.

set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
TARGET=${1:-$ROOT/build-valgrind}
SUPPRESSIONS="$ROOT/scripts/valgrind.supp"
# shellcheck source=tests/e2e/lib.sh
source "$ROOT/tests/e2e/lib.sh"

command -v valgrind >/dev/null 2>&1 || e2e_skip "valgrind is not installed"

if [ -d "$TARGET" ] || [ ! -e "$TARGET" ]; then
	e2e_log "building kambolux in $TARGET"
	# A directory of its own needs neither tests nor benchmarks; an existing one keeps its
	# settings.
	FRESH=()
	[ -e "$TARGET/CMakeCache.txt" ] || FRESH=(-DKAMBO_BUILD_TESTS=OFF -DKAMBO_BUILD_BENCH=OFF)
	cmake -S "$ROOT" -B "$TARGET" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${FRESH[@]}" >/dev/null \
		|| e2e_fail "cmake failed"
	cmake --build "$TARGET" --target kambolux -j"$(nproc)" >/dev/null || e2e_fail "build failed"
	PROGRAM="$TARGET/app/kambolux"
else
	PROGRAM=$TARGET
fi
[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
LOG="$(dirname "$PROGRAM")/valgrind-session.log"

e2e_start_display
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"

# Under memcheck everything is many times slower: waits are long, and every step waits for
# what it caused rather than for a fixed time.
SLOW=${KAMBO_VALGRIND_WAIT:-120}
STARTED=$SECONDS
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
	--error-exitcode=99 --suppressions="$SUPPRESSIONS" --gen-suppressions=all \
	--num-callers=40 --log-file="$LOG" "$PROGRAM" >"$E2E_TMP/kambolux.out" 2>&1 &
PID=$!
e2e_track_pid "$PID"

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(tail -n 30 "$LOG")"; }
gone() { ! e2e_window_exists "$1"; }

MAIN=$(e2e_wait_window "ZQ Kambo-Lux" "$SLOW") || e2e_fail "no main window: $(tail -n 30 "$LOG")"
e2e_log "main window after $((SECONDS - STARTED)) s"
sleep 2

# The open pop-up menu's geometry as W H X Y, nothing while none is open.
menu_geometry()
{
	xwininfo -root -children \
		| sed -n 's/.*"Menu": ("kambolux" "kambolux") *\([0-9]*\)x\([0-9]*\)+\([0-9-]*\)+\([0-9-]*\).*/\1 \2 \3 \4/p' \
		| head -n 1
}
menu_open() { [ -n "$(menu_geometry)" ]; }
# A cascaded submenu is a window of its own, named by its title; as W H X Y.
submenu_geometry()
{
	xwininfo -root -children \
		| sed -n "s/.*\"$1\": (\"kambolux\" \"kambolux\") *\([0-9]*\)x\([0-9]*\)+\([0-9-]*\)+\([0-9-]*\).*/\1 \2 \3 \4/p" \
		| head -n 1
}
submenu_open() { [ -n "$(submenu_geometry "$1")" ]; }
menu_closed() { ! menu_open; }

# Clicks at (x, y) of the main window with a button and waits for a menu; sets MENU_*.
open_menu()
{
	e2e_click "$MAIN" "$1" "$2" "${3:-1}"
	if ! e2e_wait_for "$SLOW" menu_open; then
		[ -n "${KAMBO_VALGRIND_SHOT:-}" ] && e2e_screenshot "$KAMBO_VALGRIND_SHOT"
		e2e_fail "no menu after a click at $1,$2"
	fi
	read -r _ MENU_H MENU_X MENU_Y <<<"$(menu_geometry)"
	sleep 1
}

# Clicks the entry at the given height of the open menu and waits until it has closed.
click_menu_at()
{
	xdotool mousemove "$((MENU_X + 40))" "$((MENU_Y + $1))" sleep 0.3 click 1
	e2e_wait_for "$SLOW" menu_closed || e2e_fail "the menu stayed open"
	sleep 1
}

# 22 currencies and one 8-pixel separator fill a band menu: its height gives the height of one
# entry. The first thirteen stand above the separator.
item_y() { echo $((3 + $1 * ITEM_HEIGHT + ITEM_HEIGHT / 2)); }
# The context menu: items before the entry and separators before it.
context_y()
{
	local separator=$(( (MENU_H - 6 - 9 * ITEM_HEIGHT) / 2 ))
	echo $((3 + $1 * ITEM_HEIGHT + $2 * separator + ITEM_HEIGHT / 2))
}

# 1. An amount: the "0" is selected, so typing replaces it; the comma becomes a point.
e2e_type "1234,5"
sleep 2
alive

# 2. The upper band: "Frankreich" (fifth entry), chosen with the mouse.
open_menu 100 10
ITEM_HEIGHT=$(( (MENU_H - 6 - 8) / 22 ))
click_menu_at "$(item_y 4)"
alive

# 3. The lower band: the keyboard chooses "Frankreich" (Down five times, Return); Escape
# closes the next one.
open_menu 100 100
e2e_key Down Down Down Down Down Return
e2e_wait_for "$SLOW" menu_closed || e2e_fail "the keys did not choose from the menu"
sleep 1
open_menu 100 100
e2e_key Escape
e2e_wait_for "$SLOW" menu_closed || e2e_fail "Escape did not close the menu"
alive

# 4. The middle band: "4 Stellen runden"; then the arrows swap.
open_menu 190 56
click_menu_at "$(item_y 1)"
e2e_click "$MAIN" 20 55
sleep 2
alive

# 5. The context menu: "Zielwährung" cascades; its "Irland" is chosen. Then "Währungen
# tauschen".
TARGET_LIST="Zielwährung"
open_menu 100 10 3
xdotool mousemove "$((MENU_X + 40))" "$((MENU_Y + $(item_y 1)))" sleep 0.3 click 1
e2e_wait_for "$SLOW" submenu_open "$TARGET_LIST" || e2e_fail "the target submenu did not open"
sleep 1
read -r _ _ SUB_X SUB_Y <<<"$(submenu_geometry "$TARGET_LIST")"
xdotool mousemove "$((SUB_X + 40))" "$((SUB_Y + $(item_y 6)))" sleep 0.3 click 1
e2e_wait_for "$SLOW" menu_closed || e2e_fail "the context menu stayed open"
sleep 1
open_menu 100 10 3
click_menu_at "$(context_y 2 0)"
alive

# 6. "immer sichtbar" and "ohne Titel", each twice.
for entry in "4 1" "5 1" "4 1" "5 1"; do
	open_menu 100 10 3
	# shellcheck disable=SC2086
	click_menu_at "$(context_y $entry)"
	alive
done

# 7. The rates alert from "Information…", answered with Enter.
open_menu 100 10 3
click_menu_at "$(context_y 6 2)"
e2e_wait_window "Umrechnungskurse" "$SLOW" >/dev/null || e2e_fail "no rates alert"
sleep 2
e2e_key Return
e2e_wait_for "$SLOW" gone "Umrechnungskurse" || e2e_fail "Enter did not answer the alert"
alive

# 8. The pad: C 1 2 + 3 =, keys and clicks.
e2e_click "$MAIN" 162 32
PAD=$(e2e_wait_window "Calc" "$SLOW") || e2e_fail "no calculator pad"
sleep 2
e2e_click "$PAD" 13 117  # C
sleep 1
e2e_key 1 2 plus
sleep 1
e2e_click "$PAD" 65 65   # 3
sleep 1
e2e_key equal
e2e_wait_for "$SLOW" gone "Calc" || e2e_fail "the pad stayed open after ="
# A second pad, dismissed by a click into the amount field.
e2e_click "$MAIN" 162 32
PAD=$(e2e_wait_window "Calc" "$SLOW") || e2e_fail "no second calculator pad"
sleep 2
e2e_key 7
sleep 1
e2e_click "$MAIN" 60 30
e2e_wait_for "$SLOW" gone "Calc" || e2e_fail "the pad stayed open after a click elsewhere"
alive

# 9. The about window from its button and from the menu, each closed with Enter.
close_about()
{
	e2e_wait_window "About" "$SLOW" >/dev/null || e2e_fail "no about window $1"
	sleep 2
	e2e_key Return
	e2e_wait_for "$SLOW" gone "About" || e2e_fail "Enter did not close the about window $1"
}
e2e_click "$MAIN" 201 107
close_about "from its button"
open_menu 100 10 3
click_menu_at "$(context_y 7 2)"
close_about "from the menu"
alive

# 10. "beenden"; memcheck then looks for leaks, which takes a while.
open_menu 100 10 3
xdotool mousemove "$((MENU_X + 40))" "$((MENU_Y + $(context_y 8 2)))" sleep 0.3 click 1
e2e_wait_for "$SLOW" e2e_exited "$PID" || e2e_fail "still running after beenden"
wait "$PID"
STATUS=$?
e2e_log "session of $((SECONDS - STARTED)) s; memcheck log in $LOG"

grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:" \
	"$LOG" | sed 's/^==[0-9]*== */  /' >&2
[ "$STATUS" -ne 99 ] || e2e_fail "memcheck found errors or definite leaks (exit 99)"
[ "$STATUS" -eq 0 ] || e2e_fail "exit status $STATUS"
grep -q "ERROR SUMMARY: 0 errors" "$LOG" || e2e_fail "memcheck reports errors"
e2e_log "valgrind session: no errors, no definite leaks"
