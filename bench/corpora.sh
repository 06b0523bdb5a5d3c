# Builds the benchmark corpora under $dir once; a corpus is kept for reruns once its build
# finished (a marker file beside it says so). Sourced by the benchmark scripts, which set
# $dir and $here.
#   (a) many:  60,000 text files of 1-16 KiB in ~3,000 folders up to 6 deep
#   (b) large: 40 text files of 25 MB
#   (c) real:  a copy of /usr/include and /usr/share (symbolic links removed)

make_corpus() { # name, command...
    local name=$1; shift
    if [[ ! -f $dir/$name.done ]]; then
        echo "building corpus $name in $dir/$name ..." >&2
        rm -rf "${dir:?}/$name"
        "$@"
        touch "$dir/$name.done"
    fi
}

copy_real() {
    mkdir -p "$dir/real"
    cp -a /usr/include "$dir/real/include"
    cp -a /usr/share "$dir/real/share"
    find "$dir/real" -type l -delete
}

# corpus <many|large|real>: builds the corpus unless it is there.
corpus() {
    mkdir -p "$dir"
    case $1 in
    many | large) make_corpus "$1" python3 "$here/make_corpus.py" "$1" "$dir/$1" ;;
    real) make_corpus real copy_real ;;
    esac
}

# Reads every file of a folder once, so a timed run finds its pages in the cache.
warm() {
    find "$1" -type f -print0 | xargs -0 cat >/dev/null 2>&1 || true
}
