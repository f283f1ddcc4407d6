#!/usr/bin/env bash
# Loading and saving a log as whole processes, beside `wc -l` and `cp` on the
# same file in the same run: logs of 10 000, 100 000 and 1 000 000 sessions,
# in the page cache, best of several runs each.
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

# Best wall time in ms of running "$@" $runs times.
best() {
    local best="" t0 t1 ms
    for _ in $(seq "$runs"); do
        t0=$(date +%s%N)
        "$@" >/dev/null
        t1=$(date +%s%N)
        ms=$(( (t1 - t0) / 1000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    printf '%d.%03d' $((best / 1000)) $((best % 1000))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# The time the program's own writing takes, best of $runs (from kibolt_bench --save).
best_write() {
    local best="" ms
    for _ in $(seq "$runs"); do
        ms=$("$bench" --save "$1" "$2" | sed -E 's/.*: ([0-9.]+) ms/\1/')
        best=$(awk -v a="$ms" -v b="$best" 'BEGIN { print (b == "" || a < b) ? a : b }')
    done
    printf '%.3f' "$best"
}

printf '%-9s %8s | %9s %9s %6s | %9s %9s %6s | %s\n' sessions MB "wc -l ms" "load ms" ratio "cp ms" "write ms" ratio \
    "peak memory"
previous=""
for n in 10000 100000 1000000; do
    log="$dir/s$n.log"
    [ -f "$log" ] || "$bench" --make "$n" "$log"
    cat "$log" >/dev/null  # into the page cache
    mb=$(awk -v s="$(stat -c %s "$log")" 'BEGIN { printf "%.1f", s / 1e6 }')
    wc_ms=$(best wc -l "$log")
    load_ms=$(best "$bench" --load "$log")
    cp_ms=$(best cp "$log" "$log.copy")
    write_ms=$(best_write "$log" "$log.saved")
    cmp -s "$log" "$log.saved" || { echo "the saved log differs from the loaded one" >&2; exit 1; }
    peak=$("$bench" --load "$log" | sed -E 's/.*peak RSS ([0-9.]+ MB = [0-9.]+x file size).*/\1/')
    printf '%-9s %8s | %9s %9s %6s | %9s %9s %6s | %s\n' "$n" "$mb" "$wc_ms" "$load_ms" "$(ratio "$load_ms" "$wc_ms")" \
        "$cp_ms" "$write_ms" "$(ratio "$write_ms" "$cp_ms")" "$peak"
    if [ -n "$previous" ]; then
        echo "          load time x$(ratio "$load_ms" "$previous") for 10 times the sessions"
    fi
    previous=$load_ms
done
