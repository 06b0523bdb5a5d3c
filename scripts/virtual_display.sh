#!/usr/bin/env bash
# Runs a command on a private virtual X server (Xvfb), and stops the server when it ends.
#
#   scripts/virtual_display.sh [--size WIDTHxHEIGHT] [--window-manager] -- COMMAND [ARG...]
#
# The server chooses a free display number itself (-displayfd), so any number of runs can share
# a machine; the command finds it in DISPLAY (and in SCANVALE_VIRTUAL_DISPLAY, which tells a
# script that it already runs on a private server), with QT_QPA_PLATFORM=xcb and without
# WAYLAND_DISPLAY, once a client's connection has proved that the server answers. The command
# also gets a runtime folder of its own (XDG_RUNTIME_DIR): programs keep sockets there under
# fixed names, such as the accessibility bus's at-spi/bus, and two runs sharing the folder take
# each other's. --window-manager also starts Debian's openbox and waits until it manages
# windows. The size defaults to 1024x768 (24-bit colour). The exit status is the command's; a
# server that does not come up gives 1.
set -euo pipefail

size=1024x768
window_manager=false
while [[ $# -gt 0 ]]; do
    case "$1" in
    --size) size=$2; shift 2 ;;
    --window-manager) window_manager=true; shift ;;
    --) shift; break ;;
    *) echo "virtual_display: unknown option $1" >&2; exit 2 ;;
    esac
done
if [[ $# -eq 0 ]]; then
    echo "usage: virtual_display.sh [--size WxH] [--window-manager] -- COMMAND..." >&2
    exit 2
fi

need=(Xvfb xwininfo)
$window_manager && need+=(openbox xprop)
fail() {
    echo "virtual_display: $*" >&2
    exit 1
}
for tool in "${need[@]}"; do
    command -v "$tool" >/dev/null || fail "$tool is missing; run scripts/install-deps.sh"
done

scratch=$(mktemp -d)
server=""
manager=""
command_pid=""
stop() {
    [[ -z $command_pid ]] || kill "$command_pid" 2>/dev/null || true
    local pid
    for pid in $manager $server; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap stop EXIT
trap 'exit 143' TERM INT HUP

# wait_for <command...>: runs the command every 20 ms until it succeeds, for 10 s at most.
wait_for() {
    local tries=500
    until "$@" >/dev/null 2>&1; do
        ((--tries > 0)) || return 1
        sleep 0.02
    done
}

# -displayfd: the server writes the display number it chose once it is set up. -noreset: it
# stays up when its last client leaves instead of starting over, and refusing connections
# meanwhile, between one program of the command and the next.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
server=$!
wait_for test -s "$scratch/display" || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=":$(head -n1 "$scratch/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb SCANVALE_VIRTUAL_DISPLAY=$DISPLAY
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
wait_for xwininfo -root || fail "Xvfb on $DISPLAY accepts no connection"

if $window_manager; then
    # openbox announces itself on the root window once it manages the windows there.
    manages() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
    manager=$!
    wait_for manages || fail "openbox did not start: $(cat "$scratch/openbox.log")"
fi

# The command runs as a child rather than in this shell's place, so the servers are stopped
# after it whichever way it ends.
"$@" &
command_pid=$!
status=0
wait "$command_pid" || status=$?
command_pid=""
exit "$status"
