#!/usr/bin/env bash
# The real program in a real X server saves its results list through the toolkit's save
# dialog, with the file name typed into it: a new name is written at once, an existing file is
# replaced only after Yes, and No leaves it as it was. The bytes of the file are compared.
#
# Usage: save_results_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
program=$1

# The centre of "Save Results To Text File" in the window's client area.
readonly SAVE_X=365 SAVE_Y=168

_e2e_other_window() {
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        if [[ "$id" != "$MAIN_WINDOW" ]]; then
            E2E_WINDOW=$id
            return 0
        fi
    done
    return 1
}

# wait_dialog <title regex>: sets E2E_WINDOW to a visible window of that title other than the
# main window, and gives it the keyboard.
wait_dialog() {
    E2E_WINDOW=""
    e2e_wait_until 10000 _e2e_other_window "$1" ||
        e2e_fail "no dialog titled '$1'; program output: $(cat "$E2E_TMP/program.log")"
    xdotool windowfocus --sync "$E2E_WINDOW"
}

_dialogs_gone() { ! _e2e_other_window '.'; }

press_save() {
    xdotool mousemove --window "$MAIN_WINDOW" "$SAVE_X" "$SAVE_Y" click 1
}

# save_as <path>: presses the button and types the path into the save dialog's name field.
save_as() {
    press_save
    wait_dialog '^Save List$'
    xdotool type --delay 5 "$1"
    xdotool key Return
}

# expect_bytes <file> <expected file>: the two files hold the same bytes.
expect_bytes() {
    cmp -s "$1" "$2" || e2e_fail "$1 holds $(od -c "$1" | head -5), expected $(od -c "$2" | head -5)"
}

out=$E2E_TMP/saved
mkdir "$out"
: >"$E2E_TMP/empty"
printf 'old results\r\n' >"$E2E_TMP/old"

e2e_start_display
e2e_start_program "$program"
e2e_wait_window '^Scanvale$'
MAIN_WINDOW=$E2E_WINDOW

# A new name without an extension: written as typed, no question asked, then "Done.".
save_as "$out/results"
wait_dialog '^Scanvale$'
xdotool key Return
e2e_wait_until 5000 _dialogs_gone || e2e_fail "a dialog is still open after \"Done.\""
[[ -f "$out/results" ]] || e2e_fail "no file $out/results; saved: $(ls -A "$out")"
expect_bytes "$out/results" "$E2E_TMP/empty"
[[ "$(ls -A "$out")" == results ]] || e2e_fail "unexpected files: $(ls -A "$out")"
echo "new name: written without an extension"

# An existing file and No (Escape): left exactly as it was.
cp "$E2E_TMP/old" "$out/old.txt"
save_as "$out/old.txt"
wait_dialog '^Scanvale$'
xdotool key Escape
e2e_wait_until 5000 _dialogs_gone || e2e_fail "a dialog opened after No"
expect_bytes "$out/old.txt" "$E2E_TMP/old"
echo "existing file and No: unchanged"

# An existing file and Yes (the default button): wholly replaced by the list, then "Done.".
save_as "$out/old.txt"
wait_dialog '^Scanvale$'
xdotool key Return
wait_dialog '^Scanvale$'
xdotool key Return
e2e_wait_until 5000 _dialogs_gone || e2e_fail "a dialog is still open after \"Done.\""
expect_bytes "$out/old.txt" "$E2E_TMP/empty"
[[ "$(ls -A "$out" | sort | tr '\n' ' ')" == "old.txt results " ]] ||
    e2e_fail "unexpected files: $(ls -A "$out")"
echo "existing file and Yes: replaced"

kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended during the saves"
echo "PASS"
