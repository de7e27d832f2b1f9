#!/usr/bin/env bash
# Builds everything and runs every test suite (unit and integration).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZURKEL_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
