#!/usr/bin/env bash
# The real program in a real X server saves its results list through the toolkit's save
# dialog, with the file name typed into it: a new name is written at once, an existing file is
# replaced only after Yes, and No leaves it as it was. The list is filled by a real search
# first, and the bytes of each saved file are compared with the paths it found.
#
# Usage: scripts/virtual_display.sh -- save_results_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
source "$(dirname "$0")/window_input.sh"
program=$1

# The centre of "Save Results To Text File" in the window's client area.
readonly SAVE="365 168"

# save_as <path>: presses the button and types the path into the save dialog's name field.
save_as() {
    click_at "$SAVE"
    focus_dialog '^Save List$' 10000
    paste_path "$1"
    xdotool key Return
}

# expect_bytes <file> <expected file>: the two files hold the same bytes.
expect_bytes() {
    cmp -s "$1" "$2" || e2e_fail "$1 holds $(od -c "$1" | head -5), expected $(od -c "$2" | head -5)"
}

data=$E2E_TMP/data
mkdir -p "$data/first" "$data/second"
printf 'the invoice is due\n' >"$data/first/a.txt"
printf 'nothing here\n' >"$data/second/a.txt"
printf 'another invoice\n' >"$data/second/b.txt"
# The list the search makes, one path per line, each line ending in CR LF.
printf '%s\r\n' "$data/first/a.txt" "$data/second/b.txt" >"$E2E_TMP/expected"
out=$E2E_TMP/saved
mkdir "$out"
printf 'old results\r\n' >"$E2E_TMP/old"

window_input_start "$program"
add_folder "$data/first"
add_folder "$data/second"
click_at "$PHRASE"
xdotool type --delay 10 'invoice'
search_and_dismiss

# A new name without an extension: written as typed, no question asked, then "Done.".
save_as "$out/results"
answer_dialog '^Scanvale$' 10000
expect_no_dialog '"Done."'
[[ -f "$out/results" ]] || e2e_fail "no file $out/results; saved: $(ls -A "$out")"
expect_bytes "$out/results" "$E2E_TMP/expected"
[[ "$(ls -A "$out")" == results ]] || e2e_fail "unexpected files: $(ls -A "$out")"
echo "new name: the found paths written without an extension"

# An existing file and No (Escape): left exactly as it was.
cp "$E2E_TMP/old" "$out/old.txt"
save_as "$out/old.txt"
answer_dialog '^Scanvale$' 10000 Escape
expect_no_dialog "No"
expect_bytes "$out/old.txt" "$E2E_TMP/old"
echo "existing file and No: unchanged"

# An existing file and Yes (the default button): wholly replaced by the list, then "Done.".
save_as "$out/old.txt"
answer_dialog '^Scanvale$' 10000
answer_dialog '^Scanvale$' 10000
expect_no_dialog '"Done."'
expect_bytes "$out/old.txt" "$E2E_TMP/expected"
[[ "$(ls -A "$out" | sort | tr '\n' ' ')" == "old.txt results " ]] ||
    e2e_fail "unexpected files: $(ls -A "$out")"
echo "existing file and Yes: replaced"

kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended during the saves"
echo "PASS"
