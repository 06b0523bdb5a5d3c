#!/usr/bin/env bash
# The real program on Wayland, natively, under Debian's weston with its headless backend (which
# runs as root too): the window appears with the designed client area and announces the
# application id, so the desktop can match it to its menu entry; a Wayland display that does not
# answer gets the program's own message, not the toolkit's abort; and the lists' rows are as
# high on Wayland as on X11 (the private X server this test runs on) and offscreen.
# Skipped (status 77) where weston or Qt's Wayland platform is missing.
#
# Usage: scripts/virtual_display.sh -- wayland_test.sh <scanvale binary> <application id> \
#            <row_height_probe binary>
# With SCANVALE_WAYLAND_SCREENSHOT set, the compositor's picture of the screen with the window
# on it is saved there.

source "$(dirname "$0")/lib.sh"
program=$1
app_id=$2
probe=$3

for tool in weston weston-info weston-debug weston-screenshooter; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (Debian's weston; run scripts/install-deps.sh)"
        exit 77
    fi
done

# A compositor of this test's own, in the runtime folder virtual_display.sh made for it.
socket=scanvale-wayland
weston_pid=""
stop_weston() {
    if [[ -n "$weston_pid" ]]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    e2e_cleanup
}
trap stop_weston EXIT
# --debug lets clients read the scene graph and take screenshots.
(cd "$E2E_TMP" && exec weston --backend=headless-backend.so --use-pixman --width=1024 \
    --height=768 --socket="$socket" --no-config --idle-time=0 --debug) \
    >"$E2E_TMP/weston.log" 2>&1 &
weston_pid=$!
wayland() { env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$socket" "$@"; }
answers() { wayland weston-info >/dev/null 2>&1; }
e2e_wait_until 20000 answers || e2e_fail "weston did not start: $(cat "$E2E_TMP/weston.log")"

# A display that does not answer, and no X11 display: the program's own message and status 1.
message=$(env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=scanvale-nobody-home "$program" 2>&1) &&
    status=0 || status=$?
echo "unreachable display: status $status: $message"
[[ "$status" == 1 ]] || e2e_fail "with a silent Wayland display the status was $status, not 1"
grep -q 'does not' <<<"$message" && grep -q 'xvfb-run' <<<"$message" ||
    e2e_fail "with a silent Wayland display the program said: $message"

# The window natively on Wayland: no X11 display is named, so Xwayland cannot stand in. (The
# row probe goes first: where it cannot start on Wayland, Qt's Wayland platform is missing.)
# The probe lays out widgets, which Qt paints in software: it goes without the OpenGL buffer
# integration, whose Mesa driver is unloaded at exit holding memory it never freed, which
# LeakSanitizer can then neither name nor be told to pass over.
if ! rows_wayland=$(wayland env QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none "$probe" \
    2>"$E2E_TMP/probe.log"); then
    if grep -q 'platform plugin "wayland"' "$E2E_TMP/probe.log"; then
        echo "SKIP: Qt's Wayland platform is missing (Debian's qt6-wayland)"
        exit 77
    fi
    e2e_fail "the row probe failed on Wayland: $(cat "$E2E_TMP/probe.log")"
fi
env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$socket" "$program" >"$E2E_TMP/program.log" 2>&1 &
E2E_PROGRAM_PID=$!
window_view() {
    wayland weston-debug scene-graph 2>/dev/null |
        grep -A3 "top-level window 'Scanvale' of $app_id," >"$E2E_TMP/view" &&
        grep -q 'opaque: ' "$E2E_TMP/view"
}
e2e_wait_until 30000 window_view ||
    e2e_fail "no window 'Scanvale' of $app_id on weston; program output: $(cat "$E2E_TMP/program.log")"
cat "$E2E_TMP/view"
[[ "$(grep -o "PID [0-9]*" "$E2E_TMP/view")" == "PID $E2E_PROGRAM_PID" ]] ||
    e2e_fail "the window is not the program's"
# The opaque region is the client area; the frame the toolkit draws around it has a shadow.
read -r left top right bottom < <(sed -n 's/.*opaque: (\([0-9]*\), \([0-9]*\)) -> (\([0-9]*\), \([0-9]*\)).*/\1 \2 \3 \4/p' "$E2E_TMP/view")
[[ "$((right - left))x$((bottom - top))" == 441x428 ]] ||
    e2e_fail "client area $((right - left))x$((bottom - top)), not 441x428"

# The window fades in: the picture is taken once two screenshots in a row are alike.
shots=0
steady_screenshot() {
    local folder=$E2E_TMP/shot-$((++shots))
    mkdir "$folder"
    (cd "$folder" && wayland weston-screenshooter) || return 1
    mv "$folder"/wayland-screenshot-*.png "$folder/screen.png"
    ((shots > 1)) && cmp -s "$folder/screen.png" "$E2E_TMP/shot-$((shots - 1))/screen.png"
}
if [[ -n "${SCANVALE_WAYLAND_SCREENSHOT:-}" ]]; then
    e2e_wait_until 20000 steady_screenshot || e2e_fail "weston gave no steady screenshot"
    cp "$E2E_TMP/shot-$shots/screen.png" "$SCANVALE_WAYLAND_SCREENSHOT"
    echo "screenshot: $SCANVALE_WAYLAND_SCREENSHOT ($shots taken)"
fi

# Rows as high on every platform: measured in the lists' own font, not the platform's.
rows_x11=$("$probe") || e2e_fail "the probe failed on X11"
rows_offscreen=$(QT_QPA_PLATFORM=offscreen "$probe") || e2e_fail "the probe failed offscreen"
echo "rows: X11 $rows_x11; offscreen $rows_offscreen; Wayland $rows_wayland"
[[ "$rows_x11" == "$rows_offscreen" && "$rows_x11" == "$rows_wayland" ]] ||
    e2e_fail "the rows differ between platforms"
read -r _ results _ folders <<<"$rows_wayland"
[[ "$results" == "$folders" ]] || e2e_fail "results rows $results px, folder rows $folders px"
echo "PASS"
