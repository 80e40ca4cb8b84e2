#!/usr/bin/env bash
# A 2,000-keyword index query run against the simulator (no added latency) in
# the core, the CLI and the GUI, beside ab -n 4000 -c 1 on mofeng-sim, in one
# run. Usage: bench/query_vs_ab.sh [build-dir]
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'kill ${sim:-} 2>/dev/null || true; rm -rf "$work"' EXIT

words=(连衣裙 衬衫 牛仔裤 凉鞋 双肩包)
for i in $(seq 0 1999); do echo "${words[$((i % 5))]}$i"; done >"$work/keywords.txt"

echo "== core (bench_query)"
"$build/bench/bench_query" --benchmark_filter=QueryRun 2>/dev/null | grep -E "QueryRun"
echo "== CLI (mofeng-cli query --demo, 2,000 keywords)"
start=$(date +%s.%N)
"$build/cli/mofeng-cli" query --demo "$work/keywords.txt" >/dev/null
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f s = %.0f rows/s\n", e - s, 2000 / (e - s) }'
echo "== GUI (bench_gui_query, offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/ui/bench_gui_query" 2000 2>/dev/null
echo "== ab -n 4000 -c 1 on mofeng-sim"
"$build/sim/mofeng-sim" --port 0 >"$work/sim.log" &
sim=$!
for _ in $(seq 50); do grep -q listening "$work/sim.log" && break; sleep 0.1; done
base=$(sed -n 's/^listening on //p' "$work/sim.log")
for path in "/trendindex.json?query=%E8%BF%9E%E8%A1%A3%E8%A3%99" \
    "/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E%E8%A1%A3%E8%A3%99"; do
    printf '%s: ' "${path%%\?*}"
    ab -n 4000 -c 1 "$base$path" 2>/dev/null | sed -n 's/Requests per second: *//p'
done
