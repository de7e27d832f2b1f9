#!/usr/bin/env bash
# The web player in a real browser: scripts/web.sh builds the page, headless
# Chromium runs it for a fixed number of updates paced by timers (the URL
# query carries the options), and the screen it leaves in zk-dump must be
# the interpreter-made test picture stepped once per update, with every
# library check passed. A screenshot shows the canvas at a whole scale with
# sharp pixels. Skipped when emscripten or chromium is missing.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/web_lib.sh"
web_require_tools
page=$(web_player "$build" "$src") || { echo "FAIL: web build"; exit 1; }

# The picture after N updates: 8 x 8 squares, colour (x/8 + y/8 + N) & 15.
picture() {
  local n=$1 y bx h row out=""
  for ((y = 0; y < 128; y++)); do
    row=""
    for ((bx = 0; bx < 16; bx++)); do
      printf -v h %x $(((bx + (y >> 3) + n) & 15))
      row+="$h$h$h$h$h$h$h$h"
    done
    out+=$row
  done
  echo "$out"
}

# query  updates  what it shows
cases=(
  "frames=1&fast=1       1   one update, back-to-back timers"
  "fast=1&frames=%33%37  37  percent-encoded value, options in any order"
  "frames=20&fast=0      20  timers at 60 Hz (fast=0 leaves the flag off)"
)
for c in "${cases[@]}"; do
  read -r query n what <<<"$c"
  dom=$(web_dom "file://$page?$query" "$(web_budget 60)") || { fail=1; continue; }
  err=$(web_element zk-error <<<"$dom")
  check "[ -z '$err' ]" "$what: library checks ($err)"
  dump=$(web_element zk-dump <<<"$dom")
  check "[ '$dump' = '$(picture "$n")' ]" "$what: dump after $n updates (${#dump} digits: ${dump:0:40}...)"
done

# A 300 x 300 window fits scale 2: a 256-pixel box at (22, 22), each screen
# pixel two by two, no blending at the edge between two squares.
colour() { sed -n "$(($1 + 1))p" "$src/assets/gfx/palette.txt" | awk '{printf "srgb(%d,%d,%d)", $1, $2, $3}'; }
profile=$(mktemp -d)
timeout 120 chromium --headless=new --no-sandbox --disable-gpu --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size=300,300 \
  --virtual-time-budget=2000 --screenshot="$tmp/shot.png" "file://$page?frames=3&fast=1" \
  >/dev/null 2>&1
rm -rf "$profile"
px() { convert "$tmp/shot.png" -format "%[pixel:p{$1,$2}]" info: 2>/dev/null; }
for spot in "21 30 srgb(0,0,0)" "22 30 $(colour 3)" "37 30 $(colour 3)" "38 30 $(colour 4)" \
            "277 277 $(colour 1)" "278 277 srgb(0,0,0)"; do
  read -r x y want <<<"$spot"
  check "[ '$(px "$x" "$y")' = '$want' ]" "screenshot pixel ($x, $y) is $want"
done

[ $fail -eq 0 ] && echo ok
exit $fail
