#!/usr/bin/env bash
# Builds the cartridge-reader fuzzers with clang (address and undefined-
# behaviour sanitizers, coverage for libFuzzer) in a folder of their own and
# runs each for a bounded time from its seed corpus. Any finding fails.
# Skips when clang is not installed. ZURKEL_FUZZ_SECONDS sets the time per
# fuzzer (default 20 s in CI, 5 s elsewhere).
set -euo pipefail
build="$2"
src="$3"
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "clang not installed: fuzzers skipped"
  exit 0
fi
fz="$build/fuzz-clang"
CC=clang CXX=clang++ cmake -S "$src" -B "$fz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZURKEL_FUZZ=ON -DZURKEL_SANITIZE=ON -DZURKEL_TESTS=OFF >/dev/null
targets=()
for f in "$src"/fuzz/fuzz_*.cpp; do
  t="$(basename "$f" .cpp)"
  targets+=("$t")
done
cmake --build "$fz" -j2 --target "${targets[@]}"
if [ -n "${CI:-}" ]; then default_secs=20; else default_secs=5; fi
secs="${ZURKEL_FUZZ_SECONDS:-$default_secs}"
status=0
for t in "${targets[@]}"; do
  work="$(mktemp -d)"
  seeds=()
  [ -d "$src/fuzz/corpus/${t#fuzz_}" ] && seeds+=("$src/fuzz/corpus/${t#fuzz_}")
  echo "== $t for ${secs}s"
  if ! "$fz/fuzz/$t" -max_total_time="$secs" -rss_limit_mb=2048 -timeout=10 \
      -artifact_prefix="$work/" "$work" "${seeds[@]}" >"$work/log.txt" 2>&1; then
    echo "$t found a fault; artifacts in $work"
    tail -40 "$work/log.txt"
    status=1
  else
    tail -1 "$work/log.txt"
    rm -rf "$work"
  fi
done
exit $status
