#!/usr/bin/env bash
# Builds everything once (clang, warnings as errors, AddressSanitizer and UndefinedBehaviorSanitizer,
# libFuzzer coverage on the libraries), runs every test, makes the Debian package of that build and
# checks it, then runs each fuzz harness for a few seconds from the same build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh

build=build/test
bash scripts/configure-instrumented.sh "$build" -DKV_BUILD_TESTS=ON
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# One test program at a time: the growth checks compare timings.
ctest --test-dir "$build" --output-on-failure
# The package as the README's Installing section makes it, from this build (30 to 50 s): lintian,
# appstreamcli, and the unpacked programs run by an unprivileged user.
bash scripts/check-deb.sh "$build"
# Each fuzz harness for a few seconds: one that no longer builds, or that a seed crashes, fails here.
KV_FUZZ_BUILD="$build" KV_FUZZ_SEED=1 bash scripts/fuzz.sh 5
