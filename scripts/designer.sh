#!/usr/bin/env bash
# Builds the Designer and opens it on the bundled sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
sample="$build/examples/laptop-selector.kvp"
if [ -f "$sample" ]; then
    exec "$build/views/kestrova-designer" "$sample"
fi
exec "$build/views/kestrova-designer"
