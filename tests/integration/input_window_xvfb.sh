#!/usr/bin/env bash
# A real window under Xvfb, keys sent with xdotool: the console boots a test
# cartridge (made the head cartridge of a private data.pod), which paints
# the whole screen in a colour that says which buttons it has seen
# (1 none, 3 O, 11 O and left, 12 O, left and player 1's left); P opens the
# pause menu and Escape closes it; X makes the cartridge open the key
# configuration screen and stop, where K becomes player 0's left; Alt+F4
# quits, and the cart data and the new key map are on disk. Every wait polls with a generous limit and
# key presses are retried, so a loaded machine only makes it slower.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$2"
src="$3"
for tool in Xvfb xdotool import convert python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 0; }
done
podbuild="$build/tools/podbuild/podbuild"
[ -x "$podbuild" ] || { echo "skipped: podbuild not built"; exit 0; }

tmp="$(mktemp -d)"
source "$(dirname "$0")/../data/xvfb_lib.sh"

# The console with a private data.pod whose head cartridge is the test cart.
private_console "$src" "$podbuild" "$bin" <<'CART'
zurkel cartridge // test
version 12
__lua__
cartdata("input_xvfb")
function _update()
 if btn(4) then dset(0,1) end
 if btn(0) and dget(0)==1 then dset(1,1) end
 if btn(0,1) and dget(1)==1 then dset(2,1) end
 if btn(5) and dget(2)==1 then keyconfig() stop() end
end
function _draw()
 local c=1
 if dget(0)==1 then c=3 end
 if dget(1)==1 then c=11 end
 if dget(2)==1 then c=12 end
 cls(c)
end
__gfx__
CART

start_xvfb 141 190

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$tmp/bin/zurkel" -home "$tmp/home" -width 600 -height 520 -windowed 1 \
   -pixel_perfect 1 -window_x 0 -window_y 0 -frameless 1 >"$tmp/out" 2>&1) &
zpid=$!
# Keyboard focus follows the pointer without a window manager.
xdotool mousemove 300 260

# state: "<colour index at the corner> <pixels of colour 7 in the middle>"
state() {
  import -window root "$tmp/shot.png" 2>/dev/null || return 1
  convert "$tmp/shot.png" -crop 512x512+44+4 +repage -depth 8 rgb:"$tmp/shot.rgb" 2>/dev/null || return 1
  python3 - "$tmp/shot.rgb" "$src/assets/gfx/palette.txt" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
if len(data) != 512 * 512 * 3:
    print("? 0"); sys.exit(0)
pal = [tuple(map(int, l.split()[:3])) for l in open(sys.argv[2])][:16]
def idx(x, y):
    o = 3 * ((4 * y + 2) * 512 + 4 * x + 2)
    c = tuple(data[o:o + 3])
    return pal.index(c) if c in pal else -1
white = sum(1 for y in range(32, 96) for x in range(16, 112) if idx(x, y) == 7)
print(idx(2, 2), white, idx(8, 46))
PY
}

# wait_for COLOUR MENU [KEY...]: polls until the corner shows COLOUR and the
# menu is open (MENU=1) or closed (0); presses the keys first and again
# every few seconds while the state has not arrived.
wait_for() {
  local want="$1" menu="$2"
  shift 2
  local s="" i
  for i in $(seq 150); do
    kill -0 "$zpid" 2>/dev/null || { echo "FAIL: the console ended early"; cat "$tmp/out"; exit 1; }
    if [ $# -gt 0 ] && [ $((i % 25)) -eq 1 ]; then
      xdotool mousemove 300 260
      for k in "$@"; do xdotool keydown "$k"; done
      sleep 0.4
      for k in "$@"; do xdotool keyup "$k"; done
    fi
    s="$(state)"
    local c w
    read -r c w _ <<<"$s"
    if [ "$c" = "$want" ]; then
      if [ "$menu" = 1 ] && [ "${w:-0}" -gt 40 ]; then return 0; fi
      if [ "$menu" = 0 ] && [ "${w:-0}" -eq 0 ]; then return 0; fi
    fi
    sleep 0.2
  done
  echo "last state: $s"
  return 1
}

fail=0
wait_for 1 0 || { echo "FAIL: the test cart did not start"; fail=1; }
[ $fail -eq 0 ] && { wait_for 3 0 z || { echo "FAIL: Z did not reach btn(4)"; fail=1; }; }
[ $fail -eq 0 ] && { wait_for 11 0 Left || { echo "FAIL: Left did not reach btn(0)"; fail=1; }; }
[ $fail -eq 0 ] && { wait_for 12 0 s || { echo "FAIL: S did not reach btn(0, 1)"; fail=1; }; }
[ $fail -eq 0 ] && { wait_for 12 1 p || { echo "FAIL: P did not open the pause menu"; fail=1; }; }
[ $fail -eq 0 ] && { wait_for 12 0 Escape || { echo "FAIL: Escape did not close the pause menu"; fail=1; }; }
# The key configuration screen: title bar (7) in the corner, the first
# entry's bar (14) until a key is taken for it.
[ $fail -eq 0 ] && { wait_for 7 0 x || { echo "FAIL: the key configuration screen did not open"; fail=1; }; }
if [ $fail -eq 0 ]; then
  taken=0
  for i in $(seq 150); do
    if [ $((i % 25)) -eq 1 ]; then
      xdotool mousemove 300 260 keydown k
      sleep 0.4
      xdotool keyup k
    fi
    s="$(state)"
    [ "${s##* }" = "6" ] && { taken=1; break; }
    sleep 0.2
  done
  [ $taken -eq 1 ] || { echo "FAIL: the key configuration screen did not take K ($s)"; fail=1; }
fi

# Alt+F4 quits; the cart data is written on the way out.
if [ $fail -eq 0 ]; then
  for _ in $(seq 5); do
    xdotool mousemove 300 260 key alt+F4
    for _ in $(seq 25); do kill -0 "$zpid" 2>/dev/null || break; sleep 0.2; done
    kill -0 "$zpid" 2>/dev/null || break
  done
  if kill -0 "$zpid" 2>/dev/null; then
    echo "FAIL: Alt+F4 did not quit"
    fail=1
  else
    wait "$zpid" 2>/dev/null
    zpid=""
    f="$tmp/home/cdata/input_xvfb.zkd.txt"
    [ "$(head -c 24 "$f" 2>/dev/null)" = "000100000001000000010000" ] ||
      { echo "FAIL: cart data: $(head -c 40 "$f" 2>/dev/null)"; fail=1; }
    # (a retried X may have been taken for the first entry before K, and the
    # keys of Alt+F4 for the next ones when machine steps fall between them)
    grep -qE "^button_keys (27 )?14( [0-9]+)+ *$" "$tmp/home/config.txt" ||
      { echo "FAIL: key map not saved: $(grep button_keys "$tmp/home/config.txt")"; fail=1; }
  fi
fi
[ $fail -eq 0 ] && echo "input window test passed"
[ $fail -ne 0 ] && { echo "--- output"; cat "$tmp/out"; }
exit $fail
