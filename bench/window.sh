#!/usr/bin/env bash
# The window against its engine, same folders, same run: the real main window on a private X
# server (scripts/virtual_display.sh, with the openbox window manager) searches through its own
# "Search!" click (scanvale_window_bench), and the benchmark program runs the engine alone, its
# results taken in an offscreen Qt event loop (scanvale_bench). Warm page cache (read anew
# before each pair); RUNS (default 9) pairs, each an engine run and a window run close together
# in time. Prints the median seconds of each, the median of the pairs' own ratios (window /
# engine), and how often the window was painted in the median run (the paints of the folder
# list's header) for
#   (a)   corpus (a) of bench/run.sh, phrase absent
#   (c)   corpus (c), phrase absent
#   (a)e  corpus (a), phrase "e": the first file of every folder matches
# then what one yield with nothing to do costs in the shown window, on xcb and offscreen.
# BUILD_DIR, BENCH_DIR and PHRASE as in bench/run.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/build_dir.sh"
build=$(build_dir scanvale_window_bench)
window_bin=$build/bench/scanvale_window_bench
bench_bin=$build/bench/scanvale_bench
dir=${BENCH_DIR:-/tmp/scanvale-bench}
runs=${RUNS:-9}
absent=${PHRASE:-"Scanvale benchmark phrase"}

for tool in "$window_bin" "$bench_bin"; do
    [[ -x $tool ]] || { echo "missing $tool: build first (make bench-window)" >&2; exit 1; }
done
# The rest of this script runs on a private X server.
if [[ -z "${SCANVALE_VIRTUAL_DISPLAY:-}" ]]; then
    exec "$here/../scripts/virtual_display.sh" --window-manager -- "$0" "$@"
fi

source "$here/corpora.sh"
corpus many
corpus real

# engine <phrase> <folder>: the engine's seconds.
engine() {
    QT_QPA_PLATFORM=offscreen "$bench_bin" "$1" "$2" 2>&1 >/dev/null | sed -n 's/.* seconds \([0-9.]*\).*/\1/p'
}
# window <phrase> <folder>: "results N seconds S paints P".
window() {
    QT_QPA_PLATFORM=xcb "$window_bin" "$1" "$2"
}
field() { awk -v k="$1" '{ for (i = 1; i < NF; ++i) if ($i == k) print $(i + 1) }'; }
# The median of numbers given as arguments.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

((runs >= 9)) || echo "note: $runs pairs; medians of fewer than 9 are rough" >&2
echo "window on Xvfb $DISPLAY (window manager: openbox), engine offscreen; medians of $runs pairs"
printf "%-5s %8s %8s %10s %10s %8s %8s\n" search files results engine_s window_s ratio paints
row() { # label, phrase, folder
    local label=$1 phrase=$2 folder=$3
    warm "$folder"
    local files expected line results e w engines=() windows=() ratios=() paints=()
    files=$(find "$folder" -type f | wc -l)
    expected=$(QT_QPA_PLATFORM=offscreen "$bench_bin" "$phrase" "$folder" 2>/dev/null | wc -l)
    for _ in $(seq "$runs"); do
        warm "$folder"
        e=$(engine "$phrase" "$folder")
        line=$(window "$phrase" "$folder")
        w=$(field seconds <<<"$line")
        results=$(field results <<<"$line")
        engines+=("$e")
        windows+=("$w")
        ratios+=("$(awk -v a="$w" -v b="$e" 'BEGIN { print a / b }')")
        paints+=("$w $(field paints <<<"$line")")
        [[ $results -eq $expected ]] ||
            echo "  note: the window listed $results files, the engine $expected" >&2
    done
    local median_w
    median_w=$(median "${windows[@]}")
    printf "%-5s %8s %8s %10.3f %10.3f %7.2fx %8s\n" "$label" "$files" "$expected" \
        "$(median "${engines[@]}")" "$median_w" "$(median "${ratios[@]}")" \
        "$(printf '%s\n' "${paints[@]}" | sort -g | awk -v n="$runs" 'NR == int((n + 1) / 2) { print $2 }')"
}
row "(a)" "$absent" "$dir/many"
row "(c)" "$absent" "$dir/real"
row "(a)e" "e" "$dir/many"
echo "one yield with nothing to do, in the shown window:"
echo "  xcb:       $(QT_QPA_PLATFORM=xcb "$window_bin" --yield-cost)"
echo "  offscreen: $(QT_QPA_PLATFORM=offscreen "$window_bin" --yield-cost)"
