# Reading the program's accessibility tree in the end-to-end tests: a private session bus, the
# accessibility bus it starts, and the names of the program's accessible objects.
#
# Source after lib.sh; call a11y_start_session before e2e_start_program, then a11y_find_app.

A11Y_SESSION_PID=""
A11Y_ADDRESS=""
A11Y_APP=""

a11y_cleanup() {
    if [[ -n "$A11Y_SESSION_PID" ]]; then
        kill "$A11Y_SESSION_PID" 2>/dev/null || true
    fi
    e2e_cleanup
}
trap a11y_cleanup EXIT

# Starts a session bus of this test's own and makes the program publish its accessible tree.
a11y_start_session() {
    e2e_require dbus-daemon gdbus
    local address pid
    { read -r address && read -r pid; } < <(dbus-daemon --session --fork --print-address=1 \
        --print-pid=1)
    A11Y_SESSION_PID=$pid
    export DBUS_SESSION_BUS_ADDRESS=$address
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

_a11y_app_registered() {
    local children
    A11Y_ADDRESS=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.a11y.Bus.GetAddress 2>/dev/null | sed -E "s/^\('(.*)',\)$/\1/") || return 1
    [[ -n "$A11Y_ADDRESS" ]] || return 1
    children=$(gdbus call --address "$A11Y_ADDRESS" --dest org.a11y.atspi.Registry \
        --object-path /org/a11y/atspi/accessible/root \
        --method org.a11y.atspi.Accessible.GetChildren 2>/dev/null) || return 1
    A11Y_APP=$(grep -oE "':[0-9.]+'" <<<"$children" | head -n1 | tr -d "'")
    [[ -n "$A11Y_APP" ]]
}

# Waits until the program has registered its tree; sets A11Y_ADDRESS and A11Y_APP.
a11y_find_app() {
    e2e_wait_until 10000 _a11y_app_registered || e2e_fail "the program published no accessible tree"
}

# a11y_name <object path>: the accessible name of one object.
a11y_name() {
    gdbus call --address "$A11Y_ADDRESS" --dest "$A11Y_APP" --object-path "$1" \
        --method org.freedesktop.DBus.Properties.Get org.a11y.atspi.Accessible Name 2>/dev/null |
        sed -E "s/^\(<'(.*)'>,\)$/\1/"
}

# a11y_walk [object path]: prints "path<TAB>name" for the object and everything below it.
a11y_walk() {
    local path=${1:-/org/a11y/atspi/accessible/root} children child
    printf '%s\t%s\n' "$path" "$(a11y_name "$path")"
    children=$(gdbus call --address "$A11Y_ADDRESS" --dest "$A11Y_APP" --object-path "$path" \
        --method org.a11y.atspi.Accessible.GetChildren 2>/dev/null) || return 0
    for child in $(grep -oE "/org/a11y/atspi/accessible/[0-9a-z]+" <<<"$children" || true); do
        a11y_walk "$child"
    done
}

# a11y_path_of <name>: the object path of the first object with that exact name.
a11y_path_of() {
    a11y_walk | awk -F '\t' -v name="$1" '$2 == name { print $1; exit }'
}
