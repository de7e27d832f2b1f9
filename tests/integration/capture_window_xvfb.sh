#!/usr/bin/env bash
# A real window under Xvfb: F6 saves a screenshot and F9 a recording of the
# booting console into the -desktop folder; the PNG is 384 x 384 (default
# scale 3) and the GIF 256 x 256 (default scale 2) with at least one image.
# Keys are retried until the files appear, so a loaded machine only makes
# it slower.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$2"
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 0; }
done
[ -f "$build/data.pod" ] || { echo "skipped: data.pod not built"; exit 0; }

tmp="$(mktemp -d)"
source "$(dirname "$0")/../data/xvfb_lib.sh"
mkdir -p "$tmp/home" "$tmp/desk"
start_xvfb 191 240

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$bin" -home "$tmp/home" -desktop "$tmp/desk" -width 400 -height 400 \
   -windowed 1 -window_x 0 -window_y 0 -frameless 1 >"$tmp/out" 2>&1) &
zpid=$!

# press_until KEY SUFFIX: presses KEY every few seconds until a desktop file
# "<title>SUFFIX" exists (the title comes from data.pod).
found() { ls "$tmp/desk" | grep -E -- "^[^_]+$1\$" | head -1; }
press_until() {
  local i
  for i in $(seq 150); do
    [ -n "$(found "$2")" ] && return 0
    kill -0 "$zpid" 2>/dev/null || { echo "FAIL: the console ended early"; cat "$tmp/out"; exit 1; }
    if [ $((i % 25)) -eq 1 ]; then
      xdotool mousemove 200 200 keydown "$1"
      sleep 0.2
      xdotool keyup "$1"
    fi
    sleep 0.2
  done
  return 1
}

fail=0
sleep 2
press_until F6 '_000\.png' || { echo "FAIL: F6 saved no screenshot"; fail=1; }
press_until F9 '_0\.gif' || { echo "FAIL: F9 saved no video"; fail=1; }
if [ $fail -eq 0 ]; then
  python3 - "$tmp/desk/$(found '_000\.png')" "$tmp/desk/$(found '_0\.gif')" <<'PY' || fail=1
import struct, sys
png = open(sys.argv[1], 'rb').read()
w, h, depth, ctype = struct.unpack('>IIBB', png[16:26])
if (w, h, depth, ctype) != (384, 384, 8, 6):
    print("FAIL: screenshot header", w, h, depth, ctype); sys.exit(1)
gif = open(sys.argv[2], 'rb').read()
gw, gh = struct.unpack('<HH', gif[6:10])
if gif[:6] != b'GIF89a' or (gw, gh) != (256, 256) or b'NETSCAPE2.0' not in gif or gif[-1:] != b';':
    print("FAIL: video header", gif[:6], gw, gh); sys.exit(1)
PY
fi
# Only finished, numbered files: no temp files left behind.
leftovers="$(ls "$tmp/desk" | grep -v -E '^[^_]+_([0-9]{3}\.png|[0-9]+\.gif)$')"
[ -z "$leftovers" ] || { echo "FAIL: stray files: $leftovers"; fail=1; }
[ $fail -eq 0 ] && echo "capture window: ok"
exit $fail
