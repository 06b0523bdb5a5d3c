#!/usr/bin/env bash
# The real program in a real X server with a window manager: its window appears with the
# designed client area, centred on the screen by its outer size (the frame and caption bar the
# window manager draws), where it stays; closing it ends the process with status 0 within a
# second. Without any display it refuses plainly.
#
# Usage: scripts/virtual_display.sh --window-manager -- smoke_test.sh <scanvale binary> \
#            <x11_close_window binary>

source "$(dirname "$0")/lib.sh"
program=$1
closer=$2

# Without a screen the program says so in one plain message instead of the toolkit's abort.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1) && status=0 || status=$?
[[ "$status" == 1 ]] || e2e_fail "without a display the program ended with status $status, not 1"
grep -q 'xvfb-run' <<<"$message" || e2e_fail "without a display the program said: $message"

e2e_start_program "$program"
e2e_wait_window '^Scanvale$'

# Read as soon as the window shows, and again after: a window moved once shown fails either.
first_frame=$(e2e_frame_geometry "$E2E_WINDOW")
read -r _ _ width height < <(e2e_window_geometry "$E2E_WINDOW")
[[ "$width" == 441 && "$height" == 428 ]] || e2e_fail "client area ${width}x$height, not 441x428"
read -r left top frame_width frame_height < <(e2e_frame_geometry "$E2E_WINDOW")
echo "window $E2E_WINDOW: frame at $left,$top size ${frame_width}x$frame_height"
((frame_width > width && frame_height > height)) || e2e_fail "the window manager drew no frame"
read -r screen_width screen_height < <(xdotool getdisplaygeometry)
expected_left=$(((screen_width - frame_width) / 2))
expected_top=$(((screen_height - frame_height) / 2))
[[ "$left" == "$expected_left" && "$top" == "$expected_top" ]] ||
    e2e_fail "frame at $left,$top, not centred at $expected_left,$expected_top"
[[ "$first_frame" == "$left $top $frame_width $frame_height" ]] ||
    e2e_fail "the frame first showed at $first_frame, then moved"

started=$(e2e_now_ms)
e2e_close_window "$closer" "$E2E_WINDOW"
e2e_wait_program_exit 1000
echo "ended $(($(e2e_now_ms) - started)) ms after the close request, status $E2E_STATUS"
[[ "$E2E_STATUS" == 0 ]] || e2e_fail "exit status $E2E_STATUS, not 0"
echo "PASS"
