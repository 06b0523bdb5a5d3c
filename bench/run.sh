#!/usr/bin/env bash
# Builds the benchmark corpora (once) under ${BENCH_DIR:-/tmp/scanvale-bench} and times, on a
# warm page cache, the engine (bench program, one Qt event-loop yield per file and block), a bare
# read() loop, grep -rlF and single-threaded ripgrep, in both comparison modes. Prints the best
# of RUNS (default 3) wall-clock times and the engine's ratio to each of the others.
#   (a) many:  60,000 text files of 1-16 KiB in ~3,000 folders up to 6 deep
#   (b) large: 40 text files of 25 MB
#   (c) real:  a copy of /usr/include and /usr/share (symbolic links removed)
# The phrase occurs nowhere, so every byte of every text file is scanned.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The build folder whose benchmark program was built last (make bench builds build/ or, in CI,
# build-ci/); BUILD_DIR overrides.
newest=$(ls -t "$here"/../build/bench/scanvale_bench "$here"/../build-ci/bench/scanvale_bench \
    2>/dev/null | head -n 1 || true)
build=${BUILD_DIR:-${newest%/bench/scanvale_bench}}
bench_bin=$build/bench/scanvale_bench
read_bin=$build/bench/scanvale_read_loop
dir=${BENCH_DIR:-/tmp/scanvale-bench}
runs=${RUNS:-3}
phrase=${PHRASE:-"Scanvale benchmark phrase"}
export QT_QPA_PLATFORM=offscreen

for tool in "$bench_bin" "$read_bin"; do
    [[ -x $tool ]] || { echo "missing $tool: build first (make bench)" >&2; exit 1; }
done
command -v rg >/dev/null || { echo "ripgrep is missing: scripts/install-deps.sh --bench" >&2; exit 1; }

source "$here/corpora.sh"
for name in many large real; do
    corpus "$name"
done

# Best wall-clock seconds of $runs runs of a command (output discarded).
best() {
    local best_t=""
    for _ in $(seq "$runs"); do
        local t0 t1
        t0=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || true
        t1=$(date +%s.%N)
        best_t=$(awk -v a="$t1" -v b="$t0" -v c="$best_t" \
            'BEGIN { d = a - b; if (c == "" || d < c) c = d; printf "%.3f", c }')
    done
    echo "$best_t"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf "%-6s %-6s %8s %8s %8s %8s %10s %10s %10s\n" corpus mode engine read grep rg \
    eng/read eng/grep eng/rg
for corpus in many large real; do
    root=$dir/$corpus
    find "$root" -type f -print0 | xargs -0 cat >/dev/null 2>&1 || true # warm the page cache
    for mode in exact caseless; do
        if [[ $mode == exact ]]; then
            eng=(--match-case); gi=(); ri=()
        else
            eng=(); gi=(-i); ri=(-i)
        fi
        found=$("$bench_bin" "${eng[@]}" "$phrase" "$root" 2>/dev/null | wc -l)
        t_eng=$(best "$bench_bin" "${eng[@]}" "$phrase" "$root")
        t_read=$(best "$read_bin" "$root")
        t_grep=$(best grep -rlF "${gi[@]}" -- "$phrase" "$root")
        t_rg=$(best rg -j1 -l -F -uuu "${ri[@]}" -- "$phrase" "$root")
        printf "%-6s %-8s %8s %8s %8s %8s %10s %10s %10s\n" "$corpus" "$mode" "$t_eng" "$t_read" \
            "$t_grep" "$t_rg" "$(ratio "$t_eng" "$t_read")" "$(ratio "$t_eng" "$t_grep")" \
            "$(ratio "$t_eng" "$t_rg")"
        [[ $found -eq 0 ]] || echo "  note: the engine listed $found files; the phrase should occur nowhere" >&2
    done
    "$bench_bin" --match-case "$phrase" "$root" 2>&1 >/dev/null | sed "s/^/  $corpus: /" >&2
done
