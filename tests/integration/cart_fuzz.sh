#!/usr/bin/env bash
# Builds the fuzzers (scripts/fuzz.sh: clang, address and undefined-behaviour
# sanitizers, coverage for libFuzzer) in the build folder's fuzz-clang and
# replays every seed of fuzz/corpus through its fuzzer, the regression
# inputs of past findings among them; the timed runs are the test command's
# fuzz pass. ZURKEL_FUZZ_SECONDS fuzzes that long per target instead.
# Skips when clang is not installed.
set -euo pipefail
build="$2"
src="$3"
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "clang not installed: fuzzers skipped"
  exit 0
fi
ZURKEL_FUZZ_BUILD_DIR="$build/fuzz-clang" exec bash "$src/scripts/fuzz.sh" "${ZURKEL_FUZZ_SECONDS:-0}"
