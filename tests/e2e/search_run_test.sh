#!/usr/bin/env bash
# The real program in a real X server, driven with real input: a folder is chosen by typing
# its path into the folder chooser, a phrase is typed, "Search!" is clicked, "Done." is
# dismissed and the match is read from the window's accessibility tree. Then a long search is
# stopped with "Stop!" and must end promptly.
#
# Usage: search_run_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
program=$1

# Centres of the controls in the client area, in pixels (the designed twips divided by 15).
readonly ADD_FOLDER="76 168" SEARCH="221 168" PHRASE="220 249" SUBFOLDERS="348 230"

data="$E2E_TMP/data"
mkdir -p "$data/letters/old" "$data/long"
printf 'nothing here\n' >"$data/letters/a.txt"
printf 'the invoice is due\n' >"$data/letters/old/b.txt"
# The long search: text files of 1 GiB each, sparse, so they take no room on disk.
for i in $(seq -w 1 100); do
    printf 'hello' >"$data/long/f$i.txt"
    truncate -s 1G "$data/long/f$i.txt"
done

click_at() { # click_at "<x> <y>": a left click at a point of the main window's client area
    local x y
    read -r x y <<<"$1"
    xdotool mousemove "$((left + x))" "$((top + y))" click 1
}

_other_window() { # a visible window titled $1 other than the main window
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        [[ "$id" != "$main" ]] && E2E_OTHER=$id && return 0
    done
    return 1
}

wait_other_window() { # wait_other_window <title regex> <timeout ms>; sets E2E_OTHER
    E2E_OTHER=""
    e2e_wait_until "$2" _other_window "$1" || e2e_fail "no window titled '$1' within $2 ms"
}

_window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! _other_window "$2"; }

add_folder() { # add_folder <path>: through the folder chooser, typing the path
    click_at "$ADD_FOLDER"
    wait_other_window '^Please select folder to add:$' 10000
    local chooser=$E2E_OTHER
    xdotool windowactivate --sync "$chooser" 2>/dev/null || true
    xdotool type --delay 10 "$1"
    # Return accepts the typed folder; when the completer's list is open, the first Return
    # only closes that list.
    local try
    for try in 1 2 3; do
        xdotool key Return
        e2e_wait_until 2000 _window_gone "$chooser" '^Please select folder to add:$' && break
    done
    _window_gone "$chooser" '^Please select folder to add:$' ||
        e2e_fail "the folder chooser did not close"
    e2e_wait_until 5000 _folder_listed "$1" || e2e_fail "$1 is not in the folder list"
}

_folder_listed() { a11y_walk | cut -f2 | grep -qxF "$1"; }

_button_reads() { [[ "$(a11y_name "$search_button")" == "$1" ]]; }

a11y_start_session
e2e_start_display
e2e_start_program "$program"
e2e_wait_window '^Scanvale$'
main=$E2E_WINDOW
read -r left top _ _ < <(e2e_window_geometry "$main")
a11y_find_app
search_button=$(a11y_path_of 'Search!')
[[ -n "$search_button" ]] || e2e_fail "no accessible button named Search!"

# A search from end to end.
add_folder "$data/letters"
click_at "$PHRASE"
xdotool type --delay 10 'INVOICE'
click_at "$SUBFOLDERS"
click_at "$SEARCH"
wait_other_window '^Scanvale$' 20000
xdotool windowactivate --sync "$E2E_OTHER" 2>/dev/null || true
xdotool key Return
e2e_wait_until 5000 _button_reads 'Search!' || e2e_fail "the button does not read Search! again"
names=$(a11y_walk | cut -f2)
grep -qxF "$data/letters/old/b.txt" <<<"$names" ||
    e2e_fail "the match is not listed; the window shows: $names"
grep -qxF 'Folder(s)' <<<"$names" || e2e_fail "the folder list's header is not Folder(s) again"
echo "found $data/letters/old/b.txt"

# A long search stopped with the same button.
add_folder "$data/long"
click_at "$SEARCH"
e2e_wait_until 5000 _button_reads 'Stop!' || e2e_fail "the button does not read Stop!"
started=$(e2e_now_ms)
click_at "$SEARCH"
wait_other_window '^Scanvale$' 3000
echo "Done. shown $(($(e2e_now_ms) - started)) ms after Stop! was clicked"
xdotool windowactivate --sync "$E2E_OTHER" 2>/dev/null || true
xdotool key Return
e2e_wait_until 5000 _button_reads 'Search!' || e2e_fail "the button does not read Search! again"
echo "PASS"
