#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 20) on its
# seed corpus, one after another, and fails on the first finding.
# Usage: scripts/fuzz.sh [seconds] [build-dir] [target...]
# The build dir must be configured with -DMOFENG_FUZZ=ON (clang); the
# sanitizer stage of scripts/test.sh builds one in build-asan. New inputs go
# to a scratch corpus, never into fuzz/corpus; findings go to fuzz-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
build_dir=${2:-build-asan}
shift $(($# < 2 ? $# : 2))
targets=("$@")
if ((${#targets[@]} == 0)); then
    for dir in fuzz/corpus/*/; do
        targets+=("$(basename "$dir")")
    done
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p fuzz-findings
for target in "${targets[@]}"; do
    binary=$build_dir/fuzz/fuzz_$target
    [[ -x $binary ]] || { echo "missing $binary (configure with -DMOFENG_FUZZ=ON)" >&2; exit 1; }
    options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="fuzz-findings/${target}-")
    [[ -f fuzz/$target.dict ]] && options+=(-dict="fuzz/$target.dict")
    mkdir -p "$scratch/$target"
    echo "== fuzz_$target for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$binary" "${options[@]}" "$scratch/$target" "fuzz/corpus/$target" 2>"$scratch/$target.log" || {
        tail -n 60 "$scratch/$target.log" >&2
        echo "fuzz_$target found a fault; the input is in fuzz-findings/" >&2
        exit 1
    }
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|cov: ' "$scratch/$target.log" |
        tail -n 3 | sed 's/^/    /'
done
