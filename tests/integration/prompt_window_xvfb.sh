#!/usr/bin/env bash
# The console prompt in a real window under Xvfb, typed with xdotool: the
# host's text and key events reach the line editor (capitals taken in lower
# case, Left moves the cursor), Enter runs the line (log.txt keeps it) and
# "shutdown" quits.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 0; }
done
[ -f "$(dirname "$bin")/data.pod" ] || { echo "skipped: data.pod not built"; exit 0; }
tmp="$(mktemp -d)"
source "$(dirname "$0")/../data/xvfb_lib.sh"
start_xvfb 191 240
mkdir -p "$tmp/home"
printf 'zurkel cartridge // test\nversion 12\n__lua__\ncartdata("prompt_xvfb") dset(0,1)\n' > "$tmp/end.zk"
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
(cd "$tmp" && exec "$bin" -home "$tmp/home" end.zk -run -width 300 -height 300 -windowed 1 \
   -window_x 0 -window_y 0 -frameless 1 >"$tmp/out" 2>&1) &
zpid=$!

# until LINE TRIES: polls log.txt for LINE (0.2 s apart).
until_logged() {
  for _ in $(seq "$2"); do
    grep -qxF -- "$1" "$tmp/home/log.txt" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}
fail=0
for _ in $(seq 300); do [ -f "$tmp/home/cdata/prompt_xvfb.zkd.txt" ] && break; sleep 0.2; done
sleep 0.5
# Retyped until it arrives (a loaded machine may drop keys), on a line
# emptied with Backspace first.
clear_line() { for _ in $(seq 12); do xdotool key BackSpace; done; }
for _ in $(seq 5); do
  clear_line
  xdotool mousemove 150 150 type --delay 60 "HLp"
  xdotool key Left Left && xdotool type "e" && xdotool key Return
  until_logged "typed: help" 25 && break
done
until_logged "typed: help" 1 || { echo "FAIL: typed help did not run"; fail=1; }
for _ in $(seq 5); do
  clear_line
  xdotool mousemove 150 150 type --delay 60 "shutdown"
  xdotool key Return
  for _ in $(seq 25); do kill -0 "$zpid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$zpid" 2>/dev/null || break
done
kill -0 "$zpid" 2>/dev/null && { echo "FAIL: shutdown did not quit"; fail=1; }
until_logged "typed: shutdown" 1 || { echo "FAIL: shutdown not logged"; fail=1; }
[ $fail -eq 0 ] && echo ok
exit $fail
