#!/usr/bin/env bash
# Builds the benchmark corpora (once) under ${BENCH_DIR:-/tmp/scanvale-bench} and compares the
# engine (the benchmark program: the search pipeline with its results taken in a real Qt event
# loop) with ripgrep, in both comparison modes. Each tool runs RUNS times (default 3), the runs
# of all tools interleaved, and the best wall-clock time of each is printed with the ratios.
#
#   warm (default): the page cache holds every file. The engine with its default workers
#     against ripgrep with its default threads (`rg -l -F -uuu`) on (a), (b) and (c); one
#     worker against `rg -j1`.
#   cold (COLD=1): every file's cached pages are dropped (bench/drop_pages.py, no root needed)
#     before every timed run of every tool. The engine against the better of `rg -j8` and
#     `rg -j32` on (a) and (c); one thread against `rg -j1`.
#
#   (a) many:  60,000 text files of 1-16 KiB in ~3,000 folders up to 6 deep
#   (b) large: 40 text files of 25 MB
#   (c) real:  a copy of /usr/include and /usr/share (symbolic links removed)
# The phrase occurs nowhere, so every byte of every text file is scanned.
#
# BUILD_DIR is the build folder to take the benchmark program from (default: whichever of
# build/ and build-ci/ built it last). BENCH_BIN times another benchmark program (an older
# build, say); ONE_WORKER holds the options that make it search on one thread (default
# "--workers 1 --readers 0"; empty for a program that has no other way). CORPORA picks the corpora (default "many large real" warm, "many real" cold).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
bench_bin=${BENCH_BIN:-$(build_dir scanvale_bench)/bench/scanvale_bench}
one_worker=(${ONE_WORKER---workers 1 --readers 0})
dir=${BENCH_DIR:-/tmp/scanvale-bench}
runs=${RUNS:-3}
cold=${COLD:-0}
phrase=${PHRASE:-"Scanvale benchmark phrase"}
if [[ $cold == 1 ]]; then
    corpora=${CORPORA:-many real}
else
    corpora=${CORPORA:-many large real}
fi
export QT_QPA_PLATFORM=offscreen

[[ -x $bench_bin ]] || { echo "missing $bench_bin: build first (make bench)" >&2; exit 1; }
command -v rg >/dev/null || { echo "ripgrep is missing: scripts/install-deps.sh --bench" >&2; exit 1; }

source "$here/corpora.sh"
for name in many large real; do
    corpus "$name"
done

# Milliseconds one run of a command takes (output discarded); in the cold mode the corpus's
# pages are dropped first, outside the timing.
time_ms() {
    [[ $cold == 1 ]] && python3 "$here/drop_pages.py" "$root"
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000000))
}
seconds() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
min() { echo $(($1 < $2 ? $1 : $2)); }

if [[ $cold == 1 ]]; then
    echo "cold file pages, best of $runs interleaved runs (seconds; ratio < 1: the engine is faster)"
    printf "%-6s %-8s %7s %7s %7s %8s | %8s %7s %9s\n" corpus mode engine rg-j8 rg-j32 \
        eng/best 1-worker rg-j1 1w/rg-j1
else
    echo "warm page cache, best of $runs interleaved runs (seconds; ratio < 1: the engine is faster)"
    printf "%-6s %-8s %7s %7s %7s | %8s %7s %9s\n" corpus mode engine rg eng/rg 1-worker rg-j1 \
        1w/rg-j1
fi
for corpus in $corpora; do
    root=$dir/$corpus
    [[ $cold == 1 ]] || find "$root" -type f -print0 | xargs -0 cat >/dev/null 2>&1 || true
    for mode in exact caseless; do
        if [[ $mode == exact ]]; then eng=(--match-case); ri=(); else eng=(); ri=(-i); fi
        found=$("$bench_bin" "${eng[@]}" "$phrase" "$root" 2>/dev/null | wc -l)
        engine=$(time_ms "$bench_bin" "${eng[@]}" "$phrase" "$root")
        one=$(time_ms "$bench_bin" "${one_worker[@]}" "${eng[@]}" "$phrase" "$root")
        rg1=$(time_ms rg -j1 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")
        if [[ $cold == 1 ]]; then
            rg8=$(time_ms rg -j8 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")
            rg32=$(time_ms rg -j32 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")
        else
            rgd=$(time_ms rg -l -F -uuu "${ri[@]}" -- "$phrase" "$root")
        fi
        for _ in $(seq 2 "$runs"); do
            engine=$(min "$engine" "$(time_ms "$bench_bin" "${eng[@]}" "$phrase" "$root")")
            one=$(min "$one" "$(time_ms "$bench_bin" "${one_worker[@]}" "${eng[@]}" "$phrase" "$root")")
            rg1=$(min "$rg1" "$(time_ms rg -j1 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")")
            if [[ $cold == 1 ]]; then
                rg8=$(min "$rg8" "$(time_ms rg -j8 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")")
                rg32=$(min "$rg32" "$(time_ms rg -j32 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")")
            else
                rgd=$(min "$rgd" "$(time_ms rg -l -F -uuu "${ri[@]}" -- "$phrase" "$root")")
            fi
        done
        if [[ $cold == 1 ]]; then
            printf "%-6s %-8s %7s %7s %7s %8s | %8s %7s %9s\n" "$corpus" "$mode" \
                "$(seconds "$engine")" "$(seconds "$rg8")" "$(seconds "$rg32")" \
                "$(ratio "$engine" "$(min "$rg8" "$rg32")")" "$(seconds "$one")" \
                "$(seconds "$rg1")" "$(ratio "$one" "$rg1")"
        else
            printf "%-6s %-8s %7s %7s %7s | %8s %7s %9s\n" "$corpus" "$mode" "$(seconds "$engine")" \
                "$(seconds "$rgd")" "$(ratio "$engine" "$rgd")" "$(seconds "$one")" \
                "$(seconds "$rg1")" "$(ratio "$one" "$rg1")"
        fi
        [[ $found -eq 0 ]] || echo "  note: the engine listed $found files; the phrase should occur nowhere" >&2
    done
    [[ $cold == 1 ]] || "$bench_bin" --match-case "$phrase" "$root" 2>&1 >/dev/null | sed "s/^/  $corpus: /" >&2
done
