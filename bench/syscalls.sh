#!/usr/bin/env bash
# Counts the system calls of the engine (the benchmark program), the read loop and ripgrep on
# a benchmark corpus, warm, and prints them per file, with each one's peak memory: the counts
# explain the times of bench/run.sh. Each tool runs under `strace -f -c` (every thread
# counted; strace slows it, so no time is shown) on the corpus and on an empty folder, and the
# calls per file are the difference divided by the corpus's files, so what starting a program
# costs is left out. A third run under /usr/bin/time gives its maximum resident set.
#
#   bench/syscalls.sh [corpus...]   (many, large or real as in bench/run.sh; default many)
#
# Shown are the calls made at least once per 200 files by any of the three, the usual ones of
# a walk first, then the others, most frequent first. The engine searches with --match-case and ripgrep with `-l -F -uuu`, both with
# their default threads, as the loop. BUILD_DIR, BENCH_BIN, LOOP_BIN, BENCH_DIR and PHRASE as
# in bench/run.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
find_programs
dir=${BENCH_DIR:-/tmp/scanvale-bench}
phrase=${PHRASE:-"Scanvale benchmark phrase"}
export QT_QPA_PLATFORM=offscreen

need_built "make bench" "$bench_bin" "$loop_bin"
for tool in rg strace /usr/bin/time; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is missing: scripts/install-deps.sh --bench" >&2; exit 1; }
done
source "$here/corpora.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"

# command_of <tool> <folder>: the tool's command line, into $cmd.
command_of() {
    case $1 in
    engine) cmd=("$bench_bin" --match-case "$phrase" "$2") ;;
    loop) cmd=("$loop_bin" "$2") ;;
    rg) cmd=(rg -l -F -uuu -- "$phrase" "$2") ;;
    esac
}

for name in "${@:-many}"; do
    corpus "$name"
    root=$dir/$name
    warm "$root"
    files=$(find "$root" -type f | wc -l)
    for tool in engine loop rg; do
        command_of "$tool" "$root"
        strace -f -c -o "$work/$tool.$name" "${cmd[@]}" >/dev/null 2>&1 || true
        /usr/bin/time -f %M -o "$work/$tool.kib" "${cmd[@]}" >/dev/null 2>&1 || true
        command_of "$tool" "$work/empty"
        strace -f -c -o "$work/$tool.empty" "${cmd[@]}" >/dev/null 2>&1 || true
    done
    echo "$name: $files files; system calls per file (strace -f -c), warm"
    # strace's table: "% time  seconds  usecs/call  calls  [errors]  syscall", then "total".
    # The files come in pairs, corpus and empty folder, of the engine, the loop and ripgrep.
    awk -v files="$files" '
        FNR == 1 { ++run; tool = int((run + 1) / 2); sign = run % 2 ? 1 : -1 }
        /^ *[0-9]/ { calls[$NF, tool] += sign * $4; seen[$NF] = 1 }
        END {
            split("openat newfstatat statx fstat read pread64 preadv2 getdents64 close fcntl " \
                  "futex mmap munmap madvise lseek", usual, " ")
            n = 0
            for (i = 1; i in usual; ++i) { order[++n] = usual[i]; named[usual[i]] = 1 }
            first = n + 1
            for (s in seen) {
                if (s in named || s == "total") continue
                most[s] = 0
                for (t = 1; t <= 3; ++t) if (calls[s, t] > most[s]) most[s] = calls[s, t]
                for (j = ++n; j > first && most[order[j - 1]] < most[s]; --j) order[j] = order[j - 1]
                order[j] = s
            }
            order[++n] = "total"
            printf "%-18s %10s %10s %10s\n", "syscall", "engine", "loop", "rg"
            for (i = 1; i <= n; ++i) {
                s = order[i]; shown = s == "total"
                for (t = 1; t <= 3; ++t) if (calls[s, t] / files >= 0.005) shown = 1
                if (!shown) continue
                printf "%-18s", s
                for (t = 1; t <= 3; ++t) {
                    v = calls[s, t] / files
                    printf " %10.3f", (v > -0.0005 && v < 0.0005 ? 0 : v) # no "-0.000"; unbracketed, ">" would redirect
                }
                printf "\n"
            }
        }' "$work"/engine.{"$name",empty} "$work"/loop.{"$name",empty} "$work"/rg.{"$name",empty}
    # /usr/bin/time puts a note of a failing status (ripgrep's "nothing found") before it.
    printf "%-18s %10s %10s %10s\n" "peak memory (KiB)" "$(tail -n 1 "$work/engine.kib")" \
        "$(tail -n 1 "$work/loop.kib")" "$(tail -n 1 "$work/rg.kib")"
done
