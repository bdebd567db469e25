#!/usr/bin/env bash
# Installs what is missing, checks that the libraries form layers, then builds
# and runs the whole suite twice: a plain build and one under AddressSanitizer
# + UndefinedBehaviorSanitizer; then runs every fuzz target for KORVANE_FUZZ_SECONDS each (default 65);
# compiles every source for Windows (syntax only), and builds and tests the
# Windows zip under wine where its Qt for Windows has been built already.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
jobs=${KORVANE_JOBS:-$(nproc)}
status=0
echo "== layers"
bash "$here/scripts/checklayers.sh" || status=1
for flavour in plain asan; do
    echo "== $flavour build"
    bash "$here/scripts/build.sh" "$flavour"
    echo "== $flavour tests"
    (cd "$here/build/$flavour" && ctest --output-on-failure -j "$jobs") || status=1
    echo "== $flavour soak figures"
    grep -h "soak: " "$here/build/$flavour/Testing/Temporary/LastTest.log" || echo "(no soak figures)"
done
echo "== fuzzing"
bash "$here/scripts/fuzz.sh" "${KORVANE_FUZZ_SECONDS:-65}" || status=1
echo "== windows"
bash "$here/scripts/windows.sh" --syntax-only || status=1
bash "$here/scripts/windows.sh" --if-cached || status=1
exit $status
