# Shared steps of the end-to-end tests: the real program and its window, on the private X
# server that scripts/virtual_display.sh runs each test on. Every wait polls for a condition
# until a deadline; none waits a fixed time.
#
# Source this file, then call e2e_start_program. Cleanup on exit stops the program that
# e2e_start_program started (by its process id) and removes the test's scratch folder.

set -euo pipefail

E2E_TMP=$(mktemp -d)
E2E_PROGRAM_PID=""

e2e_cleanup() {
    if [[ -n "$E2E_PROGRAM_PID" ]] && kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; then
        kill "$E2E_PROGRAM_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Milliseconds on a monotonic-enough clock.
e2e_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# e2e_wait_until <timeout ms> <command...>: runs the command until it succeeds or time is up.
e2e_wait_until() {
    local timeout=$1
    shift
    local deadline=$(($(e2e_now_ms) + timeout))
    until "$@"; do
        (($(e2e_now_ms) < deadline)) || return 1
        sleep 0.02
    done
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing; run scripts/install-deps.sh"
    done
}

[[ -n "${SCANVALE_VIRTUAL_DISPLAY:-}" ]] ||
    e2e_fail "run the test on a private X server: scripts/virtual_display.sh -- $0 ..."
e2e_require xdotool xwininfo

# e2e_start_program <binary>: starts the program in the background.
e2e_start_program() {
    "$1" >"$E2E_TMP/program.log" 2>&1 &
    E2E_PROGRAM_PID=$!
}

_e2e_find_window() {
    E2E_WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [[ -n "$E2E_WINDOW" ]]
}

# e2e_wait_window <title regex> [timeout ms]: sets E2E_WINDOW to the visible window's id.
e2e_wait_window() {
    E2E_WINDOW=""
    e2e_wait_until "${2:-10000}" _e2e_find_window "$1" ||
        e2e_fail "no visible window titled '$1'; program output: $(cat "$E2E_TMP/program.log")"
}

# e2e_window_geometry <id>: prints "left top width height" of the window's client area.
e2e_window_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# e2e_frame_geometry <id>: prints "left top width height" of the frame around the window: its
# ancestor that is a child of the root window (the window itself when nothing framed it).
e2e_frame_geometry() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    while parent=$(xwininfo -tree -id "$window" | awk '/Parent window id:/ { print $4 }') &&
        [[ -n "$parent" && $((parent)) != $((root)) ]]; do
        window=$parent
    done
    e2e_window_geometry "$window"
}

# e2e_close_window <closer binary> <id>: closes the window as the close button would.
e2e_close_window() {
    "$1" "$2" || e2e_fail "could not ask window $2 to close"
}

_e2e_program_gone() { ! kill -0 "$E2E_PROGRAM_PID" 2>/dev/null; }

# e2e_wait_program_exit <timeout ms>: waits for the program to end and sets E2E_STATUS to its
# exit status; fails when it is still running at the deadline.
e2e_wait_program_exit() {
    e2e_wait_until "$1" _e2e_program_gone || e2e_fail "the program still runs after $1 ms"
    E2E_STATUS=0
    wait "$E2E_PROGRAM_PID" || E2E_STATUS=$?
    E2E_PROGRAM_PID=""
}
