#!/usr/bin/env bash
# The board server's throughput and memory: list pages per second with 20
# clients (wrk, 2 threads, each request one of the console browser's list
# pages in turn, answered from zkboard's ready pages) and the peak resident
# memory of `zkboard serve` with the shipped board. Measured side by side
# with the reference, nginx serving `zkboard render` of the same board.
# Usage: bench/board_throughput.sh [build dir] [seconds]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
seconds="${2:-10}"
src="$here"
tmp="$(mktemp -d)"
source "$here/tests/data/board_lib.sh"

# The list pages the console asks for, one per request in turn.
{
  echo "local paths = {"
  for request in "cat=7&sub=2" "cat=7&sub=2&orderby=rating" "cat=7&sub=3" "cat=7&sub=4" \
    "cat=7&sub=8" "cat=7&orderby=favourites&uid=1"; do
    echo "  \"/bbs/cpost_lister3.php?max=32&start_index=0&$request&version=000111cm\","
  done
  echo "}"
  echo 'local i = 0'
  echo 'request = function() i = i % #paths + 1; return wrk.format("GET", paths[i]) end'
} >"$tmp/lists.lua"

rate() { # URL -> requests per second; every answer must be a 200
  wrk -t2 -c20 -d"${seconds}s" -s "$tmp/lists.lua" "$1" >"$tmp/wrk.out"
  if grep -Eq 'Non-2xx|Socket errors' "$tmp/wrk.out"; then cat "$tmp/wrk.out" >&2; exit 1; fi
  sed -n 's/^Requests\/sec: *//p' "$tmp/wrk.out"
}

start_board "$src/assets/board" --log /dev/null
serve_pid=$board_pid
serve_url=$url
start_rss=$(awk '/VmRSS/ {print $2}' "/proc/$serve_pid/status")
serve_rate=$(rate "$serve_url")
peak_rss=$(awk '/VmHWM/ {print $2}' "/proc/$serve_pid/status")

"$zkb" render "$here/assets/board" "$tmp/out" >/dev/null
start_static "$tmp/out"
nginx_rate=$(rate "$static")

echo "list pages per second, 20 clients, ${seconds} s:"
echo "  zkboard serve             $serve_rate"
echo "  nginx on zkboard render   $nginx_rate  (reference)"
echo "zkboard serve memory (shipped board): ${start_rss} kB resident at start, ${peak_rss} kB peak"
