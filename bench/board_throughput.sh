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
zkb="$build/tools/zkboard/zkboard"
tmp="$(mktemp -d)"
pids=""
trap 'for p in $pids; do kill "$p" 2>/dev/null; done; rm -rf "$tmp"' EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

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

rate() { # URL -> requests per second
  wrk -t2 -c20 -d"${seconds}s" -s "$tmp/lists.lua" "$1" | sed -n 's/^Requests\/sec: *//p'
}

"$zkb" serve "$here/assets/board" --port 0 --log /dev/null >"$tmp/serve.out" &
serve_pid=$!
pids="$pids $serve_pid"
for _ in $(seq 100); do grep -q serving "$tmp/serve.out" && break; sleep 0.1; done
serve_url=$(sed -n 's/^zkboard: serving .* at //p' "$tmp/serve.out")
start_rss=$(awk '/VmRSS/ {print $2}' "/proc/$serve_pid/status")
serve_rate=$(rate "$serve_url")
peak_rss=$(awk '/VmHWM/ {print $2}' "/proc/$serve_pid/status")

"$zkb" render "$here/assets/board" "$tmp/out" >/dev/null
port=$(free_port)
mkdir -p "$tmp/nginx/tmp"
chmod 755 "$tmp"
sed -e "s|listen 127.0.0.1:8128;|listen 127.0.0.1:$port;|" -e "s|root /srv/zkboard;|root $tmp/out;|" \
  "$here/tools/zkboard/nginx.conf.sample" >"$tmp/nginx.conf"
nginx -p "$tmp/nginx" -c "$tmp/nginx.conf" -e stderr -g 'daemon off;' 2>"$tmp/nginx.log" &
pids="$pids $!"
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
nginx_rate=$(rate "http://127.0.0.1:$port")

echo "list pages per second, 20 clients, ${seconds} s:"
echo "  zkboard serve             $serve_rate"
echo "  nginx on zkboard render   $nginx_rate  (reference)"
echo "zkboard serve memory (shipped board): ${start_rss} kB resident at start, ${peak_rss} kB peak"
