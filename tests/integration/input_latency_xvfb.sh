#!/usr/bin/env bash
# Input latency in a real window under Xvfb: a key pressed before update
# step N shows on the frame presented after step N. The host loop is
# slowed to one iteration per 200 ms (-foreground_sleep_ms), the console is
# stopped (SIGSTOP) while it sleeps after presenting step C, the screen is
# read (step C shown), Z is pressed, and the console continued: step C+1
# must see the key and the frame presented after it must show so. The
# test cart draws in _update: the step count and the step that first saw
# Z, as colours of blocks, frozen from that step on.
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

# Blocks (32 x 32 each, top row): step % 16, step / 16 % 16, 8 once Z was
# seen (else 1); the picture stops changing at the step that saw Z.
private_console "$src" "$podbuild" "$bin" <<'CART'
zurkel cartridge // latency test
version 12
__lua__
n=0 seen=false
function _update()
 if seen then return end
 n+=1
 if btn(4) then seen=true end
 cls(0)
 rectfill(0,0,31,31,n%16)
 rectfill(32,0,63,31,flr(n/16)%16)
 rectfill(64,0,95,31,seen and 8 or 1)
end
__gfx__
CART

start_xvfb 200 249
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$tmp/bin/zurkel" -home "$tmp/home" -width 600 -height 520 -windowed 1 \
   -pixel_perfect 1 -window_x 0 -window_y 0 -frameless 1 -foreground_sleep_ms 200 \
   >"$tmp/out" 2>&1) &
zpid=$!
xdotool mousemove 300 260

# state: "<step shown (mod 256)> <Z seen: 1 or 0>", or "?" when unreadable.
state() {
  import -window root "$tmp/shot.png" 2>/dev/null || { echo "?"; return; }
  convert "$tmp/shot.png" -crop 512x512+44+4 +repage -depth 8 rgb:"$tmp/shot.rgb" 2>/dev/null ||
    { echo "?"; return; }
  python3 - "$tmp/shot.rgb" "$src/assets/gfx/palette.txt" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
pal = [tuple(map(int, l.split()[:3])) for l in open(sys.argv[2])][:16]
def idx(bx):
    o = 3 * ((4 * 16) * 512 + 4 * (32 * bx + 16))
    c = tuple(data[o:o + 3])
    return pal.index(c) if len(data) == 512 * 512 * 3 and c in pal else -1
lo, hi, z = idx(0), idx(1), idx(2)
print("?" if min(lo, hi) < 0 or z not in (1, 8) else "%d %d" % (hi * 16 + lo, 1 if z == 8 else 0))
PY
}

# The main thread's current system call while stopped: a sleep (35
# nanosleep, 230 clock_nanosleep) means the last step has been presented
# and the next events are not yet read.
in_sleep() {
  local call
  read -r call _ <"/proc/$zpid/task/$zpid/syscall" 2>/dev/null || return 1
  [ "$call" = 35 ] || [ "$call" = 230 ]
}

# Wait for the cart to run (the step count moves).
first=""
for _ in $(seq 150); do
  kill -0 "$zpid" 2>/dev/null || { echo "FAIL: the console ended early"; cat "$tmp/out"; exit 1; }
  s="$(state)"
  if [ "$s" != "?" ] && [ "${s#* }" = 0 ]; then
    [ -n "$first" ] && [ "$first" != "$s" ] && break
    first="$s"
  fi
  sleep 0.2
done

fail=1
for attempt in $(seq 20); do
  kill -STOP "$zpid"
  sleep 0.05
  if ! in_sleep; then kill -CONT "$zpid"; sleep 0.07; continue; fi
  before="$(state)"
  [ "$before" = "?" ] && { kill -CONT "$zpid"; sleep 0.1; continue; }
  xdotool mousemove 300 260 keydown z
  kill -CONT "$zpid"
  after=""
  for _ in $(seq 50); do
    after="$(state)"
    [ "${after#* }" = 1 ] && break
    sleep 0.1
  done
  xdotool keyup z
  c="${before% *}"
  want="$(( (c + 1) % 256 )) 1"
  if [ "$after" = "$want" ]; then
    echo "input latency test passed: shown at step $c, key pressed, shown with the key at step ${after% *}"
    fail=0
  else
    echo "FAIL: shown at step $c before the key; then: $after (want $want)"
  fi
  break
done
[ $fail -ne 0 ] && [ -z "${after:-}" ] && echo "FAIL: never caught the console sleeping"
[ $fail -ne 0 ] && { echo "--- output"; cat "$tmp/out"; }
exit $fail
