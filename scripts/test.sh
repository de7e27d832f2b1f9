#!/usr/bin/env bash
# Builds everything and runs every test suite (unit and integration), then
# the same suite under the sanitizers (scripts/test_sanitized.sh) and every
# fuzzer for a minute (scripts/fuzz.sh; ZURKEL_FUZZ_SECONDS sets the time).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZURKEL_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
bash "$here/scripts/test_sanitized.sh"
ZURKEL_FUZZ_BUILD_DIR="$build/fuzz-clang" bash "$here/scripts/fuzz.sh" "${ZURKEL_FUZZ_SECONDS:-60}"
