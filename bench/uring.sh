#!/usr/bin/env bash
# shellcheck disable=SC2206 # IN_FLIGHT is a word list, split on purpose
# Times the read loop (scanvale_read_loop) against the same walk with its opens, reads and
# closes batched through io_uring (scanvale_uring_loop), on the benchmark corpora of
# bench/run.sh, then counts each one's system calls per file.
#
#   bench/uring.sh [corpus...]   (many, large or real as in bench/run.sh; default: many real)
#
# Every round runs the read loop, then the io_uring loop with each number of files in flight
# of IN_FLIGHT (default 16), so each of those runs and the read loop's run before it are a
# pair, close together in time. RUNS rounds (default 9). Printed are each one's median seconds
# and the median of the rounds' own ratios (io_uring loop / read loop, < 1: io_uring is faster).
# Both run on THREADS threads (default 2); LOOP_THREADS gives the read loop another number
# (cold, a read loop of many threads has many reads waiting on the disk at once, as the
# io_uring loop has many files in flight).
#
# Warm by default: the corpus is read once first, so every file's pages are cached. COLD=1
# drops every file's cached pages (bench/drop_pages.py, no root needed) before every timed run
# instead; folders and file metadata stay cached.
#
# RUNS=0 only counts. Then, unless SYSCALLS=0, each runs once under `strace -f -c` on the corpus (warm) and on an
# empty folder, and the difference divided by the corpus's files is shown: the calls that a
# file costs, what starting a program costs left out (as bench/syscalls.sh).
#
# BUILD_DIR, LOOP_BIN and BENCH_DIR as in bench/run.sh; URING_BIN times another io_uring loop.
# Run it under `flock -x /tmp/scanvale-cpu.lock` where builds share the machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
find_programs
dir=${BENCH_DIR:-/tmp/scanvale-bench}
runs=${RUNS:-9}
cold=${COLD:-0}
threads=${THREADS:-2}
loop_threads=${LOOP_THREADS:-$threads}
in_flight=(${IN_FLIGHT:-16})

need_built "liburing-dev for the io_uring loop" "$loop_bin" "$uring_bin"
status=0
"$uring_bin" --threads 1 "$here" >/dev/null || status=$?
((status == 0)) || { echo "the io_uring loop cannot run here (exit $status)" >&2; exit 1; }
((runs >= 9 || runs == 0)) || echo "note: $runs rounds; medians of fewer than 9 are rough" >&2

source "$here/corpora.sh"
if (($# > 0)); then corpora=("$@"); else corpora=(many real); fi
for name in "${corpora[@]}"; do
    corpus "$name"
done

# command_of <tool> <folder>: the tool's command line, into $cmd ("loop" or "uring-F").
command_of() {
    case $1 in
    loop) cmd=("$loop_bin" --threads "$loop_threads" "$2") ;;
    uring-*) cmd=("$uring_bin" --threads "$threads" --in-flight "${1#uring-}" "$2") ;;
    esac
}
# Microseconds one run takes (output discarded); cold, the pages are dropped first, untimed.
time_us() {
    local cmd t0 t1
    command_of "$1" "$root"
    [[ $cold == 1 ]] && python3 "$here/drop_pages.py" "$root"
    t0=${EPOCHREALTIME/./}
    "${cmd[@]}" >/dev/null
    t1=${EPOCHREALTIME/./}
    echo $((t1 - t0))
}
# median, seconds <tool> and ratio <tool> <other> [decimals], of $times.
source "$here/stats.sh"

tools=(loop)
for f in "${in_flight[@]}"; do
    tools+=("uring-$f")
done
for name in "${corpora[@]}"; do
    ((runs > 0)) || break
    if [[ $name == "${corpora[0]}" ]]; then
        state=$([[ $cold == 1 ]] && echo "cold file pages" || echo "warm page cache")
        echo "$state, $threads threads (read loop: $loop_threads), medians of $runs interleaved rounds (seconds; ratio: median of each round's io_uring loop / read loop)"
        printf "%-6s %9s" corpus loop
        for f in "${in_flight[@]}"; do printf " %9s %7s" "uring-$f" ratio; done
        printf "\n"
    fi
    root=$dir/$name
    [[ $cold == 1 ]] || warm "$root"
    declare -A times=()
    for _ in $(seq "$runs"); do
        for tool in "${tools[@]}"; do
            times[$tool]+=" $(time_us "$tool")"
        done
    done
    printf "%-6s %9s" "$name" "$(seconds loop)"
    for f in "${in_flight[@]}"; do
        printf " %9s %7s" "$(seconds "uring-$f")" "$(ratio "uring-$f" loop 3)"
    done
    printf "\n"
    unset times
done

[[ ${SYSCALLS:-1} == 1 ]] || exit 0
command -v strace >/dev/null || { echo "strace is missing: scripts/install-deps.sh" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"
for name in "${corpora[@]}"; do
    root=$dir/$name
    warm "$root"
    files=$(find "$root" -type f | wc -l)
    for tool in "${tools[@]}"; do
        command_of "$tool" "$root"
        strace -f -c -o "$work/$tool.corpus" "${cmd[@]}" >/dev/null
        command_of "$tool" "$work/empty"
        strace -f -c -o "$work/$tool.empty" "${cmd[@]}" >/dev/null
    done
    echo "$name: $files files; system calls per file (strace -f -c), warm, $threads threads (read loop: $loop_threads)"
    printf "%-16s" syscall
    printf " %9s" "${tools[@]}"
    printf "\n"
    # strace's table: "% time  seconds  usecs/call  calls  [errors]  syscall", then "total";
    # a corpus run and an empty-folder run of each tool, in the order of $tools.
    # shellcheck disable=SC2016 # the program is awk's
    for tool in "${tools[@]}"; do
        echo "$work/$tool.corpus" "$work/$tool.empty"
    done | xargs awk -v files="$files" -v n="${#tools[@]}" '
        FNR == 1 { ++run; tool = int((run + 1) / 2); sign = run % 2 ? 1 : -1 }
        /^ *[0-9]/ { calls[$NF, tool] += sign * $4; seen[$NF] = 1 }
        END {
            k = 0
            for (s in seen) if (s != "total") order[++k] = s
            for (i = 2; i <= k; ++i)
                for (j = i; j > 1 && order[j - 1] > order[j]; --j) {
                    t = order[j]; order[j] = order[j - 1]; order[j - 1] = t
                }
            order[++k] = "total"
            for (i = 1; i <= k; ++i) {
                s = order[i]; shown = s == "total"
                for (t = 1; t <= n; ++t) if (calls[s, t] / files >= 0.0005) shown = 1
                if (!shown) continue
                printf "%-16s", s
                for (t = 1; t <= n; ++t) {
                    v = calls[s, t] / files
                    printf " %9.3f", (v > -0.0005 && v < 0.0005 ? 0 : v) # no "-0.000"; unbracketed, ">" would redirect
                }
                printf "\n"
            }
        }'
done
