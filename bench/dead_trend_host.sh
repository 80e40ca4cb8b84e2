#!/usr/bin/env bash
# A keyword-list query through mofeng-cli whose trend host accepts every
# connection and never answers (a mofeng-sim stalling every reply), while the
# search host is a healthy mofeng-sim: the time, the outcome summary and how
# many listing counts arrived. The host is given up on after five failed
# tries, so the run takes seconds, not a stall timeout per row.
# Usage: bench/dead_trend_host.sh [build-dir] [keywords]   (default 200)
# STALL_S sets the stall timeout (default 2 s). Target: under 60 s for 200.
set -euo pipefail
build=${1:-build}
count=${2:-200}
work=$(mktemp -d)
"$build/sim/mofeng-sim" --port 0 >"$work/search.log" &
search=$!
"$build/sim/mofeng-sim" --port 0 --stall-rate 1 >"$work/trend.log" &
trend=$!
trap 'kill $search $trend 2>/dev/null; rm -rf "$work"' EXIT
for log in search trend; do
    for _ in $(seq 50); do grep -q listening "$work/$log.log" && break; sleep 0.1; done
done
searchBase=$(sed -n 's/^listening on //p' "$work/search.log")
trendBase=$(sed -n 's/^listening on //p' "$work/trend.log")
for i in $(seq "$count"); do printf 'kw%d\r\n' "$i"; done >"$work/keywords.txt"
echo "trend host stalls every reply; stall timeout ${STALL_S:-2} s; $count keywords"
start=$(date +%s.%N)
set +e
"$build/cli/mofeng-cli" query --search-url "$searchBase" --index-url "$trendBase" \
    --stall-timeout-s "${STALL_S:-2}" "$work/keywords.txt" >"$work/out.tsv" 2>"$work/err.txt"
code=$?
set -e
end=$(date +%s.%N)
grep -E "rows:|不可用" "$work/err.txt"
# Column 3 (宝贝数量) filled on every row but the header.
counts=$(awk -F'\t' 'NR > 1 && $3 != "" { n++ } END { print n + 0 }' "$work/out.tsv")
echo "exit $code, $(echo "$end - $start" | bc) s, listing counts $counts of $count"
