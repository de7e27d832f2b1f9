#!/usr/bin/env bash
# Carts on the web and as standalone programs, against the console itself.
# scripts/web.sh builds the web player; zkcart export-html makes a page per
# cart and export-bin a standalone program. Headless Chromium runs each page
# for fixed frames with scripted buttons (the URL query carries the
# console's options, -input lines URL-encoded), and the screen it leaves in
# zk-dump must equal, pixel for pixel, what the console's -dump_screen gives
# for the same cart, frames, seed and input, and so must the standalone
# program's. Cart data written in one visit is read in the next; a broken
# cart shows the console's error screen; the canvas is scaled by a whole
# factor with sharp pixels; the page stays under 2 MB. Skipped when
# emscripten or chromium is missing.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/web_lib.sh"
web_require_tools
zkcart="$build/tools/zkcart/zkcart"
player=$(web_player "$build" "$src") || { echo "FAIL: web build"; exit 1; }
size=$(stat -c %s "$player")
check "[ $size -lt 1900000 ]" "the player page ($size bytes) leaves room for a cart under 2 MB"

# Test carts beside the demos: cart data counted per visit, a runtime error
# after a few frames, and two colour halves for the scaling check.
cat >"$tmp/visits.zk" <<'EOF'
zurkel cartridge // test
version 12
__lua__
cartdata("web_visits")
n=dget(0)+1
dset(0,n)
function _draw() cls(2) print("visit "..n,10,10,7) end
EOF
cat >"$tmp/broken.zk" <<'EOF'
zurkel cartridge // test
version 12
__lua__
t=0
function _update() t+=1 if t==3 then local x=nil x.y=1 end end
function _draw() cls(1) print(t,0,0,7) end
EOF
cat >"$tmp/halves.zk" <<'EOF'
zurkel cartridge // test
version 12
__lua__
function _draw() rectfill(0,0,63,127,3) rectfill(64,0,127,127,4) end
EOF

# desktop CART FRAMES SEED INPUT HOME: the console's screen in execute mode.
desktop() {
  printf '%b' "$4" >"$tmp/input.txt"
  "$bin" -home "$5" -x "$1" -fast -frames "$2" -seed "$3" -input "$tmp/input.txt" \
    -dump_screen "$tmp/desktop.png" >/dev/null 2>&1
  web_png_indices "$tmp/desktop.png" "$src/assets/gfx/palette.txt"
}
# standalone PROGRAM FRAMES SEED INPUT HOME: the same from an exported program.
standalone() {
  printf '%b' "$4" >"$tmp/input.txt"
  "$1" -home "$5" -headless 1 -fast -frames "$2" -seed "$3" -input "$tmp/input.txt" \
    -dump_screen "$tmp/standalone.png" >/dev/null 2>&1
  web_png_indices "$tmp/standalone.png" "$src/assets/gfx/palette.txt"
}
# page PAGE FRAMES SEED INPUT [PROFILE]: the page's zk-dump.
page() {
  local input
  input=$(printf '%b' "$4" | python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.stdin.read(), safe=""))')
  web_dom "file://$1?frames=$2&seed=$3&fast=1&input=$input" "$(web_budget "$2")" "${5:-}" |
    web_element zk-dump
}

# cart                         frames seed input lines (STEP MASK0 MASK1)
cases=(
  "assets/carts/shapes.zk        60   3    "
  "assets/carts/buttons.zk       90   1    10 1\n30 12 3\n50 30 20\n70 0"
  "assets/carts/game.zk          120  7    5 2\n40 10\n80 31"
  "assets/carts/sprites.zk       45   9    "
)
for c in "${cases[@]}"; do
  read -r cart frames seed input <<<"$c"
  name=$(basename "$cart" .zk)
  "$zkcart" export-html "$src/$cart" "$tmp/$name.html" >/dev/null &&
    "$zkcart" export-bin "$src/$cart" "$tmp/$name.bin" >/dev/null ||
    { check false "$name: exports"; continue; }
  want=$(desktop "$src/$cart" "$frames" "$seed" "$input" "$(mktemp -d -p "$tmp")")
  got=$(page "$tmp/$name.html" "$frames" "$seed" "$input")
  own=$(standalone "$tmp/$name.bin" "$frames" "$seed" "$input" "$(mktemp -d -p "$tmp")")
  check "[ ${#want} -eq 16384 ]" "$name: the console's dump (${#want} digits)"
  check "[ '$got' = '$want' ]" "$name: the page's screen after $frames frames is the console's (${got:0:32}...)"
  check "[ '$own' = '$want' ]" "$name: the standalone program's screen is the console's"
done

# The player without a cart is the console: boot sequence, then the head
# cart, as the desktop shows them.
H=$(mktemp -d -p "$tmp")
"$bin" -home "$H" -headless 1 -fast -frames 150 -seed 2 -dump_screen "$tmp/boot.png" >/dev/null 2>&1
want=$(web_png_indices "$tmp/boot.png" "$src/assets/gfx/palette.txt")
got=$(web_dom "file://$player?frames=150&fast=1&seed=2" "$(web_budget 150)" | web_element zk-dump)
check "[ ${#want} -eq 16384 ] && [ '$got' = '$want' ]" "the player alone boots the head cart as the console does"

# The same cart with other buttons gives another screen (the input arrives).
a=$(page "$tmp/buttons.html" 40 1 "")
b=$(page "$tmp/buttons.html" 40 1 "1 3")
check "[ ${#a} -eq 16384 ] && [ ${#b} -eq 16384 ] && [ '$a' != '$b' ]" "buttons held through the query change the screen (${#a}, ${#b} digits)"

# Keys: the page held down by key events (a script added to a copy of the
# page) shows other buttons than the page left alone, a key of its own each.
hold() {
  python3 - "$tmp/buttons.html" "$tmp/hold-$1.html" "$1" <<'PY'
import sys
page = open(sys.argv[1]).read()
key = ('<script>setInterval(function () { window.dispatchEvent(new KeyboardEvent("keydown", '
       '{code: "%s", repeat: true})); }, 1);</script></body>' % sys.argv[3])
at = page.rindex("</body>")
open(sys.argv[2], "w").write(page[:at] + key + page[at + 7:])
PY
  page "$tmp/hold-$1.html" 40 1 ""
}
right=$(hold ArrowRight) x=$(hold KeyX)
check "[ ${#right} -eq 16384 ] && [ '$right' != '$a' ] && [ '$x' != '$a' ] && [ '$x' != '$right' ]" "held keys reach the cart's buttons"

# Sound: at the page's own pace (no fast) the console's mixer feeds the
# audio worklet (the test browser may start sound without a gesture).
audio=$(web_dom "file://$tmp/game.html?frames=30&seed=1" "$(web_budget 60)" |
  sed -n 's/.*data-zk-audio="\([^"]*\)".*/\1/p' | head -n 1)
read -r kind fed <<<"$audio"
check "[ '$kind' = worklet ] && [ '${fed:-0}' -gt 2000 ]" "the mixer feeds the audio worklet ($audio)"

# Cart data: a page visited twice with the same browser profile counts two
# visits, as the console does with the same home folder.
"$zkcart" export-html "$tmp/visits.zk" "$tmp/visits.html" >/dev/null
profile=$(mktemp -d -p "$tmp") home=$(mktemp -d -p "$tmp")
for visit in 1 2; do
  want=$(desktop "$tmp/visits.zk" 3 1 "" "$home")
  got=$(page "$tmp/visits.html" 3 1 "" "$profile")
  check "[ -n '$got' ] && [ '$got' = '$want' ]" "visit $visit: the page shows the console's count"
  eval "visit$visit=\$got"
done
check "[ '$visit1' != '$visit2' ]" "the second visit reads what the first stored"

# A broken cart: the page shows the console's error screen (colour 14 is the
# error headline's), as the standalone program does.
"$zkcart" export-html "$tmp/broken.zk" "$tmp/broken.html" >/dev/null
"$zkcart" export-bin "$tmp/broken.zk" "$tmp/broken.bin" >/dev/null
got=$(page "$tmp/broken.html" 20 1 "")
want=$(standalone "$tmp/broken.bin" 20 1 "" "$(mktemp -d -p "$tmp")")
check "[ '$got' = '$want' ] && [[ '$got' == *e* ]]" "the broken cart's page shows the error screen"

# The console's own export: a cart that exports itself in execute mode.
home=$(mktemp -d -p "$tmp")
printf 'zurkel cartridge // test\nversion 12\n__lua__\nexport("self.html")\nfunction _draw() cls(5) circfill(64,64,30,9) end\n' >"$tmp/self.zk"
want=$(desktop "$tmp/self.zk" 10 2 "" "$home")
got=$([ -f "$home/carts/self.html" ] && page "$home/carts/self.html" 10 2 "")
check "[ -n '$got' ] && [ '$got' = '$want' ]" "export(\"self.html\") writes a page that plays the cart"

# Sharp whole-number scaling: a 300 x 300 window fits scale 2, a 256-pixel
# box at (22, 22), the halves meeting between x 149 and 150 unblended.
"$zkcart" export-html "$tmp/halves.zk" "$tmp/halves.html" >/dev/null
colour() { sed -n "$(($1 + 1))p" "$src/assets/gfx/palette.txt" | awk '{printf "srgb(%d,%d,%d)", $1, $2, $3}'; }
profile=$(mktemp -d -p "$tmp")
timeout 120 chromium --headless=new --no-sandbox --disable-gpu --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size=300,300 \
  --virtual-time-budget=3000 --screenshot="$tmp/shot.png" "file://$tmp/halves.html?frames=3&fast=1" \
  >/dev/null 2>&1
px() { convert "$tmp/shot.png" -format "%[pixel:p{$1,$2}]" info: 2>/dev/null; }
for spot in "21 30 srgb(0,0,0)" "22 30 $(colour 3)" "149 30 $(colour 3)" "150 30 $(colour 4)" \
            "277 277 $(colour 4)" "278 277 srgb(0,0,0)"; do
  read -r x y want <<<"$spot"
  check "[ '$(px "$x" "$y")' = '$want' ]" "screenshot pixel ($x, $y) is $want"
done

# Escape opens the pause menu over the page: a key-down half a second after
# the console started (the copy's script waits for it), then a screenshot;
# the menu's white frame crosses (150, 118), the buttons page is dark there.
python3 - "$tmp/buttons.html" "$tmp/escape.html" <<'PY'
import sys
page = open(sys.argv[1]).read()
key = """<script>
var zkWait = setInterval(function () {
  if (!Module.zkStorageReady) return;
  clearInterval(zkWait);
  setTimeout(function () {
    window.dispatchEvent(new KeyboardEvent("keydown", {code: "Escape"}));
    setTimeout(function () { window.dispatchEvent(new KeyboardEvent("keyup", {code: "Escape"})); }, 100);
  }, 500);
}, 1);
</script></body>"""
at = page.rindex("</body>")
open(sys.argv[2], "w").write(page[:at] + key + page[at + 7:])
PY
for f in buttons escape; do
  timeout 120 chromium --headless=new --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d -p "$tmp")" --hide-scrollbars --window-size=300,300 \
    --virtual-time-budget=12000 --screenshot="$tmp/shot.png" "file://$tmp/$f.html?frames=120&seed=1" \
    >/dev/null 2>&1
  eval "$f=\$(px 150 118)"
done
check "[ '$escape' = '$(colour 7)' ] && [ '$buttons' = '$(colour 0)' ]" "Escape opens the pause menu on the page ($escape, $buttons)"

# zkcart's refusals: no player, a page that is not the player.
out=$("$zkcart" export-html "$tmp/halves.zk" "$tmp/x.html" --player "$tmp/none.html" 2>&1); rc=$?
check "[ $rc -eq 1 ] && [[ '$out' == *'scripts/web.sh'* ]] && [ ! -e '$tmp/x.html' ]" "export-html without a player says how to build one"
echo '<html></html>' >"$tmp/other.html"
out=$("$zkcart" export-html "$tmp/halves.zk" "$tmp/x.html" --player "$tmp/other.html" 2>&1); rc=$?
refused=0
[[ "$out" == *"not the web player's page"* ]] && refused=1
check "[ $rc -eq 1 ] && [ $refused -eq 1 ] && [ ! -e '$tmp/x.html' ]" "export-html refuses another page"

[ $fail -eq 0 ] && echo ok
exit $fail
