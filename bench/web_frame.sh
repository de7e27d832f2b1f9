#!/usr/bin/env bash
# Per-frame time of the web player in headless Chromium: a cart at 60
# frames per second that fills every frame to about 95% of its CPU budget
# (some drawing, then plain loops until stat(1) reaches 0.95), exported
# with zkcart export-html and run with ?bench=1&frames=N&fast=1, which runs
# every update at once before the page has loaded (no virtual time, so the
# browser's clock is real) and writes the times into the element zk-bench.
# The same cart under the desktop console for comparison.
#
# Usage: bench/web_frame.sh <build dir> [frames, default 600]
# Needs the desktop build (zurkel, zkcart, data.pod); builds the web player
# into <build dir>/web as the tests do.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
frames="${2:-600}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
source "$here/tests/data/web_lib.sh"
web_require_tools
page=$(web_player "$build" "$here")

cat > "$tmp/full.zk" <<'CART'
zurkel cartridge // benchmark
version 12
__lua__
frames=0
function _update60() frames+=1 end
function _draw()
 cls(1)
 for i=0,15 do circfill(i*8+4,64+sin(frames/60+i/16)*30,4,i) end
 print("full budget "..frames,30,4,7)
 while stat(1)<0.95 do for i=1,50 do end end
end
CART
"$build/tools/zkcart/zkcart" export-html "$tmp/full.zk" "$tmp/full.html" --player "$page" >/dev/null
echo "page with the cart: $(stat -c %s "$tmp/full.html") bytes"
timeout 600 chromium --headless=new --no-sandbox --disable-gpu --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$tmp/profile" --dump-dom "file://$tmp/full.html?bench=1&frames=$frames&fast=1" \
  2>/dev/null | web_element zk-bench | sed 's/^/chromium: /'
/usr/bin/time -f "desktop: %e s wall for $frames frames" \
  "$build/zurkel" -home "$tmp/home" -x "$tmp/full.zk" -fast -frames "$frames" >/dev/null 2>"$tmp/time" || true
tail -n 1 "$tmp/time"
