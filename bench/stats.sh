# The benchmark scripts' statistics of timed runs. Sourced by them; seconds and ratio read the
# caller's associative array $times: for each tool, its runs' microseconds as words, one per
# round in the order of the rounds.
# shellcheck shell=bash
# shellcheck disable=SC2086,SC2206 # the runs' times are split into words on purpose
# shellcheck disable=SC2154 # $times is the caller's

# median <number>...: their median, with four decimals.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { printf "%.4f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# seconds <tool>: the median of the tool's runs, in seconds with three decimals.
seconds() { awk -v t="$(median ${times[$1]})" 'BEGIN { printf "%.3f", t / 1e6 }'; }

# ratio <tool> <other> [decimals]: the median of the rounds' ratios of one tool's time to the
# other's (each round's runs are a pair, close together in time), with that many decimals
# (default 2).
ratio() {
    local a=(${times[$1]}) b=(${times[$2]}) quotients=() i
    for i in "${!a[@]}"; do
        quotients+=("$(awk -v a="${a[i]}" -v b="${b[i]}" 'BEGIN { print a / b }')")
    done
    awk -v r="$(median "${quotients[@]}")" -v format="%.${3:-2}f" 'BEGIN { printf format, r }'
}
