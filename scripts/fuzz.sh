#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, libFuzzer, AddressSanitizer and UBSan) in build/fuzz and runs
# each for SECONDS (default 60), one after another, on its seeds and on the corpus it grew in
# earlier runs (build/fuzz/corpus/NAME). An input that crashes a harness is kept in
# build/fuzz/findings/NAME/ and the script exits 1; each harness's output is in
# build/fuzz/logs/NAME.log.   Usage: scripts/fuzz.sh [SECONDS] [NAME...]
# KV_FUZZ_SEED fixes libFuzzer's random seed, so that a short run on a fresh corpus tries the same
# inputs on every machine (a longer run with the same seed covers a shorter one).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
bash scripts/ensure-packages.sh

# scripts/test.sh passes its own build (tests and harnesses from one compile) in KV_FUZZ_BUILD.
build=${KV_FUZZ_BUILD:-build/fuzz}
if [ -z "${KV_FUZZ_BUILD:-}" ]; then
    bash scripts/configure-instrumented.sh "$build" -DKV_BUILD_TESTS=OFF
fi
cmake --build "$build" -j"$(nproc)" --target fuzzers

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for harness in "$build"/fuzz/fuzz-*; do
        if [ -f "$harness" ] && [ -x "$harness" ]; then names+=("${harness##*/fuzz-}"); fi
    done
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/logs"
failed=()
for name in "${names[@]}"; do
    corpus="$build/corpus/$name"
    findings="$build/findings/$name"
    log="$build/logs/$name.log"
    mkdir -p "$corpus" "$findings"
    dictionary=()
    if [ -f "fuzz/$name.dict" ]; then dictionary=(-dict="fuzz/$name.dict"); fi
    seed=()
    if [ -n "${KV_FUZZ_SEED:-}" ]; then seed=(-seed="$KV_FUZZ_SEED"); fi
    if "$build/fuzz/fuzz-$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${dictionary[@]}" "${seed[@]}" \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$build/fuzz/seeds/$name" >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (see $log)"
        failed+=("$name")
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
    printf '%-14s %10s runs  %6s edges  %s\n' "$name" "$runs" "$coverage" "$result"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found a fault in: ${failed[*]}" >&2
    exit 1
fi
