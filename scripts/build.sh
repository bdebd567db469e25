#!/usr/bin/env bash
# Configures and builds one flavour: scripts/build.sh [plain|asan]  (default plain)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-plain}
case "$flavour" in
    plain) extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)  extra=(-DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON) ;;
    *) echo "usage: $0 [plain|asan]" >&2; exit 2 ;;
esac
dir="$here/build/$flavour"
jobs=${KORVANE_JOBS:-$(nproc)}
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$here" -B "$dir" -G Ninja "${extra[@]}" >/dev/null
fi
cmake --build "$dir" -j "$jobs"
