#!/usr/bin/env bash
# Installs what is missing, builds the utility and starts it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" plain
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run it under Xvfb, e.g. xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
exec "$here/build/plain/korvane-utility" "$@"
