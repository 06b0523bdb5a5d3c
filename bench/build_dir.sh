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
