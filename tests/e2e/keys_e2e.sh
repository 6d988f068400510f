#!/bin/bash
# The converter of the real program in Xvfb under openbox, used from the keyboard alone:
# Ctrl+Tab and Tab walk to the calculator button, which shows its focus outline, and Space
# opens the pad, which computes from typed keys and closes at "=". Shift+F10 opens the
# context menu, where Up, Up and Enter choose "über…". The primary selection goes both ways
# with another client (xclip): the middle button pastes it, and what is selected in a field
# is offered.
#
#   keys_e2e.sh <kambolux> [directory for the screenshots]

set -u
PROGRAM=${1:?usage: keys_e2e.sh <kambolux> [screenshot dir]}
SHOTS=${2:-.}
source "$(dirname "$0")/lib.sh"

[ -x "$PROGRAM" ] || e2e_fail "no program at $PROGRAM"
e2e_require xclip
e2e_start_display

export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"

OUT="$E2E_TMP/kambolux.out"
"$PROGRAM" >"$OUT" 2>&1 &
PID=$!
e2e_track_pid "$PID"

alive() { kill -0 "$PID" 2>/dev/null || e2e_fail "the program died: $(cat "$OUT")"; }

shot()
{
	e2e_screenshot "$E2E_TMP/$1.png" || e2e_fail "screenshot $1"
	mkdir -p "$SHOTS" && cp "$E2E_TMP/$1.png" "$SHOTS/keys-$1.png"
}

gone() { ! e2e_window_exists "$1"; }

MAIN=$(e2e_wait_window "ZQ Kambo-Lux" 10) || e2e_fail "no main window: $(cat "$OUT")"
e2e_geometry "$MAIN"
MX=$E2E_X
MY=$E2E_Y
e2e_wait_focus "$MAIN"
e2e_sync "$MAIN"
shot 1-start

# The calculator button's top-left pixel, (154, 21) in the window: the keyboard-navigation
# colour only while the button has the focus from the keyboard.
MARK="0,0,229"
mark_shown() { [ "$(e2e_pixel $((MX + 154)) $((MY + 21)))" = "$MARK" ]; }
mark_shown && e2e_fail "focus mark before any key"

# From the amount field: Ctrl+Tab to the target field, Ctrl+Tab to the euro line (both use
# Tab themselves), Tab to the calculator button.
e2e_key ctrl+Tab ctrl+Tab Tab
e2e_wait_for 5 mark_shown \
	|| e2e_fail "no focus mark on the calculator button: $(e2e_pixel $((MX + 154)) $((MY + 21)))"
alive
shot 2-calculator-focused

e2e_key space
PAD=$(e2e_wait_window "Calc" 5) || e2e_fail "Space did not open the pad"
e2e_wait_focus "$PAD"
e2e_sync "$PAD"
shot 3-pad
e2e_key c 4 plus 3 equal
e2e_wait_for 5 gone "Calc" || e2e_fail "the pad stayed open after ="
alive
e2e_wait_focus "$MAIN"
e2e_sync "$MAIN"
shot 4-result

# Shift+F10 opens the context menu; from nothing highlighted Up goes to the last entry
# ("beenden"), Up again to "über…", and Enter chooses it.
e2e_key shift+F10
e2e_wait_menu "$MAIN" || e2e_fail "Shift+F10 opened no menu"
shot 5-context-menu
e2e_key Up Up Return
ABOUT=$(e2e_wait_window "About" 5) || e2e_fail "Shift+F10, Up, Up, Enter did not open the about window"
e2e_wait_focus "$ABOUT"
e2e_sync "$ABOUT"
shot 6-about
e2e_key Return
e2e_wait_for 5 gone "About" || e2e_fail "Enter did not close the about window"
alive

# What is selected in the amount field is offered as the primary selection.
primary() { xclip -selection primary -o 2>/dev/null; }
e2e_click "$MAIN" 60 30
e2e_key ctrl+a
e2e_type "123"
e2e_key ctrl+a
e2e_wait_for 5 sh -c '[ "$(xclip -selection primary -o 2>/dev/null)" = 123 ]' \
	|| e2e_fail "the field's selection was not offered: \"$(primary)\""

# Another client's selection, pasted with the middle button where it is clicked.
printf '9' | xclip -selection primary -i >/dev/null 2>&1
e2e_wait_for 5 sh -c '[ "$(xclip -selection primary -o 2>/dev/null)" = 9 ]' \
	|| e2e_fail "xclip did not take the primary selection"
# The paste is done when the field shows more than it did (a caret blinking is a few pixels).
field() { import -window root -crop "100x16+$((MX + 48))+$((MY + 23))" "$E2E_TMP/field-$1.png"; }
field_changed()
{
	field now
	[ "$(compare -metric AE "$E2E_TMP/field-before.png" "$E2E_TMP/field-now.png" null: 2>&1 \
		| awk '{ printf "%d", $1 }')" -gt 30 ]
}
field before
e2e_click "$MAIN" 60 30 2
e2e_wait_for 5 field_changed || e2e_fail "the middle button changed nothing in the field"
shot 7-middle-pasted
e2e_key ctrl+a
e2e_wait_for 5 sh -c '[ "$(xclip -selection primary -o 2>/dev/null | tr -d 9)" = 123 ] \
	&& xclip -selection primary -o 2>/dev/null | grep -q 9' \
	|| e2e_fail "the middle button did not paste xclip's selection: \"$(primary)\""
alive

e2e_key ctrl+q
e2e_wait_for 5 e2e_exited "$PID" || e2e_fail "Ctrl+Q did not quit"
e2e_log "keys: all steps passed"
