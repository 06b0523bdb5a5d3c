#!/usr/bin/env bash
# shellcheck disable=SC2086,SC2206 # word lists (a tool's times, ONE_WORKER) are split on purpose
# Builds the benchmark corpora (once) under ${BENCH_DIR:-/tmp/scanvale-bench} and compares the
# engine (the benchmark program: the search pipeline with its results taken in a real Qt event
# loop) with ripgrep, in both comparison modes. Every tool runs RUNS times (default 9), taken in
# turns: each round runs every tool once, so an engine run and the run it is compared with are
# a pair, close together in time. Printed are the median seconds of each tool and, for each
# comparison, the median of the rounds' own ratios (ratio < 1: the engine is faster).
#
#   warm (default): the page cache holds every file (dropped and read in one pass before a
#     corpus's rounds, and read anew before each round). The engine with its default workers
#     against ripgrep with its default threads (`rg -l -F -uuu`) and against the read loop
#     (scanvale_read_loop: the same threads reading every file and doing nothing else, the
#     least time any search can take) on (a), (b) and (c); one worker against `rg -j1` and
#     the loop on one thread.
#   cold (COLD=1): every file's cached pages are dropped (bench/drop_pages.py, no root needed)
#     before every timed run of every tool. The engine against whichever of `rg -j8` and
#     `rg -j32` has the smaller median, on (a) and (c); one thread against `rg -j1`.
#
#   (a) many:  60,000 text files of 1-16 KiB in ~3,000 folders up to 6 deep
#   (b) large: 40 text files of 25 MB
#   (c) real:  a copy of /usr/include and /usr/share (symbolic links removed)
# The phrase occurs nowhere, so every byte of every text file is scanned.
#
# BUILD_DIR is the build folder to take the benchmark program and the read loop from (default:
# whichever of build/ and build-ci/ built it last). BENCH_BIN times another benchmark program
# (an older build, say); ONE_WORKER holds the options that make it search on one thread
# (default "--workers 1 --readers 0"; empty for a program that has no other way). LOOP_BIN
# times another read loop. CORPORA picks the corpora (default "many large real" warm, "many
# real" cold), PHRASE the phrase. Fewer than 9 runs give only a rough figure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
find_programs
one_worker=(${ONE_WORKER---workers 1 --readers 0})
dir=${BENCH_DIR:-/tmp/scanvale-bench}
runs=${RUNS:-9}
cold=${COLD:-0}
phrase=${PHRASE:-"Scanvale benchmark phrase"}
if [[ $cold == 1 ]]; then
    corpora=${CORPORA:-many real}
    tools=(engine rg-j8 rg-j32 one rg-j1)
else
    corpora=${CORPORA:-many large real}
    tools=(engine loop rg one loop-j1 rg-j1)
fi
export QT_QPA_PLATFORM=offscreen

need_built "make bench" "$bench_bin" "$loop_bin"
command -v rg >/dev/null || { echo "ripgrep is missing: scripts/install-deps.sh --bench" >&2; exit 1; }
((runs >= 9)) || echo "note: $runs runs of each; medians of fewer than 9 are rough" >&2

source "$here/corpora.sh"
for name in many large real; do
    corpus "$name"
done

# The command line of a tool for the current corpus and comparison mode, into $cmd.
command_of() {
    case $1 in
    engine) cmd=("$bench_bin" "${eng[@]}" "$phrase" "$root") ;;
    one) cmd=("$bench_bin" "${one_worker[@]}" "${eng[@]}" "$phrase" "$root") ;;
    loop) cmd=("$loop_bin" "$root") ;;
    loop-j1) cmd=("$loop_bin" --threads 1 "$root") ;;
    rg) cmd=(rg -l -F -uuu "${ri[@]}" -- "$phrase" "$root") ;;
    rg-j*) cmd=(rg "${1#rg}" -l -F -uuu "${ri[@]}" -- "$phrase" "$root") ;;
    esac
}

# Microseconds one run of a tool takes (output discarded); in the cold mode the corpus's pages
# are dropped first, outside the timing.
time_us() {
    local cmd t0 t1
    command_of "$1"
    [[ $cold == 1 ]] && python3 "$here/drop_pages.py" "$root"
    t0=${EPOCHREALTIME/./}
    "${cmd[@]}" >/dev/null 2>&1 || true
    t1=${EPOCHREALTIME/./}
    echo $((t1 - t0))
}
# median, seconds <tool> and ratio <tool> <other>, of $times.
source "$here/stats.sh"

header="medians of $runs interleaved runs (seconds; ratios: medians of each round's ratio, < 1: the engine is faster)"
if [[ $cold == 1 ]]; then
    echo "cold file pages, $header"
    printf "%-6s %-8s %7s %7s %7s %8s | %8s %7s %9s\n" corpus mode engine rg-j8 rg-j32 \
        eng/best 1-worker rg-j1 1w/rg-j1
else
    echo "warm page cache, $header"
    printf "%-6s %-8s %7s %7s %7s %8s %7s | %8s %7s %7s %8s %8s\n" corpus mode engine loop rg \
        eng/loop eng/rg 1-worker loop-j1 rg-j1 1w/loop 1w/rg-j1
fi
for corpus in $corpora; do
    root=$dir/$corpus
    if [[ $cold != 1 ]]; then
        # The corpus's pages are dropped and read again in one pass first, so every run finds
        # them as a sequential read leaves them: pages let go under memory pressure and read
        # back here and there later made reading corpus (b) take 1.2 to 1.7 times as long, not
        # in the same measure for every tool.
        python3 "$here/drop_pages.py" "$root"
        warm "$root"
    fi
    for mode in exact caseless; do
        if [[ $mode == exact ]]; then eng=(--match-case); ri=(); else eng=(); ri=(-i); fi
        found=$("$bench_bin" "${eng[@]}" "$phrase" "$root" 2>/dev/null | wc -l)
        declare -A times=()
        for _ in $(seq "$runs"); do
            # This machine's page cache lets a few files go every few seconds: each round
            # starts warm again.
            [[ $cold == 1 ]] || warm "$root"
            for tool in "${tools[@]}"; do
                times[$tool]+=" $(time_us "$tool")"
            done
        done
        if [[ $cold == 1 ]]; then
            best=rg-j8
            awk -v a="$(median ${times[rg-j32]})" -v b="$(median ${times[rg-j8]})" \
                'BEGIN { exit !(a < b) }' && best=rg-j32
            printf "%-6s %-8s %7s %7s %7s %8s | %8s %7s %9s\n" "$corpus" "$mode" \
                "$(seconds engine)" "$(seconds rg-j8)" "$(seconds rg-j32)" \
                "$(ratio engine "$best")" "$(seconds one)" "$(seconds rg-j1)" "$(ratio one rg-j1)"
        else
            printf "%-6s %-8s %7s %7s %7s %8s %7s | %8s %7s %7s %8s %8s\n" "$corpus" "$mode" \
                "$(seconds engine)" "$(seconds loop)" "$(seconds rg)" "$(ratio engine loop)" \
                "$(ratio engine rg)" "$(seconds one)" "$(seconds loop-j1)" "$(seconds rg-j1)" \
                "$(ratio one loop-j1)" "$(ratio one rg-j1)"
        fi
        unset times
        [[ $found -eq 0 ]] || echo "  note: the engine listed $found files; the phrase should occur nowhere" >&2
    done
    if [[ $cold != 1 ]]; then
        "$bench_bin" --match-case "$phrase" "$root" 2>&1 >/dev/null |
            sed -n "/^files examined/s/^/  $corpus: engine: /p" >&2
        "$loop_bin" "$root" | sed "s/^/  $corpus: loop:   /" >&2
    fi
done
