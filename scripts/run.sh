#!/usr/bin/env bash
# Installs what is missing, builds the utility and starts it, with a simulated
# 2.53 register listening on 127.0.0.1:8080 (register it in the utility by
# that address) for as long as the utility runs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" plain
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run it under Xvfb, e.g. xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
bin="$here/build/plain"
sim_pid=""
if [ -x "$bin/korvane-sim" ]; then
    state="${XDG_STATE_HOME:-$HOME/.local/state}/korvane-sim"
    mkdir -p "$state"
    "$bin/korvane-sim" --listen 127.0.0.1:8080 --discovery-port 0 --family 2.53 \
        --serial 2530000001 --state "$state/register.bin" &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
fi
"$bin/korvane-utility" "$@"
