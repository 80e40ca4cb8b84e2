#!/usr/bin/env bash
# Proves the folder arrows from the #include "folder/…" lines of the sources:
#  1. a layer includes only itself and the layers below it (never one above,
#     never one beside it);
#  2. the feature folders of ui/ include each other without a cycle.
# Prints each offending include and exits 1; prints the ui/ order and exits 0
# when both hold. Needs git, grep, awk and tsort.
set -euo pipefail
cd "$(dirname "$0")/.."

# Layer of each source folder; a folder may include those of a lower number.
declare -A layer=(
    [runtime]=0
    [columns]=1 [regex]=1 [net]=1 [sim]=1
    [query]=2 [mining]=2
    [app]=3
    [ui]=4 [cli]=4
)

# "file folder" for every quoted include that names a folder of the tree.
includes() {
    grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[A-Za-z0-9_]+/[^"]*"' \
        --include='*.h' --include='*.cpp' "$@" |
        sed -E 's/^([^:]+):.*"([^"]*)"$/\1 \2/'
}

status=0
# Folders outside the layers: they may include any of them.
outside=" tests bench fuzz "
for dir in $(git ls-files '*.h' '*.cpp' | grep / | cut -d/ -f1 | sort -u); do
    if [[ -z ${layer[$dir]+set} && $outside != *" $dir "* ]]; then
        echo "layer: $dir/ holds sources but has no layer here"
        status=1
    fi
done
for folder in "${!layer[@]}"; do
    [[ -d $folder ]] || continue
    while read -r file target; do
        to=${target%%/*}
        [[ -n ${layer[$to]+set} ]] || continue  # a library's own header
        if [[ $to != "$folder" && ${layer[$to]} -ge ${layer[$folder]} ]]; then
            echo "layer: $file includes $target ($folder may not depend on $to)"
            status=1
        fi
    done < <(includes "$folder")
done

# The ui/ feature folders: every edge between two of them, then a cycle check.
edges=$(includes ui | awk '{
    split($1, from, "/"); split($2, to, "/")
    if (to[1] == "ui" && from[2] != to[2] && to[3] != "") print from[2], to[2]
}' | sort -u)
folders=$(find ui -mindepth 2 -name '*.cpp' -o -mindepth 2 -name '*.h' | cut -d/ -f2 | sort -u)
if ! order=$( { echo "$edges"; for f in $folders; do echo "$f $f"; done; } | tsort 2>&1); then
    echo "ui: the feature folders include each other in a cycle (folder -> folder it includes):"
    echo "$edges" | sed 's/ / -> /; s/^/  /'
    echo "$order" | grep 'tsort' || true
    status=1
fi

if [[ $status -eq 0 ]]; then
    echo "layers hold; ui/ feature folders, each above those after it: $(echo $order)"
fi
exit $status
