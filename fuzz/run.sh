#!/usr/bin/env bash
# Runs every fuzzer for a while from the corpus kept in the repository.
#   fuzz/run.sh <build folder> [seconds per fuzzer, default 60]
# New inputs go to a scratch copy of the corpus (fuzz/corpus/<fuzzer>, and the seeds the build
# writes into <build folder>/corpus-seeds/<fuzzer>), so the repository's stays small; a crash
# leaves its input in the build folder and fails the run. The pointer-file fuzzer takes inputs
# long enough for a 32 x 32 pointer, and fails on any single allocation above 64 MiB.
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
for fuzzer in matcher text_sniff pointer_file; do
    scratch="$build/corpus-$fuzzer"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    for seeds in "$here/corpus/$fuzzer" "$build/corpus-seeds/$fuzzer"; do
        [[ ! -d $seeds ]] || cp "$seeds"/* "$scratch"/
    done
    limits=(-max_len=4096)
    [[ $fuzzer != pointer_file ]] || limits=(-max_len=8192 -malloc_limit_mb=64)
    echo "fuzz_$fuzzer: ${seconds}s"
    (cd "$build" && "./fuzz_$fuzzer" -max_total_time="$seconds" "${limits[@]}" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$scratch" 2>"$build/fuzz_$fuzzer.log") || {
        tail -n 40 "$build/fuzz_$fuzzer.log"
        exit 1
    }
    grep -E "stat::number_of_executed_units|Done" "$build/fuzz_$fuzzer.log" || true
done
