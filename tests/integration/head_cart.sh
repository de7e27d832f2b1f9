#!/usr/bin/env bash
# The head cartridge boots from data.pod, shows its title without errors and
# starts a game when O is pressed (scripted buttons), deterministically.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
# boot NAME [options...]: boots the console for 400 steps, dumps the screen.
boot() {
  local name="$1"
  shift
  (cd "$tmp" && timeout 120 "$bin" -home "$tmp/home-$name" -fast -seed 7 -frames 400 \
    -dump_screen "$tmp/$name.png" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err")
}

# O held for a second, from step 250 (the cart starts at boot frame 90).
printf '0 0\n250 10\n280 0\n' >"$tmp/press.txt"
boot title
boot title2
boot play -input "$tmp/press.txt"

for n in title play; do
  check "[ -s '$tmp/$n.png' ]" "$n: screen dumped"
  check "! grep -Eqi 'error|line [0-9]+|nil value|out of memory' '$tmp/$n.out'" "$n: no error on the console"
done
check "cmp -s '$tmp/title.png' '$tmp/title2.png'" "two runs with the same seed show the same title screen"
check "! cmp -s '$tmp/title.png' '$tmp/play.png'" "pressing O leaves the title screen"
check "[ -f '$tmp/home-title/cdata/zurkel_head.zkd.txt' ] || [ -f '$tmp/home-play/cdata/zurkel_head.zkd.txt' ]" "the cart opened its cart data"

# -run: the cartridge named on the command line runs after the boot sequence
# instead of the head cart; without -run (and without -x) it does not.
printf 'zurkel cartridge // t\nversion 12\n__lua__\ncartdata("boot_run")\ndset(0,1)\n__gfx__\n' >"$tmp/mine.zk"
boot mine "$tmp/mine.zk" -run
check "[ -f '$tmp/home-mine/cdata/boot_run.zkd.txt' ]" "-run runs the command-line cart after boot"
boot notmine "$tmp/mine.zk"
check "[ ! -f '$tmp/home-notmine/cdata/boot_run.zkd.txt' ]" "without -run the head cart runs"
check "cmp -s '$tmp/title.png' '$tmp/notmine.png'" "without -run the head cart's title shows"
boot missing "$tmp/none.zk" -run
check "cmp -s '$tmp/title.png' '$tmp/missing.png'" "-run with a missing cart leaves the head cart to run"

[ $fail -eq 0 ] && echo ok
exit $fail
