#!/usr/bin/env bash
# A keyword-list query through mofeng-cli against one mofeng-sim started with
# faults and a rate limit: the outcome summary, the exit code and the time, in
# one run. Usage: bench/query_under_faults.sh [build-dir] [keywords] [sim options...]
# Default sim options: 5 % each of fail, drop and stall, 40 requests/s.
# STALL_S sets the stall timeout (default 2 s).
set -euo pipefail
build=${1:-build}
count=${2:-1000}
shift $(( $# > 2 ? 2 : $# ))
simopts=("$@")
[ ${#simopts[@]} -eq 0 ] && simopts=(--fail-rate 0.05 --drop-rate 0.05 --stall-rate 0.05 --rate-limit 40)
source "$(dirname "$0")/lib/cli_query.sh"
start_sim sim "${simopts[@]}"
base=$sim_base
write_keywords "$count"
echo "sim: ${simopts[*]}; $count keywords"
run_query --search-url "$base" --index-url "$base" --stall-timeout-s "${STALL_S:-2}" \
    --connect-timeout-s 2
grep "rows:" "$work/err.txt"
echo "exit $query_exit, $query_seconds s, $(($(wc -l <"$work/out.tsv") - 1)) rows written"
