# Where the benchmark scripts find the programs they run. Sourced by them, which set $here (this
# folder).
#
# build_dir <program>: prints the build folder to take bench/<program> from: $BUILD_DIR when
# set, otherwise whichever of build/ (make bench) and build-ci/ (CI) built it last, build/ when
# neither has.
build_dir() {
    if [[ -n ${BUILD_DIR:-} ]]; then
        echo "$BUILD_DIR"
        return
    fi
    local root newest
    root=$(cd "$here/.." && pwd)
    newest=$(ls -t "$root/build/bench/$1" "$root/build-ci/bench/$1" 2>/dev/null | head -n 1 || true)
    if [[ -n $newest ]]; then
        echo "${newest%/bench/$1}"
    else
        echo "$root/build"
    fi
}

# find_programs: sets bench_bin, loop_bin and uring_bin to the benchmark program, the read loop
# and the io_uring loop to run: BENCH_BIN, LOOP_BIN and URING_BIN where set (another build, say),
# otherwise bench/<program> in build_dir's folder. A script checks the ones it runs (need_built).
# shellcheck disable=SC2034 # the scripts that source this file use them
find_programs() {
    bench_bin=${BENCH_BIN:-$(build_dir scanvale_bench)/bench/scanvale_bench}
    loop_bin=${LOOP_BIN:-$(build_dir scanvale_read_loop)/bench/scanvale_read_loop}
    uring_bin=${URING_BIN:-$(build_dir scanvale_uring_loop)/bench/scanvale_uring_loop}
}

# need_built <how to build> <program>...: stops the script with a message unless every program
# is there to run.
need_built() {
    local how=$1 program
    shift
    for program in "$@"; do
        [[ -x $program ]] || { echo "missing $program: build first ($how)" >&2; exit 1; }
    done
}
