#!/usr/bin/env bash
# Takes a screenshot of the Scanvale window on a virtual X server (Xvfb).
#
#   scripts/screenshot.sh [program] [output.png] [scale]
#
# Defaults: build/app/scanvale, docs/screenshot.png, scale 1. The scale is handed to Qt as
# QT_SCALE_FACTOR, so "2" shows the window as a 2x HiDPI screen would. Before the shot the
# phrase box gets a phrase, so the picture shows the window as it is used.
set -euo pipefail
program="${1:-build/app/scanvale}"
output="${2:-docs/screenshot.png}"
scale="${3:-1}"
phrase="invoice"

if [[ -z "${SCANVALE_SCREENSHOT_SERVER:-}" ]]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || {
            echo "screenshot: $tool is missing; run scripts/install-deps.sh --screenshot" >&2
            exit 1
        }
    done
    [[ -x "$program" ]] || { echo "screenshot: no program at $program; run make build" >&2; exit 1; }
    # Run the rest of this script inside a private X server.
    SCANVALE_SCREENSHOT_SERVER=1 exec xvfb-run -a -s "-screen 0 1920x1440x24 -noreset" \
        "$0" "$program" "$output" "$scale"
fi

unset QT_QPA_PLATFORM
QT_SCALE_FACTOR="$scale" "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# Wait (up to 30 s) for the window, then for two identical pictures in a row, so the shot is
# taken after the window has finished painting.
window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Scanvale$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || { echo "screenshot: the Scanvale window did not appear" >&2; exit 1; }

# The phrase box lies across the window at 250 device-independent pixels from the top.
read -r x y < <(awk -v s="$scale" 'BEGIN { printf "%d %d\n", 220 * s, 250 * s }')
xdotool mousemove --window "$window" "$x" "$y" click 1 type --delay 20 "$phrase"
xdotool mousemove 0 0

scratch=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$scratch"' EXIT
previous=""
for attempt in $(seq 50); do
    sleep 0.2
    import -window "$window" "$scratch/$attempt.png"
    if [[ -n "$previous" ]] && cmp -s "$previous" "$scratch/$attempt.png"; then
        mkdir -p "$(dirname "$output")"
        cp "$scratch/$attempt.png" "$output"
        echo "screenshot: wrote $output ($(identify -format '%wx%h' "$output") pixels)"
        exit 0
    fi
    previous="$scratch/$attempt.png"
done
echo "screenshot: the window kept changing; no shot taken" >&2
exit 1
