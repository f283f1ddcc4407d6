#!/usr/bin/env bash
# Loading and saving a log as whole processes, beside `wc -l` and `cp` on the
# same file in the same run: logs of 10 000, 100 000 and 1 000 000 sessions,
# in the page cache, best of several runs each. Wall times, and in brackets
# the processor time (user + system), which a busy machine disturbs less.
# Ends with the figures against the targets: a load of the largest log within
# 3 times `wc -l`, its write within 3 times `cp`, peak memory at most 1.5 times
# the file, each 10-fold step of the load at most 10.5 times the time.
#   tools/log-timing.sh [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
bench="$top/build/native/kibolt_bench"
cmake -S "$top" -B "$top/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build/native" --target kibolt_bench -j2 >/dev/null
dir="$top/build/log-timing"
mkdir -p "$dir"
trap 'rm -f "$dir"/*.copy "$dir"/*.saved "$dir"/*.kbtmp' EXIT

# "wall cpu" in ms, the best of $runs runs of "$@" for each.
best() {
    local wall="" cpu="" line TIMEFORMAT='%R %U %S'
    for _ in $(seq "$runs"); do
        line=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
        read -r w u s <<<"$line"
        wall=$(awk -v a="$w" -v b="$wall" 'BEGIN { a *= 1000; print (b == "" || a < b) ? a : b }')
        cpu=$(awk -v u="$u" -v s="$s" -v b="$cpu" 'BEGIN { a = (u + s) * 1000; print (b == "" || a < b) ? a : b }')
    done
    echo "$wall $cpu"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }'; }
show() { printf '%4.0f (%3.0f)' "$1" "$2"; }

# The program's own writing, best of $runs (kibolt_bench --save reports it).
best_write() {
    local best="" ms
    for _ in $(seq "$runs"); do
        ms=$("$bench" --save "$1" "$2" | sed -E 's/.*: ([0-9.]+) ms/\1/')
        best=$(awk -v a="$ms" -v b="$best" 'BEGIN { print (b == "" || a < b) ? a : b }')
    done
    echo "$best"
}

echo "milliseconds, wall (processor); ratios of wall times (of processor times)"
printf '%-8s %6s | %-10s %-10s %-10s %-10s | %-10s %6s %5s | %s\n' sessions MB "wc -l" "read only" load ratio cp write \
    ratio "peak memory"
previous_wall="" previous_cpu="" steps=""
for n in 10000 100000 1000000; do
    log="$dir/s$n.log"
    [ -f "$log" ] || "$bench" --make "$n" "$log"
    cat "$log" >/dev/null  # into the page cache
    mb=$(awk -v s="$(stat -c %s "$log")" 'BEGIN { printf "%.1f", s / 1e6 }')
    read -r wc_wall wc_cpu <<<"$(best wc -l "$log")"
    read -r read_wall read_cpu <<<"$(best "$bench" --read "$log")"
    read -r load_wall load_cpu <<<"$(best "$bench" --load "$log")"
    read -r cp_wall cp_cpu <<<"$(best cp "$log" "$log.copy")"
    write_ms=$(best_write "$log" "$log.saved")
    cmp -s "$log" "$log.saved" || { echo "the saved log differs from the loaded one" >&2; exit 1; }
    peak=$("$bench" --load "$log" | sed -E 's/.*peak RSS ([0-9.]+ MB = [0-9.]+x) file size.*/\1/')
    load_ratio="$(ratio "$load_wall" "$wc_wall") ($(ratio "$load_cpu" "$wc_cpu"))"
    write_ratio=$(ratio "$write_ms" "$cp_wall")
    printf '%-8s %6s | %s %s %s %-10s | %s %6.1f %5s | %s\n' "$n" "$mb" "$(show "$wc_wall" "$wc_cpu")" \
        "$(show "$read_wall" "$read_cpu")" "$(show "$load_wall" "$load_cpu")" "$load_ratio" \
        "$(show "$cp_wall" "$cp_cpu")" "$write_ms" "$write_ratio" "$peak"
    if [ -n "$previous_wall" ]; then
        step="$(ratio "$load_wall" "$previous_wall") ($(ratio "$load_cpu" "$previous_cpu"))"
        echo "         load: x$step the time for 10 times the sessions"
        steps="$steps $(ratio "$load_wall" "$previous_wall")"
    fi
    previous_wall=$load_wall previous_cpu=$load_cpu
done

# The targets, on the figures of the largest log (wall times; processor times in brackets).
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t) ? "met" : "NOT met" }'; }
peak_ratio=$(sed -E 's/.*= ([0-9.]+)x/\1/' <<<"$peak")
load_1m=$(ratio "$load_wall" "$wc_wall")
worst_step=$(tr ' ' '\n' <<<"$steps" | sort -g | tail -n 1)
echo
echo "targets, 1 000 000 sessions:"
printf '  load        %-12s x wc -l     at most 3     %s\n' "$load_ratio" "$(verdict "$load_1m" 3)"
printf '  write       %-12s x cp        at most 3     %s\n' "$write_ratio" "$(verdict "$write_ratio" 3)"
printf '  peak memory %-12s x file size at most 1.5   %s\n' "$peak_ratio" "$(verdict "$peak_ratio" 1.5)"
printf '  10-fold     %-12s x the time  at most 10.5  %s (each step)\n' "${steps# }" "$(verdict "$worst_step" 10.5)"
