#!/usr/bin/env bash
# Runs every fuzzer for a while from the corpus kept in the repository.
#   fuzz/run.sh <build folder> [seconds per fuzzer, default 60]
# New inputs go to a scratch copy of the corpus, so the repository's stays small; a crash
# leaves its input in the build folder and fails the run.
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
for fuzzer in matcher text_sniff; do
    scratch="$build/corpus-$fuzzer"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    cp "$here/corpus/$fuzzer"/* "$scratch"/
    echo "fuzz_$fuzzer: ${seconds}s"
    (cd "$build" && "./fuzz_$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$scratch" 2>"$build/fuzz_$fuzzer.log") || {
        tail -n 40 "$build/fuzz_$fuzzer.log"
        exit 1
    }
    grep -E "stat::number_of_executed_units|Done" "$build/fuzz_$fuzzer.log" || true
done
