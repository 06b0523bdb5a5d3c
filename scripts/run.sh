#!/usr/bin/env bash
# Starts the built program, or explains plainly why it cannot be shown.
set -euo pipefail
binary="$1"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Scanvale needs a graphical desktop, and this session has none (DISPLAY is not set)." >&2
    echo "On a machine without a screen, run it inside a virtual X server:" >&2
    echo "    xvfb-run -a $binary" >&2
    exit 1
fi
exec "$binary"
