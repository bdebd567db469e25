#!/usr/bin/env bash
# Builds the utility and takes pictures of its real windows under Xvfb against
# simulated registers: scripts/screenshots.sh [OUTDIR]  (default docs/screenshots)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/docs/screenshots}
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" plain
mkdir -p "$out"
rm -f "$out"/*.png
xvfb-run -a -s "-screen 0 1280x1024x24" "$here/build/plain/korvane-screenshots" "$out"
