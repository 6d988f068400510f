#!/usr/bin/env bash
# Title bars under a compositor without xdg-decoration (weston, headless, pixman, as an
# unprivileged user): libdecor draws the window's title bar with the program's title around
# the content at its own size; with "ohne Titel" in the settings there is none. Headless
# weston has no seat, so the setting is changed in the file between two starts; the live
# change is the sway test's.
#
#   weston_e2e.sh <kambolux> [directory for the screenshots]
set -u
source "$(dirname "$0")/lib.sh"

KAMBOLUX=${1:?usage: weston_e2e.sh <kambolux> [screenshot dir]}
SHOTS=${2:-$E2E_TMP/screenshots}
mkdir -p "$SHOTS"

e2e_require weston weston-screenshooter setpriv convert python3
ldconfig -p | grep -q 'libdecor-0\.so\.0 ' || e2e_skip "libdecor is not installed"

e2e_user_dirs "$KAMBOLUX"
SOCKET=wayland-kambo
AS_USER=(env -i PATH="$PATH" HOME="$HOMEDIR" XDG_RUNTIME_DIR="$RUNTIME" XDG_CONFIG_HOME="$CONFIG"
	LSAN_OPTIONS="${LSAN_OPTIONS:-}")
# --debug lets weston-screenshooter take the output.
"${AS_USER[@]}" "${AS[@]}" weston --backend=headless-backend.so --use-pixman --width=800 \
	--height=600 --socket="$SOCKET" --no-config --idle-time=0 --debug \
	>"$E2E_TMP/weston.log" 2>&1 &
WESTON=$!
e2e_track_pid "$WESTON"
e2e_wait_for 10 test -S "$RUNTIME/$SOCKET" \
	|| e2e_fail "weston did not start: $(tail -n 5 "$E2E_TMP/weston.log")"
SESSION=("${AS_USER[@]}" WAYLAND_DISPLAY="$SOCKET")

# Pixels of libdecor's title bar (its dark grey, the window never being active without a
# seat) below weston's panel in the screenshot $1.
title_bar_pixels()
{
	convert "$1" -crop 800x560+0+40 +repage -fill black +opaque "srgb(48,48,48)" \
		-fill white -opaque "srgb(48,48,48)" -format "%[fx:round(mean*w*h)]" info:
}
# A screenshot into $1, taken by nobody in its home.
shot()
{
	rm -f "$HOMEDIR"/wayland-screenshot-*.png
	"${SESSION[@]}" "${AS[@]}" sh -c "cd '$HOMEDIR' && weston-screenshooter" >/dev/null 2>&1 \
		|| return 1
	mv "$HOMEDIR"/wayland-screenshot-*.png "$1" 2>/dev/null
}
# Whether the screen shows a title bar (an argument: none).
shows_title_bar()
{
	shot "$E2E_TMP/screen.png" || return 1
	local count
	count=$(title_bar_pixels "$E2E_TMP/screen.png")
	if [ -n "${1:-}" ]; then [ "$count" -lt 100 ]; else [ "$count" -gt 2000 ]; fi
}
# Starts the program with the protocol log on into $1.out; waits for its window's first frame.
start()
{
	LOG="$E2E_TMP/$1.out"
	"${SESSION[@]}" WAYLAND_DEBUG=1 "${AS[@]}" "$KAMBOLUX" >"$LOG" 2>&1 &
	PID=$!
	e2e_track_pid "$PID"
	drawn() { grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$LOG"; }
	e2e_wait_for 10 drawn || e2e_fail "no frame: $(grep -v '^\[' "$LOG" | tail -n 5)"
}
stop()
{
	kill "$PID"
	e2e_wait_for 10 e2e_exited "$PID" || e2e_fail "the program did not quit"
}

start titled
e2e_wait_for 10 shows_title_bar || e2e_fail "no title bar from libdecor"
cp "$E2E_TMP/screen.png" "$SHOTS/weston-titled.png"
grep -q 'libdecor' "/proc/$PID/maps" || e2e_fail "libdecor is not what drew the title bar"
grep -q 'set_title("ZQ Kambo' "$E2E_TMP/titled.out" || e2e_fail "libdecor was not given the title"
grep -q 'set_app_id("kambolux")' "$E2E_TMP/titled.out" || e2e_fail "no app_id"
# The content keeps its size: libdecor frames around it.
grep -q 'wl_shm_pool@[0-9]*\.create_buffer(new id wl_buffer@[0-9]*, 0, 207, 113,' \
	"$E2E_TMP/titled.out" || e2e_fail "the content is not 207 x 113"
e2e_log "libdecor's title bar, $(title_bar_pixels "$E2E_TMP/screen.png") pixels"
stop

# "ohne Titel" saved: the next start has no title bar.
python3 - "$CONFIG/KamboLux_prefs" <<'PY' || e2e_fail "no settings saved to change"
import sys
path = sys.argv[1]
data = open(path, "rb").read()
changed = data.replace(b"tabless\0\0\0\0", b"tabless\1\0\0\0")
if changed == data:
    sys.exit(1)
open(path, "wb").write(changed)
PY
start tabless
e2e_wait_for 10 shows_title_bar none || e2e_fail "ohne Titel kept libdecor's title bar"
cp "$E2E_TMP/screen.png" "$SHOTS/weston-tabless.png"
e2e_log "ohne Titel: no title bar"
stop
e2e_log "PASS"
