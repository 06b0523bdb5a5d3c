#!/usr/bin/env bash
# The real program in a real X server, driven with real input: a folder is chosen by typing
# its path into the folder chooser, a phrase is typed, "Search!" is clicked, "Done." is
# dismissed and the match is read from the window's accessibility tree. Then a long search is
# stopped with "Stop!" and must end promptly.
#
# Usage: scripts/virtual_display.sh -- search_run_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
source "$(dirname "$0")/window_input.sh"
program=$1

data="$E2E_TMP/data"
mkdir -p "$data/letters/old" "$data/long"
printf 'nothing here\n' >"$data/letters/a.txt"
printf 'the invoice is due\n' >"$data/letters/old/b.txt"
# The long search: text files of 1 GiB each, sparse, so they take no room on disk.
for i in $(seq -w 1 100); do
    printf 'hello' >"$data/long/f$i.txt"
    truncate -s 1G "$data/long/f$i.txt"
done

_button_reads() { [[ "$(a11y_name "$search_button")" == "$1" ]]; }

window_input_start "$program"
search_button=$(a11y_path_of 'Search!')
[[ -n "$search_button" ]] || e2e_fail "no accessible button named Search!"

# A search from end to end.
add_folder "$data/letters"
click_at "$PHRASE"
xdotool type --delay 10 'INVOICE'
click_at "$SUBFOLDERS"
search_and_dismiss
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
answer_dialog '^Scanvale$' 1000
e2e_wait_until 5000 _button_reads 'Search!' || e2e_fail "the button does not read Search! again"
echo "PASS"
