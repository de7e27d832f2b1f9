#!/usr/bin/env bash
# Search text typed on a real keyboard (Xvfb, xdotool): letters that are
# also buttons (x, z, p ...) only type, 30 typed characters keep the first
# 22, and Enter searches with them in the query.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$2"
src="$3"
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 0; }
done
tmp="$(mktemp -d)"
source "$(dirname "$0")/../data/xvfb_lib.sh"
mkdir -p "$tmp/home"
"$build/tools/zkcart/zkcart" pack "$src/assets/carts/hello.zk" "$tmp/cart.zk.png" >/dev/null
python3 "$src/tests/data/splore_board.py" "$tmp/requests" "$tmp/cart.zk.png" >"$tmp/port" &
bpid=$!
trap 'kill $bpid 2>/dev/null; xvfb_cleanup' EXIT
for _ in $(seq 100); do grep -qs port "$tmp/port" && break; sleep 0.1; done
start_xvfb 191 240
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$bin" -home "$tmp/home" -splore -board_url "http://127.0.0.1:$(cut -d' ' -f2 "$tmp/port")" \
   -width 400 -height 400 -windowed 1 -window_x 0 -window_y 0 -frameless 1 >"$tmp/out" 2>&1) &
zpid=$!
# logged LINE: polls log.txt for a line (up to 30 s), pressing KEYS every 3 s.
logged() {
  local line="$1" i
  shift
  for i in $(seq 150); do
    grep -q -- "$line" "$tmp/home/log.txt" 2>/dev/null && return 0
    kill -0 "$zpid" 2>/dev/null || return 1
    if [ $# -gt 0 ] && [ $((i % 15)) -eq 1 ]; then xdotool mousemove 200 200 key "$@"; fi
    sleep 0.2
  done
  return 1
}
fail=0
logged 'splore: enter' || { echo "FAIL: the browser did not start"; fail=1; }
[ $fail = 0 ] && { logged 'splore: showing search' Left || { echo "FAIL: Left did not reach search"; fail=1; }; }
if [ $fail = 0 ]; then
  logged 'splore: search entry' Return || { echo "FAIL: Enter did not start the search entry"; fail=1; }
  sleep 0.5
  xdotool type --delay 60 "xzpabcdefghijklmnopqrstuvwxyz0"
  sleep 0.5
  xdotool key Return
  for _ in $(seq 100); do grep -q 'search=' "$tmp/requests" 2>/dev/null && break; sleep 0.2; done
  got=$(sed -n 's/.*search=\([^&]*\)&max=32.*/\1/p' "$tmp/requests")
  [ "$got" = "xzpabcdefghijklmnopqrs" ] || { echo "FAIL: search text '$got'"; cat "$tmp/requests"; fail=1; }
fi
[ $fail -eq 0 ] && echo "splore_typing_xvfb: ok"
exit $fail
