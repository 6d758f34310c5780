#!/usr/bin/env bash
# Runs each libFuzzer target of a fuzz build (make fuzz) for a fixed time, starting from the seeds in
# tests/fuzz/corpus/<target>/. A finding fails the run; its input is kept in BUILD/findings/ to be replayed
# with `BUILD/fuzz/<target> FILE` and turned into a test case.
#
#   scripts/run-fuzzers.sh BUILD SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build folder}
seconds=${2:-25}
findings="$build/findings"
mkdir -p "$findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 LANG=C.UTF-8
status=0
for target in fuzz_data_link fuzz_money_date fuzz_field_text; do
    work=$(mktemp -d)
    log="$findings/$target.log"
    echo "fuzzing $target for $seconds s"
    # New inputs go to a scratch folder; the seeds in the repository are only read.
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/$target-" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "$target found a fault:"
        tail -40 "$log"
        status=1
    else
        grep -E '^Done|stat::number_of_executed_units' "$log" | tail -1 || true
    fi
    rm -rf "$work"
done
exit $status
