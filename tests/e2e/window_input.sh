# Real input on the main window for the end-to-end tests: clicks at designed points, the
# folder chooser given a path, the "Done." box, and the lists read from the accessibility
# tree. The tree is read only while no dialog is open.
#
# Source after lib.sh and a11y.sh; call window_input_attach once the window is shown.

e2e_require xclip

# Centres of the controls in the client area, in pixels (the designed twips divided by 15).
readonly ADD_FOLDER="76 168" SEARCH="221 168" PHRASE="220 249" SUBFOLDERS="348 230"
readonly CHOOSER_TITLE='^Please select folder to add:$'

# Starts the program on a session bus of its own, waits for its window and its accessibility
# tree, and attaches the input helpers to the window.
window_input_start() {
    a11y_start_session
    e2e_start_program "$1"
    e2e_wait_window '^Scanvale$'
    window_input_attach "$E2E_WINDOW"
    a11y_find_app
}

# Remembers the main window and where its client area lies on the screen.
window_input_attach() {
    MAIN_WINDOW=$1
    read -r MAIN_LEFT MAIN_TOP _ _ < <(e2e_window_geometry "$MAIN_WINDOW")
}

click_at() { # click_at "<x> <y>": a left click at a point of the main window's client area
    local x y
    read -r x y <<<"$1"
    xdotool mousemove "$((MAIN_LEFT + x))" "$((MAIN_TOP + y))" click 1
}

_other_window() { # a visible window titled $1 other than the main window
    local id
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        [[ "$id" != "$MAIN_WINDOW" ]] && E2E_OTHER=$id && return 0
    done
    return 1
}

wait_other_window() { # wait_other_window <title regex> <timeout ms>; sets E2E_OTHER
    E2E_OTHER=""
    e2e_wait_until "$2" _other_window "$1" || e2e_fail "no window titled '$1' within $2 ms"
}

_window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! _other_window "$2"; }

# focus_dialog <title regex> <timeout ms>: waits for a dialog of that title and gives it the
# keyboard; sets E2E_OTHER.
focus_dialog() {
    wait_other_window "$1" "$2"
    xdotool windowfocus --sync "$E2E_OTHER" 2>/dev/null || true
}

# paste_path <path>: puts the path into the focused field of a file dialog in one piece,
# through the clipboard. Typed key by key, each key makes the dialog complete, select and
# change folder in the background, and on a busy machine those answers arrive between later
# keys: the dialog then rewrote the path into a list of the names it had selected, or changed
# folder before the name was complete. The xclip that serves the clipboard ends with the X
# server.
paste_path() {
    printf '%s' "$1" | xclip -selection clipboard 2>/dev/null
    xdotool key ctrl+v
}

# answer_dialog <title regex> <timeout ms> [key]: presses the key (Return, the default button,
# unless named) in the dialog of that title once it opens.
answer_dialog() {
    focus_dialog "$1" "$2"
    xdotool key "${3:-Return}"
}

_dialogs_gone() { ! _other_window '.'; }

# expect_no_dialog <what was done>: waits until every dialog has closed.
expect_no_dialog() {
    e2e_wait_until 5000 _dialogs_gone || e2e_fail "a dialog is still open after $1"
}

_folder_listed() { a11y_walk | cut -f2 | grep -qxF "$1"; }

add_folder() { # add_folder <path>: through the folder chooser, typing the path
    click_at "$ADD_FOLDER"
    focus_dialog "$CHOOSER_TITLE" 10000
    local chooser=$E2E_OTHER try
    paste_path "$1"
    # Return accepts the typed folder; when the completer's list is open, the first Return
    # only closes that list.
    for try in 1 2 3; do
        xdotool key Return
        e2e_wait_until 2000 _window_gone "$chooser" "$CHOOSER_TITLE" && break
    done
    _window_gone "$chooser" "$CHOOSER_TITLE" || e2e_fail "the folder chooser did not close"
    e2e_wait_until 5000 _folder_listed "$1" || e2e_fail "$1 is not in the folder list"
}

# Clicks "Search!", waits for the run's "Done." box and dismisses it.
search_and_dismiss() {
    click_at "$SEARCH"
    answer_dialog '^Scanvale$' 20000
    expect_no_dialog '"Done."'
}

# a11y_extents <object path>: prints "x y width height" of the object on the screen.
a11y_extents() {
    gdbus call --address "$A11Y_ADDRESS" --dest "$A11Y_APP" --object-path "$1" \
        --method org.a11y.atspi.Component.GetExtents 0 2>/dev/null |
        sed -E 's/^\(\(([-0-9]+), ([-0-9]+), ([-0-9]+), ([-0-9]+)\),\)$/\1 \2 \3 \4/'
}
