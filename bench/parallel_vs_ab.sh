#!/usr/bin/env bash
# Jobs against one-job runs, in one run, beside ab -c 1 and ab -c 8 on the same
# mofeng-sim: query at 50 ms latency (--jobs 8 against --jobs 1), mining at
# 20 ms latency with --levels 1, query with no added latency against the floor
# that ab -c 1 sets on the run's own requests (one trend plus one search
# request per row, sampled over the list), and the simulator at 8 connections. Every pair of outputs must be identical.
# Usage: bench/parallel_vs_ab.sh [build-dir] [query-rows]
set -euo pipefail
build=${1:-build}
rows=${2:-200}
cli="$build/cli/mofeng-cli"
work=$(mktemp -d)
sims=()
trap 'for p in "${sims[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

# Starts mofeng-sim with the given options; sets $base.
start_sim() {
    local log="$work/sim$#-$RANDOM.log"
    "$build/sim/mofeng-sim" --port 0 "$@" >"$log" &
    sims+=($!)
    for _ in $(seq 50); do grep -q listening "$log" && break; sleep 0.1; done
    base=$(sed -n 's/^listening on //p' "$log")
}
now() { date +%s.%N; }
# Runs a command with its output in $work/$1, prints and stores its seconds in $secs.
timed() {
    local name=$1
    shift
    local s e
    s=$(now)
    "$@" >"$work/$name" 2>/dev/null || [ $? -eq 3 ]
    e=$(now)
    secs=$(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }')
}
same() { cmp -s "$work/$1" "$work/$2" && echo identical || echo DIFFERENT; }
ab_rate() { ab -n "$2" -c "$1" "$3" 2>/dev/null | sed -n 's/Requests per second: *\([0-9.]*\).*/\1/p'; }

words=(连衣裙 衬衫 牛仔裤 凉鞋 双肩包)
for i in $(seq 0 $((rows - 1))); do echo "${words[$((i % 5))]}$i"; done >"$work/keywords.txt"
for i in $(seq 0 1999); do echo "${words[$((i % 5))]}$i"; done >"$work/keywords2000.txt"
trend="/trendindex.json?query=%E8%BF%9E%E8%A1%A3%E8%A3%99"

echo "== query, $rows keywords, mofeng-sim --latency-ms 50"
start_sim --latency-ms 50
urls=(--search-url "$base" --index-url "$base" --suggest-url "$base")
timed q50-1 "$cli" query "${urls[@]}" --jobs 1 "$work/keywords.txt"
one=$secs
timed q50-8 "$cli" query "${urls[@]}" --jobs 8 "$work/keywords.txt"
eight=$secs
awk -v r="$rows" -v a="$one" -v b="$eight" 'BEGIN {
    printf "jobs 1: %.2f s = %.1f rows/s; jobs 8: %.2f s = %.1f rows/s; ratio %.2f (goal >= 6.4)\n",
        a, r / a, b, r / b, a / b }'
echo "output: $(same q50-1 q50-8)"
printf 'ab -c 1 trend: %s/s  ab -c 8 trend: %s/s\n' "$(ab_rate 1 100 "$base$trend")" \
    "$(ab_rate 8 400 "$base$trend")"

echo "== mine --levels 1 --must 裙 连衣裙, mofeng-sim --latency-ms 20"
start_sim --latency-ms 20
urls=(--search-url "$base" --index-url "$base" --suggest-url "$base")
timed m20-1 "$cli" mine "${urls[@]}" --jobs 1 --levels 1 --must 裙 连衣裙
one=$secs
timed m20-8 "$cli" mine "${urls[@]}" --jobs 8 --levels 1 --must 裙 连衣裙
eight=$secs
awk -v a="$one" -v b="$eight" -v n="$(wc -l <"$work/m20-1")" 'BEGIN {
    printf "%d keywords; jobs 1: %.2f s; jobs 8: %.2f s; ratio %.2f (goal >= 4)\n", n, a, b, a / b }'
echo "output: $(same m20-1 m20-8)"

echo "== query, 2000 keywords, mofeng-sim with no added latency"
# The floor is ab on the run's own requests. The simulator's pages differ per
# keyword (about 105 to 235 KB), so a single keyword's pair would not stand
# for the list: a logging simulator records the trend and search request of
# every 50th row, ab fetches each of them, and the floor is the rows per
# second that those pairs allow on average.
start_sim --log "$work/requests.log"
urls=(--search-url "$base" --index-url "$base" --suggest-url "$base")
awk 'NR % 50 == 1' "$work/keywords2000.txt" >"$work/sampled.txt"
"$cli" query "${urls[@]}" "$work/sampled.txt" >/dev/null 2>&1 || [ $? -eq 3 ]
mapfile -t sampled < <(cut -f3 "$work/requests.log")
start_sim
urls=(--search-url "$base" --index-url "$base" --suggest-url "$base")
# Seconds per row of each sampled pair at concurrency $1, $2 requests each.
pair_seconds() {
    local i
    for ((i = 0; i + 1 < ${#sampled[@]}; i += 2)); do
        echo "$(ab_rate "$1" "$2" "$base${sampled[i]}") $(ab_rate "$1" "$2" "$base${sampled[i + 1]}")"
    done | awk '{ print 1 / $1 + 1 / $2 }'
}
floor() { pair_seconds "$@" | awk '{ s += $1; n++ } END { printf "%.1f", n / s }'; }
# Both sides take seconds on a shared machine: five rounds of floor then run,
# and the median ratio.
ratios=()
for round in 1 2 3 4 5; do
    floor1=$(floor 1 300)
    timed q0-1 "$cli" query "${urls[@]}" --jobs 1 "$work/keywords2000.txt"
    ratios+=("$(awk -v a="$secs" -v f="$floor1" 'BEGIN { printf "%.2f", 2000 / a / f }')")
    awk -v r="$round" -v a="$secs" -v f="$floor1" -v n="$((${#sampled[@]} / 2))" 'BEGIN {
        printf "round %d: ab -c 1 on %d sampled rows: floor %.0f rows/s; query --jobs 1: %.0f rows/s = %.2f\n",
            r, n, f, 2000 / a, 2000 / a / f }'
done
echo "query --jobs 1 against the ab -c 1 floor, median of 5: $(printf '%s\n' "${ratios[@]}" | sort -n |
    sed -n 3p) (goal >= 0.8)"
one=$secs
timed q0-8 "$cli" query "${urls[@]}" --jobs 8 "$work/keywords2000.txt"
eight=$secs
echo "output: $(same q0-1 q0-8)"
floor8=$(floor 8 600)
awk -v a="$one" -v b="$eight" -v f1="$floor1" -v f8="$floor8" 'BEGIN {
    printf "ab -c 8 on the same rows: floor %.0f rows/s (simulator at 8 connections: %.2f x one)\n",
        f8, f8 / f1
    printf "query --jobs 8: %.0f rows/s = %.2f of the ab -c 8 floor\n", 2000 / b, 2000 / b / f8 }'
