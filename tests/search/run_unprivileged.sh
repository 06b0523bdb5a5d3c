#!/bin/sh
# Runs a test program as the unprivileged user nobody when started as root, so that checks
# of unreadable files and folders mean something. Exits 77 (a skip) with the reason when the
# run is needless (not root) or impossible (no setpriv, no such user, no folder nobody can reach).
set -u
program=$1
shift
if [ "$(id -u)" != 0 ]; then
    echo "skip: not running as root, the plain run of $program already checks permissions"
    exit 77
fi
if ! command -v setpriv >/dev/null 2>&1; then
    echo "skip: setpriv is not installed, cannot drop root"
    exit 77
fi
if ! id nobody >/dev/null 2>&1; then
    echo "skip: there is no user nobody to run as"
    exit 77
fi
group=$(getent group nogroup >/dev/null 2>&1 && echo nogroup || echo nobody)
as_nobody() {
    setpriv --reuid=nobody --regid="$group" --clear-groups --reset-env "$@"
}
copy=""
if ! as_nobody test -x "$program"; then
    # The build folder is closed to other users (a clone in root's home, say): run a copy of
    # the program (its own code is linked in statically) from a folder nobody can reach.
    copy=$(mktemp -d) || exit 1
    chmod 755 "$copy"
    cp "$program" "$copy/" || exit 1
    program="$copy/$(basename "$program")"
    if ! as_nobody test -x "$program"; then
        rm -rf "$copy"
        echo "skip: nobody cannot reach $program even in a temporary folder"
        exit 77
    fi
fi
# A temporary folder nobody can write to; the sanitizers' options pass through.
as_nobody env TMPDIR=/tmp QT_QPA_PLATFORM=offscreen \
    ${ASAN_OPTIONS+"ASAN_OPTIONS=$ASAN_OPTIONS"} ${UBSAN_OPTIONS+"UBSAN_OPTIONS=$UBSAN_OPTIONS"} \
    ${TSAN_OPTIONS+"TSAN_OPTIONS=$TSAN_OPTIONS"} "$program" "$@"
status=$?
[ -n "$copy" ] && rm -rf "$copy"
exit "$status"
