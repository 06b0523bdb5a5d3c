#!/usr/bin/env bash
# The latency benchmark on a stalled mount: the real window searches a FUSE file system whose
# reads never answer (tests/search/stall_fs.py, Debian's python3-fusepy); "Stop!" is clicked
# after STOP_MS (default 2000). Prints the window's gaps during the stalled search and how
# long "Done." took after "Stop!".
#   bench/stalled_latency.sh [build folder]
# The build folder defaults to BUILD_DIR, or else whichever of build/ and build-ci/ built the
# benchmark program last.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
build=${1:-$(build_dir scanvale_latency_bench)}
bench=$build/bench/scanvale_latency_bench
[[ -x $bench ]] || { echo "missing $bench: build first" >&2; exit 1; }
/usr/bin/python3 -c 'import fusepy' 2>/dev/null ||
    { echo "/usr/bin/python3 cannot import fusepy (Debian package python3-fusepy)" >&2; exit 1; }
work=$(mktemp -d)
mkdir "$work/mount" "$work/control"
server=""
cleanup() {
    touch "$work/control/release"
    fusermount3 -u -z "$work/mount" 2>/dev/null || true
    [[ -n $server ]] && wait "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
/usr/bin/python3 "$here/../tests/search/stall_fs.py" "$work/mount" "$work/control" &
server=$!
for _ in $(seq 500); do
    [[ -e $work/mount/b.txt ]] && break
    sleep 0.02
done
[[ -e $work/mount/b.txt ]] || { echo "the FUSE file system did not mount" >&2; exit 1; }
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" needle "$work/mount" "${STOP_MS:-2000}" &
bench_pid=$!
# The benchmark's main thread ends once it has printed its figures; a worker inside the stalled
# read keeps the process (a zombie) until that read is answered, so the read is released here.
main_thread_ended() {
    [[ ! -e /proc/$bench_pid ]] || [[ $(awk '{print $3}' "/proc/$bench_pid/stat") == Z ]]
}
until main_thread_ended; do
    sleep 0.05
done
[[ -e $work/control/stalled-read ]] && echo "(a read was stalled while the window was measured)"
touch "$work/control/release"
wait "$bench_pid"
