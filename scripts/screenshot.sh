#!/usr/bin/env bash
# Takes a screenshot of the Scanvale window in use, on a virtual X server (Xvfb).
#
#   scripts/screenshot.sh [program] [output.png] [scale]
#
# Defaults: build/app/scanvale, docs/screenshot.png, scale 1. The scale is handed to Qt as
# QT_SCALE_FACTOR, so "2" shows the window as a 2x HiDPI screen would. Before the shot the
# script makes a small set of folders under /tmp/demo, adds two of them through the folder
# chooser, types a phrase, ticks "Search In Subfolders Also", runs the search and dismisses
# its "Done." box, so the picture shows folders, a phrase and results.
set -euo pipefail
program="${1:-build/app/scanvale}"
output="${2:-docs/screenshot.png}"
scale="${3:-1}"
phrase="invoice"
demo=/tmp/demo
# Marks a /tmp/demo that this script made, and may therefore remove and make again.
marker="$demo/.scanvale-screenshot"

if [[ -z "${SCANVALE_VIRTUAL_DISPLAY:-}" ]]; then
    for tool in xdotool xclip import; do
        command -v "$tool" >/dev/null || {
            echo "screenshot: $tool is missing; run scripts/install-deps.sh --screenshot" >&2
            exit 1
        }
    done
    [[ -x "$program" ]] || { echo "screenshot: no program at $program; run make build" >&2; exit 1; }
    if [[ -e "$demo" && ! -e "$marker" ]]; then
        echo "screenshot: $demo exists and was not made by this script; move it away" >&2
        exit 1
    fi
    # Run the rest of this script on a private X server.
    exec "$(dirname "$0")/virtual_display.sh" --size 1920x1440 -- \
        "$0" "$program" "$output" "$scale"
fi

# The demo folders: two with matches (one of them in a subfolder), files that do not match.
rm -rf "$demo"
mkdir -p "$demo/letters/2023" "$demo/reports"
: >"$marker"
printf 'Dear Ms Hale,\nthe invoice for March is attached.\n' >"$demo/letters/march.txt"
printf 'Second reminder: invoice 1042 is due on Friday.\n' >"$demo/letters/reminder.txt"
printf 'Thank you for your visit.\n' >"$demo/letters/thanks.txt"
printf 'Invoice 0917, paid in full.\n' >"$demo/letters/2023/paid.txt"
printf 'Quarter totals by invoice date.\n' >"$demo/reports/q1.txt"
printf 'Minutes of the weekly meeting.\n' >"$demo/reports/minutes.txt"

unset QT_QPA_PLATFORM
QT_SCALE_FACTOR="$scale" "$program" &
pid=$!
scratch=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$scratch" "$demo"' EXIT

# wait_for <seconds> <command...>: runs the command every 0.1 s until it succeeds.
wait_for() {
    local tries=$(($1 * 10))
    shift
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

find_main() { window=$(xdotool search --onlyvisible --name '^Scanvale$' 2>/dev/null | head -n 1); }
# A visible window titled $1 other than the main window; sets $other.
find_other() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        [[ "$id" != "$window" ]] && other=$id && return 0
    done
    return 1
}
no_other() { ! find_other "$1"; }

# click_at <x> <y>: a left click at a point of the window given in device-independent pixels
# (the designed twips divided by 15).
click_at() {
    local x y
    read -r x y < <(awk -v s="$scale" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d\n", x * s, y * s }')
    xdotool mousemove --window "$window" "$x" "$y" click 1
}

# add_folder <path>: "Add Folder to Search", the path typed into the folder chooser.
add_folder() {
    local title='^Please select folder to add:$'
    click_at 76 168
    wait_for 10 find_other "$title" || { echo "screenshot: no folder chooser" >&2; exit 1; }
    xdotool windowactivate --sync "$other" 2>/dev/null || true
    # Pasted in one piece: the chooser answers each typed key in the background, and on a busy
    # machine those answers can rewrite a path typed key by key (tests/e2e/window_input.sh).
    printf '%s' "$1" | xclip -selection clipboard 2>/dev/null
    xdotool key ctrl+v
    # The first Return may only close the completer's list.
    for _ in 1 2 3; do
        xdotool key Return
        wait_for 2 no_other "$title" && return 0
    done
    echo "screenshot: the folder chooser did not close" >&2
    exit 1
}

wait_for 30 find_main || { echo "screenshot: the Scanvale window did not appear" >&2; exit 1; }
add_folder "$demo/letters"
add_folder "$demo/reports"
click_at 220 250 # the phrase box
xdotool type --delay 20 "$phrase"
click_at 348 230 # "Search In Subfolders Also"
click_at 221 168 # "Search!"
wait_for 30 find_other '^Scanvale$' || { echo "screenshot: the search did not end" >&2; exit 1; }
xdotool windowactivate --sync "$other" 2>/dev/null || true
xdotool key Return
wait_for 10 no_other '.' || { echo "screenshot: \"Done.\" is still open" >&2; exit 1; }
xdotool mousemove 0 0

# Take the shot once two pictures in a row are identical: the window has finished painting.
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
