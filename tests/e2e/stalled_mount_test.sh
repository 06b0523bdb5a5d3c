#!/usr/bin/env bash
# The real program on a file system that stops answering (the FUSE mount of
# tests/search/stall_fs.py, whose file a-stalls.txt is never read to the end): "Stop!" gives
# "Done." while the read is stuck, and closing the window while a read is stuck takes the
# window from the screen and ends the program's threads at once. The kernel keeps a thread
# inside a FUSE request that the server has taken until it is answered, so the process itself
# is reaped once the read is released. Skipped (77) without /dev/fuse, fusermount3 or
# Debian's python3-fusepy.
#
# Usage: stalled_mount_test.sh <scanvale binary> <x11_close_window binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
source "$(dirname "$0")/window_input.sh"
program=$1
closer=$2

skip() { echo "skip: $*"; exit 77; }
[[ -e /dev/fuse ]] || skip "there is no /dev/fuse"
command -v fusermount3 >/dev/null || skip "fusermount3 is missing (Debian package fuse3)"
/usr/bin/python3 -c 'import fusepy' 2>/dev/null ||
    skip "/usr/bin/python3 cannot import fusepy (Debian package python3-fusepy)"

mount="$E2E_TMP/mount"
control="$E2E_TMP/control"
mkdir -p "$mount" "$control"
/usr/bin/python3 "$(dirname "$0")/../search/stall_fs.py" "$mount" "$control" \
    >"$E2E_TMP/fuse.log" 2>&1 &
server=$!
unmount() {
    touch "$control/release"
    fusermount3 -u -z "$mount" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
}
trap 'unmount; a11y_cleanup' EXIT
e2e_wait_until 10000 test -e "$mount/b.txt" || e2e_fail "no FUSE mount: $(cat "$E2E_TMP/fuse.log")"

_button_reads() { [[ "$(a11y_name "$search_button")" == "$1" ]]; }
_main_thread_ended() { [[ ! -e /proc/$E2E_PROGRAM_PID ]] || [[ $(awk '{print $3}' "/proc/$E2E_PROGRAM_PID/stat") == Z ]]; }
_main_window_gone() { ! xdotool getwindowname "$MAIN_WINDOW" >/dev/null 2>&1; }

window_input_start "$program"
search_button=$(a11y_path_of 'Search!')
[[ -n "$search_button" ]] || e2e_fail "no accessible button named Search!"
add_folder "$mount"
click_at "$PHRASE"
xdotool type --delay 10 'needle'

# Stop while the read is stuck.
click_at "$SEARCH"
e2e_wait_until 10000 test -e "$control/stalled-read" || e2e_fail "the search never read a-stalls.txt"
started=$(e2e_now_ms)
click_at "$SEARCH"
wait_other_window '^Scanvale$' 3000
echo "Done. shown $(($(e2e_now_ms) - started)) ms after Stop! was clicked, the read still stuck"
xdotool windowactivate --sync "$E2E_OTHER" 2>/dev/null || true
xdotool key Return
e2e_wait_until 5000 _button_reads 'Search!' || e2e_fail "the button does not read Search! again"

# Close the window while a read is stuck.
click_at "$SEARCH"
e2e_wait_until 5000 _button_reads 'Stop!' || e2e_fail "the button does not read Stop!"
started=$(e2e_now_ms)
e2e_close_window "$closer" "$MAIN_WINDOW"
e2e_wait_until 1000 _main_window_gone || e2e_fail "the window is still shown 1 s after the close"
e2e_wait_until 1000 _main_thread_ended || e2e_fail "the program still runs 1 s after the close"
echo "window gone and the program's main thread ended $(($(e2e_now_ms) - started)) ms after the close"
touch "$control/release"
e2e_wait_program_exit 5000
echo "the process was reaped once the stuck read was released, status $E2E_STATUS"
[[ "$E2E_STATUS" == 0 ]] || e2e_fail "exit status $E2E_STATUS, not 0"
echo "PASS"
