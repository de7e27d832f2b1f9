#!/usr/bin/env bash
# A real window under Xvfb, keys sent with xdotool, a cart run with -run
# that reports each version with printh: Ctrl+R reruns it after a runtime
# error with the file's new code; F7 takes the screen as its label, which
# Ctrl+S writes into the file, and the capture outlives a reload of a file
# without it. Keys are retried until the effect shows, so a loaded machine
# only makes it slower.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$2"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 0; }
done
[ -f "$build/data.pod" ] || { echo "skipped: data.pod not built"; exit 0; }

tmp="$(mktemp -d)"
source "$(dirname "$0")/../data/xvfb_lib.sh"
mkdir -p "$tmp/home"
cart="$tmp/keys.zk"
mkcart() { { echo "zurkel cartridge // test"; echo "version 12"; echo "__lua__"; cat; } >"$cart"; }
mkcart <<'EOF'
printh("v1")
function _update() local t=nil t.x=1 end
EOF
start_xvfb 241 290

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$bin" -home "$tmp/home" -width 400 -height 400 -windowed 1 -window_x 0 \
   -window_y 0 -frameless 1 "$cart" -run >"$tmp/out" 2>&1) &
zpid=$!

# until CONDITION KEYS...: presses the key combinations (xdotool names) in
# turn every few seconds until the eval'd CONDITION holds.
until_true() {
  local cond="$1" i k
  shift
  for i in $(seq 150); do
    eval "$cond" && return 0
    kill -0 "$zpid" 2>/dev/null || { echo "FAIL: the console ended early"; cat "$tmp/out"; exit 1; }
    if [ $# -gt 0 ] && [ $((i % 15)) -eq 1 ]; then
      for k in "$@"; do
        xdotool mousemove 200 200 keydown "$k"
        sleep 0.3
        xdotool keyup "$k"
        sleep 0.3
      done
    fi
    sleep 0.2
  done
  return 1
}
printed() { grep -qx "$1" "$tmp/out"; }
# label_row N: row N of the file's label, "" without one.
label_row() { sed -n '/^__label__$/,$p' "$cart" | sed -n "$(($1 + 2))p"; }
row0="$(printf '8%.0s' $(seq 128))"
row15="$(printf '8%.0s' $(seq 10))$(printf 'c%.0s' $(seq 11))$(printf '8%.0s' $(seq 107))"

fail=0
step() { [ $fail -eq 0 ] && { until_true "$@" || { echo "FAIL: $note"; fail=1; }; }; }
note="the cart did not run"; step 'printed v1'
mkcart <<'EOF'
printh("v2")
function _draw() cls(8) rectfill(10,10,20,20,12) end
EOF
note="Ctrl+R did not rerun the cart after its error"; step 'printed v2' ctrl+r
note="F7 and Ctrl+S did not write the label"
step '[ "$(label_row 0)" = "$row0" ] && [ "$(label_row 15)" = "$row15" ]' F7 ctrl+s
mkcart <<'EOF'
printh("v3")
function _draw() cls(8) end
EOF
note="Ctrl+R did not reload the running cart"; step 'printed v3' ctrl+r
note="the capture did not outlive the reload"
step 'grep -q "printh(\"v3\")" "$cart" && [ "$(label_row 15)" = "$row15" ]' ctrl+s
[ $fail -eq 0 ] || { echo "--- output:"; cat "$tmp/out"; }
[ $fail -eq 0 ] && echo "author keys: ok"
exit $fail
