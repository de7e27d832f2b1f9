#!/usr/bin/env bash
# The cart author's loop on the real binary: the usage of every program,
# printh on standard output, -record replayed with -input, and -watch
# rerunning a cart whose file an editor keeps changing.
source "$3/tests/data/run_lib.sh"

# --help and -h: the usage on standard output, status 0, nothing started
# (no data folder made), before other options are looked at.
tools="$(cd "$build" && pwd)/tools"
while IFS='|' read -r cmd want; do
  out="$(cd "$tmp" && eval "$cmd" 2>"$tmp/stderr")"
  status=$?
  expect_status 0 "$cmd"
  expect "grep -q -- '$want' <<<\"\$out\"" "$cmd prints its usage ($want)"
done <<EOF
"$bin" --help -home "$tmp/nohome"|-record FILE
"$bin" -h|-watch
"$bin" -x --help|-dump_screen FILE
"$tools/zkcart/zkcart" --help|usage: zkcart
"$tools/zkboard/zkboard" -h|usage: zkboard
"$tools/zklua/zklua" --help|usage: zklua
"$tools/podbuild/podbuild" --help|usage: podbuild
EOF
expect "[ ! -e '$tmp/nohome' ]" "--help starts nothing"
# Every option of the table is in the usage once.
usage="$("$bin" --help)"
for o in width home headless run splore x p frames fast seed input dump_audio watch record; do
  expect_eq "$(grep -c -- "^  -$o[ ]" <<<"$usage")" 1 "usage lists -$o"
done

# printh: its text as print shows it, a line each, among the console lines.
printf 'printh("text") printh(1.5) printh(false) printh({}) printh() printh("to", "file.txt")\n' |
  mkcart printh.zk
runcart printh.zk
expect_output "** 
text
1.5
false
[table]

to" "printh"
expect "[ ! -e '$tmp/file.txt' ]" "printh writes no file"

# -record: the buttons of a session driven by -input, replayed with -input,
# give the same screen; the same cart without them another.
mkcart moves.zk <<'EOF'
x,y,u=64,64,64
function _update()
 if btn(0) then x-=1 end
 if btn(1) then x+=1 end
 if btn(2) then y-=1 end
 if btnp(4) then y+=3 end
 if btn(0,1) then u+=2 end
end
function _draw() pset(x,y,8+x%4) pset(u,20,12) end
EOF
printf '0 0\n10 2\n30 11\n40 10 1\n45 0 1\n50 4\n70 0\n' >"$tmp/moves.txt"
runcart moves.zk -frames 100 -input "$tmp/moves.txt" -record "$tmp/rec.txt" -dump_screen "$tmp/live.png"
runcart moves.zk -frames 100 -input "$tmp/rec.txt" -dump_screen "$tmp/replay.png"
runcart moves.zk -frames 100 -dump_screen "$tmp/still.png"
expect "cmp -s '$tmp/live.png' '$tmp/replay.png'" "the recording replays the session"
expect_eq "$(tail -1 "$tmp/rec.txt")" "# 100 steps" "the recording counts its steps"
expect "! cmp -s '$tmp/live.png' '$tmp/still.png'" "the buttons change the screen"
expect "[ -s '$tmp/rec.txt' ] && ! ls '$tmp' | grep -q '\.tmp'" "the recording is written whole"

# -watch: each row changes the file (a shell command on $cart), then waits
# until standard output holds the lines given (the cart prints its version
# with printh in _init). A file that does not compile, or is missing, stops
# the cart with the error on the console until the next good change.
cart="$tmp/watched.zk"
version() { printf 'cls(12) printh("%s")\nfunction _update() end\n' "$1" | mkcart watched.zk; }
broken() { printf 'printh("%s") x = = 1\n' "$1" | mkcart watched.zk; sleep 1; }
version v1
(cd "$tmp" && exec timeout -k 5 60 "$bin" -home "$tmp/home" -headless 1 "$cart" -watch -frames 100000 \
   -dump_screen "$tmp/watch.png" >"$tmp/watch.out" 2>/dev/null) &
zpid=$!
wait_output() {
  local i
  for i in $(seq 200); do
    [ "$(tr '\n' ' ' <"$tmp/watch.out")" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
while IFS='|' read -r change want note; do
  eval "$change"
  wait_output "$want" || { echo "FAIL (-watch: $note): output $(tr '\n' ' ' <"$tmp/watch.out")"; failures=$((failures + 1)); }
done <<'EOF'
true|v1 |the cart runs after the boot
version v2|v1 v2 |a new version runs
touch "$cart"|v1 v2 v2 |a touched file runs again
broken v3|v1 v2 v2 |a syntax error does not run
rm "$cart"; sleep 1|v1 v2 v2 |a missing file does not run
version v4|v1 v2 v2 v4 |the next good save runs
broken v5|v1 v2 v2 v4 |a syntax error again
EOF
kill "$zpid" 2>/dev/null
wait "$zpid"
# The syntax error's headline (colour 14) stays on the screen.
python3 "$src/tests/data/sweep_png.py" "$tmp/watch.png" "$src/assets/gfx/palette.txt" >"$tmp/watch.hex"
expect "grep -q 0e '$tmp/watch.hex'" "the error stays on the screen"
finish
