#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, every report fatal) in build/fuzz and runs each
# one for a bounded time from its seed corpus in tests/fuzz/corpus/<target>.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET [TARGET ...]]   (default 60 s, every target)
#
# Prints one summary line per target (runs, coverage, time). A crash, a leak,
# a sanitizer report or a broken check stops that target, keeps the input in
# build/fuzz/findings/<target>/ and makes the script fail.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
dir="$here/build/fuzz"
jobs=${KORVANE_JOBS:-$(nproc)}

if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKORVANE_FUZZ=ON >/dev/null
fi
cmake --build "$dir" -j "$jobs" --target fuzzers

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for f in "$dir"/fuzzers/fuzz_*; do
        [ -x "$f" ] && targets+=("$(basename "$f")")
    done
fi

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp

status=0
summary=()
for t in "${targets[@]}"; do
    work="$dir/corpus/$t"
    findings="$dir/findings/$t"
    log="$dir/logs/$t.log"
    mkdir -p "$work" "$findings" "$(dirname "$log")"
    echo "== fuzz $t (${seconds}s)"
    start=$(date +%s)
    # The seeds are read, never written: new inputs go to the work corpus.
    if "$dir/fuzzers/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$work" "$here/tests/fuzz/corpus/$t" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
        tail -n 60 "$log"
    fi
    elapsed=$(( $(date +%s) - start ))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    line="fuzz $t: $result, runs ${runs:-?}, coverage ${cov:-?} edges, ${elapsed}s"
    echo "$line"
    summary+=("$line")
done
echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
exit $status
