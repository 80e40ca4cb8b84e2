# Sourced by the bench scripts that time one mofeng-cli query against
# mofeng-sim instances. Needs $build; makes $work (removed on exit, with every
# simulator started here stopped).

work=$(mktemp -d)
sims=()
trap 'kill "${sims[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# start_sim NAME [sim options...]: a mofeng-sim on an ephemeral port, logging
# to $work/NAME.log; sets sim_base to its base URL once it listens.
start_sim() {
    local name=$1
    shift
    "$build/sim/mofeng-sim" --port 0 "$@" >"$work/$name.log" &
    sims+=($!)
    for _ in $(seq 50); do grep -q listening "$work/$name.log" && break; sleep 0.1; done
    sim_base=$(sed -n 's/^listening on //p' "$work/$name.log")
}

# write_keywords COUNT: kw1 .. kwCOUNT, CR LF, into $work/keywords.txt.
write_keywords() {
    for i in $(seq "$1"); do printf 'kw%d\r\n' "$i"; done >"$work/keywords.txt"
}

# run_query [query options...]: mofeng-cli query of $work/keywords.txt into
# $work/out.tsv and $work/err.txt; sets query_exit and query_seconds.
run_query() {
    local start end
    start=$(date +%s.%N)
    set +e
    "$build/cli/mofeng-cli" query "$@" "$work/keywords.txt" >"$work/out.tsv" 2>"$work/err.txt"
    query_exit=$?
    set -e
    end=$(date +%s.%N)
    query_seconds=$(echo "$end - $start" | bc)
}
