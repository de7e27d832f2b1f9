#!/usr/bin/env bash
# The sample games of assets/games run headless without an error: each one
# shows its title, a scripted game starts and plays (the screen leaves the
# title), and the scripted game ends with its best result in cart data.
source "$(dirname "$0")/../data/run_lib.sh" "$@"

clean() { ! grep -Eqi 'error|line [0-9]|nil value|out of memory' <<<"$out"; }

# game | steps | cart-data word above 0 afterwards | input as step:mask
# Each script presses O or X to start and plays until the game ends:
# skyhop runs into a pit, icefloe solves level 1, the others get hit.
while IFS='|' read -r game steps word script; do
  cp "$src/assets/games/$game.zk" "$tmp/"
  tr ' :' '\n ' <<<"$script" >"$tmp/$game.in"
  runcart "$game.zk" -frames 600 -seed 1 -dump_screen "$tmp/$game-title.png"
  expect_status 0 "$game: title"
  expect clean "$game: title runs cleanly"
  runcart "$game.zk" -frames "$steps" -seed 1 -input "$tmp/$game.in" -dump_screen "$tmp/$game-play.png"
  expect_status 0 "$game: play"
  expect clean "$game: play runs cleanly"
  expect "[ -s '$tmp/$game-play.png' ] && ! cmp -s '$tmp/$game-title.png' '$tmp/$game-play.png'" \
    "$game: the game leaves its title screen"
  best="$(dword "zk_$game" "$word")"
  expect "[ '$best' != none ] && awk 'BEGIN { exit !($best > 0) }'" "$game: cart data word $word is $best"
done <<'EOF'
skyhop|600|0|0:0 40:10 45:0 50:2
starlance|1200|1|0:0 40:20 45:0
icefloe|600|1|0:0 40:20 45:0 80:2 84:0 120:8 124:0 160:1 164:0
rebound|1200|0|0:0 20:1 50:11 54:2 270:1 300:11 304:2 520:1 550:11 554:2 770:1 800:11 804:2
nightrun|900|0|0:0 40:20 45:0 50:4
EOF
finish
