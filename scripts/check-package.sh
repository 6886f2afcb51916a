#!/usr/bin/env bash
# Builds the release package's programs in build/package (RelWithDebInfo, tests off), then makes
# the package and checks it with scripts/check-deb.sh (lintian, appstreamcli, the install as a user
# would make it). The build takes the shared build lock, so it never runs beside another build.
# scripts/test.sh runs the same checks on a package made from its own test build.
#   Usage: scripts/check-package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/package

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
(
    flock 9
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
    nice -n 5 cmake --build "$build" -j2
) 9>/tmp/kv-devbuild.lock
bash scripts/check-deb.sh "$build"
