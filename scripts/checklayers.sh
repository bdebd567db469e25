#!/usr/bin/env bash
# Fails when the libraries' dependencies go round in a circle, or when a
# source file includes a header from a layer above its own.
#   scripts/checklayers.sh [BUILD_DIR]   (default build/plain; configured if needed)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/plain}
status=0

# Link graph: every edge between our own libraries, sorted topologically;
# tsort reports a loop when there is one.
graph=$(mktemp -d)
trap 'rm -rf "$graph"' EXIT
cmake -S "$here" -B "$graph" -G Ninja -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF \
    --graphviz="$graph/libs.dot" >/dev/null
edges=$(sed -n 's/^ *"\(node[0-9]*\)" -> "\(node[0-9]*\)".*/\1 \2/p' "$graph/libs.dot")
names=$(sed -n 's/^ *"\(node[0-9]*\)" \[ label = "\([^"]*\)".*/\1 \2/p' "$graph/libs.dot")
own=$(echo "$names" | awk '$2 ~ /^korvane_/ {print $1}')
pairs=$(echo "$edges" | while read -r from to; do
    if echo "$own" | grep -qx "$from" && echo "$own" | grep -qx "$to"; then
        echo "$(echo "$names" | awk -v n="$from" '$1 == n {print $2}') $(echo "$names" | awk -v n="$to" '$1 == n {print $2}')"
    fi
done)
if ! echo "$pairs" | tsort >/dev/null 2>"$graph/tsort.err"; then
    echo "layers: the libraries' link graph has a circle:" >&2
    cat "$graph/tsort.err" >&2
    status=1
fi

# Includes: a folder may use its own headers and those of the folders below it.
declare -A allowed=(
    [params]="params"
    [link]="link"
    [goods]="goods params"
    [session]="session params link goods"
    [widgets]="widgets session params link goods"
    [goodswindow]="goodswindow widgets session params link goods"
    [editor]="editor goodswindow widgets session params link goods"
    [app]="app editor goodswindow widgets session params link goods"
    [cli]="cli session params link goods"
    [sim]="sim"
)
cd "$here"
for layer in "${!allowed[@]}"; do
    while IFS=: read -r file line folder; do
        case " ${allowed[$layer]} " in
            *" $folder "*) ;;
            *) echo "layers: $file:$line includes from $folder/, above $layer/" >&2; status=1 ;;
        esac
    done < <(git grep -n -E '^#include "[a-z]+/' -- "$layer/*.cpp" "$layer/*.h" ':!sim/demo/*' \
                 | sed -E 's/^([^:]+):([0-9]+):#include "([a-z]+)\/.*/\1:\2:\3/')
done
[ $status -eq 0 ] && echo "layers: no circle, every include points down"
exit $status
