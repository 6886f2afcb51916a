#!/usr/bin/env bash
# Configures BUILD with clang, AddressSanitizer, UBSan and libFuzzer coverage on every library, so
# that one compile serves the tests and the fuzz harnesses. ccache is used when it is installed.
#   Usage: scripts/configure-instrumented.sh BUILD [CMAKE OPTIONS...]
set -euo pipefail
build=$1
shift
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, so another clone of the same sources finds the cache warm.
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DKV_FUZZ=ON -DKV_WERROR=ON \
    "${launcher[@]}" "$@" >/dev/null
