#!/usr/bin/env bash
# The folder list reordered and trimmed with the real mouse: three folders are added through
# the folder chooser by typing, the first is dragged down across the other two with the button
# held, and a search then lists the matches in the new order. A double-click then removes a
# folder and the next search no longer lists its match. The lists are read from the window's
# accessibility tree, and only while no dialog is open.
#
# Usage: scripts/virtual_display.sh -- folder_drag_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
source "$(dirname "$0")/window_input.sh"
program=$1

# Folders A, B and C, each holding one matching file.
data="$E2E_TMP/data"
for name in A B C; do
    mkdir -p "$data/$name"
    printf 'a needle in %s\n' "$name" >"$data/$name/match.txt"
done

# The folder list's order as letters, e.g. "A B C".
folder_order() {
    a11y_walk | cut -f2 | sed -nE "s|^$data/([ABC])$|\1|p" | paste -sd ' ' -
}

# The results list as letters of the folders the matches lie in, e.g. "A B C".
result_order() {
    a11y_walk | cut -f2 | sed -nE "s|^$data/([ABC])/match\.txt$|\1|p" | paste -sd ' ' -
}

_order_is() { [[ "$(folder_order)" == "$1" ]]; }

expect_order() { # expect_order "<letters>" <what happened>
    e2e_wait_until 5000 _order_is "$1" ||
        e2e_fail "after $2 the folder list reads '$(folder_order)', expected '$1'"
}

# Screen points of the rows' centres, read once: rows stay where they are, texts move.
row_centre() { # row_centre <letter>: prints "x y"
    local x y w h
    read -r x y w h < <(a11y_extents "$(a11y_path_of "$data/$1")")
    [[ -n "$h" && "$h" -gt 0 ]] || e2e_fail "no extents for the row of $1"
    echo "$((x + w / 2)) $((y + h / 2))"
}

# move_in_steps <x> <from y> <to y>: the pointer travels with the button held, 2 pixels a step.
move_in_steps() {
    local x=$1 y=$2 to=$3 step=2
    ((to < y)) && step=-2
    while ((y != to)); do
        if ((step > 0 ? y + step > to : y + step < to)); then y=$to; else y=$((y + step)); fi
        xdotool mousemove "$x" "$y"
    done
}

window_input_start "$program"

for name in A B C; do
    add_folder "$data/$name"
done
expect_order "A B C" "adding the folders"
click_at "$PHRASE"
xdotool type --delay 10 'needle'

# A slow drag of A down over B, then over C: one row at a time, so A ends last.
read -r x1 y1 < <(row_centre A)
read -r _ y2 < <(row_centre B)
read -r _ y3 < <(row_centre C)
xdotool mousemove "$x1" "$y1" mousedown 1
move_in_steps "$x1" "$y1" "$y2"
expect_order "B A C" "dragging A over B"
move_in_steps "$x1" "$y2" "$y3"
expect_order "B C A" "dragging A on over C"
xdotool mouseup 1
echo "dragged: B C A"

search_and_dismiss
order=$(result_order)
[[ "$order" == "B C A" ]] || e2e_fail "the search lists '$order', expected 'B C A'"
echo "searched: B C A"

# A double-click on C's row (the middle one now) removes C; the rows below move up.
xdotool mousemove "$x1" "$y2" click --repeat 2 --delay 80 1
expect_order "B A" "double-clicking C"
search_and_dismiss
order=$(result_order)
[[ "$order" == "B C A B A" ]] || e2e_fail "after the removal the results read '$order'"
echo "removed C: the next search lists B A"

kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended during the test"
echo "PASS"
