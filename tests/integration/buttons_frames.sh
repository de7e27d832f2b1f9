#!/usr/bin/env bash
# btnp through real carts: a button held from one update step on is reported
# at frames 0, 15, 19, 23 at 30 frames per second and 0, 30, 38, 46 at 60,
# with the generated main loop and with a cart's own _mainloop.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"

# Each cart writes the frame numbers (counted from the first frame btnp
# reported O) at which btnp(4) was true into cart data slots 0-7.
common='
cartdata("btnp_frames")
f=0 first=nil n=0
function look()
 f+=1
 if btnp(4) then
  if not first then first=f end
  if n<8 then dset(n,f-first) end
  n+=1
 end
end'
printf '%s\nfunction _update() look() end\n' "$common" | mkcart u30.zk
printf '%s\nfunction _update60() look() end\n' "$common" | mkcart u60.zk
printf '%s\nfunction _mainloop() while true do look() flip() end end\n' "$common" | mkcart own.zk

# O held from step 40 to the end.
printf '0 0\n40 10\n' >"$tmp/hold.txt"

# slots FILE -> "v0 v1 v2 v3 " (integer parts of slots 0-3)
slots() {
  local line
  line="$(head -1 "$1")"
  for i in 0 1 2 3; do printf '%d ' "0x${line:$((i * 8)):4}"; done
}

check_frames() {
  local cart="$1" frames="$2" want="$3"
  local f="$tmp/home/cdata/btnp_frames.zkd.txt"
  rm -f "$f"
  runcart "$cart" -frames "$frames" -input "$tmp/hold.txt"
  expect_status 0 "$cart runs"
  if [ ! -f "$f" ]; then
    echo "FAIL ($cart): no cart data written (btnp never reported the press)"
    failures=$((failures + 1))
    return
  fi
  local got
  got="$(slots "$f")"
  if [ "$got" != "$want" ]; then
    echo "FAIL ($cart): btnp frames '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}

check_frames u30.zk 100 "0 15 19 23 "
check_frames own.zk 100 "0 15 19 23 "
check_frames u60.zk 200 "0 30 38 46 "
finish
