#!/usr/bin/env bash
# Installs what is missing, builds the utility and starts it together with a
# simulated 2.53 register on 127.0.0.1:8080 that holds sample goods and filled
# tables. The utility runs on a demo settings store of its own (below
# ~/.local/state/korvane-demo), never the user's real registry; the register is
# listed there, ready to open. Closing the utility stops the simulator.
# Options: --reset refills the demo register and forgets the demo registry.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
reset=()
if [ "${1:-}" = "--reset" ]; then
    reset=(--reset)
    shift
fi
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" plain
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run it under Xvfb, e.g. xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
bin="$here/build/plain"
demo="${XDG_STATE_HOME:-$HOME/.local/state}/korvane-demo"
if [ ${#reset[@]} -gt 0 ]; then
    rm -rf "$demo/config"
fi
mkdir -p "$demo/config"
"$bin/korvane-demo" --state "$demo/register.bin" --family 2.53 --serial 2530000001 \
    --settings "$demo/config" --address 127.0.0.1 "${reset[@]}"
"$bin/korvane-sim" --listen 127.0.0.1:8080 --discovery-port 8090 --family 2.53 \
    --serial 2530000001 --state "$demo/register.bin" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
sleep 0.3
if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "The simulated register could not start (is 127.0.0.1:8080 in use?)" >&2
    exit 1
fi
KORVANE_CONFIG_DIR="$demo/config" KORVANE_DEMO_SEARCH=127.0.0.1 "$bin/korvane-utility" "$@"
