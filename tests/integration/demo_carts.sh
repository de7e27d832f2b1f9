#!/usr/bin/env bash
# install_demos() writes the twelve demo carts of data.pod to demos/ under
# the root folder, and every installed demo runs 600 frames of scripted
# presses (every button of both players in turn) without an error.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"

echo 'install_demos()' | mkcart install.zk
runcart install.zk -frames 5
expect_status 0 "install_demos cart"
demos="$tmp/home/carts/demos"
# A press every 10 steps, held for 3: left, right, up, down, O, X for
# player 0 while player 1 presses the button three places on.
{
  echo "0 0 0"
  for s in $(seq 20 10 580); do
    i=$(((s / 10) % 6))
    printf '%d %x %x\n%d 0 0\n' "$s" $((1 << i)) $((1 << ((i + 3) % 6))) $((s + 3))
  done
} >"$tmp/press.txt"
for name in hello buttons shapes sound sprites mapcam collide music hiscore coro memory game; do
  if [ ! -f "$demos/$name.zk" ]; then
    echo "FAIL: $name.zk not installed"
    failures=$((failures + 1))
    continue
  fi
  out="$(cd "$tmp" && timeout 60 "$bin" -home "$tmp/home" -x "$demos/$name.zk" -fast -frames 600 -seed 1 \
    -input "$tmp/press.txt" 2>"$tmp/stderr")"
  status=$?
  expect_status 0 "$name.zk runs"
  if grep -Eqi 'error|nil value|line [0-9]' <<<"$out"; then
    echo "FAIL ($name.zk): error on the console: $out"
    failures=$((failures + 1))
  fi
done
expect "[ \$(ls \"$demos\" | wc -l) -eq 12 ]" "twelve demos installed"
finish
