#!/usr/bin/env bash
# Acting on found files with real input: a search lists three files, then a double-click on a
# result opens nothing, Enter opens the selected result, Ctrl+C and the context menu's
# "Copy Path" put the exact path on the clipboard, and a file no application opens is reported
# in a message box. The desktop's opener is a stand-in first on PATH that records the URL it
# is asked to open (and fails for names ending in .xyz); the clipboard is read with xclip.
#
# Usage: scripts/virtual_display.sh -- result_actions_test.sh <scanvale binary>

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/a11y.sh"
source "$(dirname "$0")/window_input.sh"
program=$1
e2e_require xclip

opened=$E2E_TMP/opened
mkdir "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>'$opened'
case "\$1" in *.xyz) exit 4 ;; esac
EOF
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"

# The search walks the folder's files before its subfolders: report.txt, then the name that is
# not UTF-8 (with a blank and a '#'), then notes.xyz.
data=$E2E_TMP/data
odd_name=$'caf\xe9 #1.txt'
mkdir -p "$data/odd/x"
printf 'an invoice\n' >"$data/report.txt"
printf 'another invoice\n' >"$data/odd/$odd_name"
printf 'invoice notes\n' >"$data/odd/x/notes.xyz"
report_url="file://$data/report.txt"
odd_url="file://$data/odd/caf%E9%20%231.txt"
notes_url="file://$data/odd/x/notes.xyz"

_opened_lines() { [[ -f "$opened" && "$(wc -l <"$opened")" -ge "$1" ]]; }

# expect_opened <count> <url>: the opener has been asked <count> times, the last for <url>.
expect_opened() {
    e2e_wait_until 5000 _opened_lines "$1" || e2e_fail "the opener was not asked to open $2"
    [[ "$(tail -n1 "$opened")" == "$2" ]] || e2e_fail "the opener got '$(tail -n1 "$opened")', expected '$2'"
}

_clipboard_is() { # _clipboard_is <target> <expected bytes file>
    xclip -o -selection clipboard -t "$1" >"$E2E_TMP/clip" 2>/dev/null && cmp -s "$E2E_TMP/clip" "$2"
}

# expect_clipboard <path>: the clipboard holds the path's bytes as text and its URL as a URI list.
expect_clipboard() {
    local url=$2
    printf '%s' "$1" >"$E2E_TMP/want-text"
    printf '%s\r\n' "$url" >"$E2E_TMP/want-uris"
    e2e_wait_until 5000 _clipboard_is UTF8_STRING "$E2E_TMP/want-text" ||
        e2e_fail "the clipboard's text is $(od -c "$E2E_TMP/clip" | head -3)"
    e2e_wait_until 5000 _clipboard_is text/uri-list "$E2E_TMP/want-uris" ||
        e2e_fail "the clipboard's URI list is $(od -c "$E2E_TMP/clip" | head -3)"
}

window_input_start "$program"
add_folder "$data"
click_at "$PHRASE"
xdotool type --delay 10 'invoice'
click_at "$SUBFOLDERS"
search_and_dismiss

# The results' rows, from the first row's place on the screen.
read -r x y w h < <(a11y_extents "$(a11y_path_of "$data/report.txt")")
[[ -n "$h" && "$h" -gt 0 ]] || e2e_fail "the first result is not listed"
x=$((x + w / 2))
row() { echo "$x $((y + h / 2 + $1 * h))"; }
point() { read -r px py <<<"$(row "$1")"; }

# A double-click on a result opens nothing; Enter then opens the result it selected.
point 0
xdotool mousemove "$px" "$py" click --repeat 2 --delay 80 1
xdotool key Return
expect_opened 1 "$report_url"
echo "double-click opened nothing; Enter opened $report_url"

# Enter on the name that is not UTF-8 hands the opener its exact bytes.
point 1
xdotool mousemove "$px" "$py" click 1
xdotool key Return
expect_opened 2 "$odd_url"
echo "Enter opened $odd_url"

# Ctrl+C copies the selected result's exact path.
xdotool key ctrl+c
expect_clipboard "$data/odd/$odd_name" "$odd_url"
echo "Ctrl+C copied the exact path"

# The context menu's "Copy Path", chosen with the keyboard, copies the right-clicked result.
point 0
xdotool mousemove "$px" "$py" click 3
_menu_shown() { xdotool search --onlyvisible --class 'scanvale' 2>/dev/null | grep -qvx "$MAIN_WINDOW"; }
e2e_wait_until 5000 _menu_shown || e2e_fail "no menu after a right-click on a result"
xdotool key Down Down Down Return
expect_clipboard "$data/report.txt" "$report_url"
echo "Copy Path copied the right-clicked result"

# A file no application opens: the user is told, in a message box.
point 2
xdotool mousemove "$px" "$py" click 1
xdotool key Return
expect_opened 3 "$notes_url"
answer_dialog '^Scanvale$' 10000
expect_no_dialog "the message about notes.xyz"
echo "the failure to open notes.xyz was told"

# Nothing else was opened, the double-click included.
[[ "$(wc -l <"$opened")" -eq 3 ]] || e2e_fail "the opener was asked: $(cat "$opened")"
kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended during the test"
echo "PASS"
