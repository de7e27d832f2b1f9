#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) in a folder of their own and runs each for a
# bounded time, from a temporary copy of its seed corpus (fuzz/corpus/NAME;
# fuzz_pngcart's seeds are made from assets/carts/*.zk), so the repository
# is never changed. Any finding (crash, leak, undefined behaviour, time-out,
# memory over 2 GiB) fails; its input and log stay in the temporary folder.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS (default 60) is the time per target; 0 replays the seeds once.
# ZURKEL_FUZZ_BUILD_DIR picks the build folder (default build/fuzz-clang);
# ZURKEL_FUZZ_KEEP=1 keeps every target's folder (corpus and log).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
secs="${1:-60}"
shift || true
fz="${ZURKEL_FUZZ_BUILD_DIR:-$here/build/fuzz-clang}"
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
  echo "fuzz: clang not installed" >&2
  exit 1
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$here"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
launcher=()
command -v ccache >/dev/null 2>&1 &&
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$here" -B "$fz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZURKEL_FUZZ=ON -DZURKEL_SANITIZE=ON -DZURKEL_TESTS=OFF "${launcher[@]}" >/dev/null
if ! cmake --build "$fz" -j"$(nproc)" --target "${targets[@]}" seeds_pngcart >"$fz/build.log" 2>&1; then
  tail -40 "$fz/build.log" >&2
  exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
status=0
for t in "${targets[@]}"; do
  work="$(mktemp -d "${TMPDIR:-/tmp}/zurkel-$t.XXXXXX")"
  mkdir "$work/corpus"
  seeds="$here/fuzz/corpus/${t#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds/." "$work/corpus/"
  if [ "$t" = fuzz_pngcart ]; then
    "$fz/fuzz/seeds_pngcart" "$work/corpus" "$here"/assets/carts/*.zk
  fi
  if [ "$secs" -eq 0 ]; then
    run=(-runs=0)
  else
    run=(-max_total_time="$secs")
  fi
  if "$fz/fuzz/$t" "${run[@]}" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/" "$work/corpus" >"$work/log.txt" 2>&1; then
    echo "fuzz: $t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" |
      grep -o '[0-9]*$') runs, corpus $(ls "$work/corpus" | wc -l) inputs, no finding"
    [ -n "${ZURKEL_FUZZ_KEEP:-}" ] && echo "fuzz: $t: kept $work" || rm -rf "$work"
  else
    echo "fuzz: $t found a fault; input and log in $work" >&2
    tail -40 "$work/log.txt" >&2
    status=1
  fi
done
exit $status
