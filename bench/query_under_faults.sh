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
work=$(mktemp -d)
"$build/sim/mofeng-sim" --port 0 "${simopts[@]}" >"$work/sim.log" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q listening "$work/sim.log" && break; sleep 0.1; done
base=$(sed -n 's/^listening on //p' "$work/sim.log")
for i in $(seq "$count"); do printf 'kw%d\r\n' "$i"; done >"$work/keywords.txt"
echo "sim: ${simopts[*]}; $count keywords"
start=$(date +%s.%N)
set +e
"$build/cli/mofeng-cli" query --search-url "$base" --index-url "$base" \
    --stall-timeout-s "${STALL_S:-2}" --connect-timeout-s 2 "$work/keywords.txt" >"$work/out.tsv" 2>"$work/err.txt"
code=$?
set -e
end=$(date +%s.%N)
grep "rows:" "$work/err.txt"
echo "exit $code, $(echo "$end - $start" | bc) s, $(($(wc -l <"$work/out.tsv") - 1)) rows written"
