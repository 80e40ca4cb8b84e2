#!/usr/bin/env bash
# HttpFetch on one thread beside ab (HTTP/1.0, one request at a time) against
# one mofeng-sim, in one run. Usage: bench/fetch_vs_ab.sh [build-dir] [requests]
set -euo pipefail
build=${1:-build}
requests=${2:-2000}
log=$(mktemp)
"$build/sim/mofeng-sim" --port 0 >"$log" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 50); do grep -q listening "$log" && break; sleep 0.1; done
base=$(sed -n 's/^listening on //p' "$log")
for path in "/trendindex.json?query=%E8%BF%9E%E8%A1%A3%E8%A3%99" \
    "/search?initiative_id=staobaoz_20150308&js=1&q=%E8%BF%9E%E8%A1%A3%E8%A3%99"; do
    echo "== $path"
    MOFENG_FETCH_URL="$base$path" "$build/bench/bench_fetch" \
        --benchmark_filter=ExternalUrl 2>/dev/null | grep -E "median|mean"
    ab -n "$requests" -c 1 "$base$path" 2>/dev/null | grep -E "Requests per second|Failed requests"
done
