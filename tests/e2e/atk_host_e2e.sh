#!/usr/bin/env bash
# The screen-reader module on a real accessibility bus without the program: the stand-in
# atk_host serves a fake converter tree through the module, and a pyatspi check reads it,
# presses its buttons, types through EditableText and follows the events.
#
#   atk_host_e2e.sh ATK_HOST MODULE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
# shellcheck source=a11y_lib.sh
. "$here/a11y_lib.sh"
a11y_private_session "$@"

host=$1
module=$2
a11y_start_bus

"$host" "$module" >"$E2E_TMP/host.out" 2>"$E2E_TMP/host.err" &
host_pid=$!
e2e_track_pid "$host_pid"
e2e_wait_for 10 grep -q ready "$E2E_TMP/host.out" \
	|| e2e_fail "atk_host did not start: $(cat "$E2E_TMP/host.err")"

a11y_python "$here/atk_host_check.py" || e2e_fail "the AT-SPI check failed"

# Stopping leaves the bus cleanly (the host checks the module took its watcher and listener).
kill -TERM "$host_pid"
e2e_wait_for 10 e2e_exited "$host_pid" || e2e_fail "atk_host did not stop"
wait "$host_pid"
status=$?
[ "$status" -eq 0 ] || e2e_fail "atk_host ended with $status: $(cat "$E2E_TMP/host.err")"
grep -q "links opened: 0 1" "$E2E_TMP/host.out" \
	|| e2e_fail "the links' actions did not reach the text: $(cat "$E2E_TMP/host.out")"
e2e_log "atk_host: module on the bus, checks passed"
