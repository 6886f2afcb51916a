#!/usr/bin/env bash
# Builds everything with warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_WERROR=ON -DKV_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One test program at a time: the growth checks compare timings.
ctest --test-dir "$build" --output-on-failure
# Each fuzz harness for a few seconds: one that no longer builds, or that a seed crashes, fails here.
bash scripts/fuzz.sh 5
