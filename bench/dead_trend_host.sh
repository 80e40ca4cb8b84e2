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
source "$(dirname "$0")/lib/cli_query.sh"
start_sim search
searchBase=$sim_base
start_sim trend --stall-rate 1
trendBase=$sim_base
write_keywords "$count"
echo "trend host stalls every reply; stall timeout ${STALL_S:-2} s; $count keywords"
run_query --search-url "$searchBase" --index-url "$trendBase" --stall-timeout-s "${STALL_S:-2}"
grep -E "rows:|不可用" "$work/err.txt"
# Column 3 (宝贝数量) filled on every row but the header.
counts=$(awk -F'\t' 'NR > 1 && $3 != "" { n++ } END { print n + 0 }' "$work/out.tsv")
echo "exit $query_exit, $query_seconds s, listing counts $counts of $count"
