#!/usr/bin/env bash
# The CPU budget on real cartridges: a program that never yields is cut at
# every update step and continues at the next one, without hanging the
# host; frames of 100,000 instructions fit at 30 frames per second and
# overrun at 60.
source "$3/tests/data/run_lib.sh"

# Never yields: each update step gets one frame's budget (139,810 cycles at
# 30), so the work done grows with the steps given and -frames still ends
# the run normally, cart data saved.
mkcart spin.zk <<'CART'
cartdata("spin")
n=0
while true do n+=1 if n>=1000 then n=0 dset(0,dget(0)+1) end end
CART
runcart spin.zk -frames 30
expect_status 0 "never-yielding cart ended by -frames"
a="$(dword spin 0)"
rm -f "$tmp/home/cdata/spin.zkd.txt"
runcart spin.zk -frames 60
b="$(dword spin 0)"
if ! awk -v a="$a" -v b="$b" 'BEGIN { exit !(a > 100 && b >= 2 * a - 1 && b <= 2 * a + 1) }'; then
  echo "FAIL (budget per step): $a thousand-loops in 30 steps, $b in 60"
  failures=$((failures + 1))
fi

# The same inside _update of the generated main loop.
mkcart spinupdate.zk <<'CART'
function _update() while true do end end
function _draw() cls(1) end
CART
runcart spinupdate.zk -frames 30
expect_status 0 "endless _update ended by -frames"

# A frame cut by the budget is not presented: the display keeps the last
# finished frame (the screen dump equals that of a cart that only ever
# drew it), while a frame that finishes is shown.
mkcart steady.zk <<'CART'
function _draw() cls(3) end
CART
runcart steady.zk -frames 20 -dump_screen "$tmp/steady.png"
mkcart held.zk <<'CART'
f=0
function _draw()
 f+=1
 if f==1 then cls(3) else cls(8) while true do end end
end
CART
runcart held.zk -frames 20 -dump_screen "$tmp/held.png"
mkcart shown.zk <<'CART'
f=0
function _draw()
 f+=1
 if f==1 then cls(3) else cls(8) end
end
CART
runcart shown.zk -frames 20 -dump_screen "$tmp/shown.png"
if [ ! -s "$tmp/steady.png" ] || ! cmp -s "$tmp/steady.png" "$tmp/held.png"; then
  echo "FAIL (held frame): the unfinished frame reached the display"
  failures=$((failures + 1))
fi
if cmp -s "$tmp/steady.png" "$tmp/shown.png"; then
  echo "FAIL (finished frame): the second frame was not shown"
  failures=$((failures + 1))
fi

# An endless loop inside a call that cannot be suspended (a metamethod run
# from a host function) fails after one more second of budget instead of
# hanging the host.
mkcart pairsloop.zk <<'CART'
t=setmetatable({},{__pairs=function()
 while true do end
end})
function _update() for k in pairs(t) do end end
CART
runcart pairsloop.zk -frames 30
expect_output "** 
** runtime error line 2 tab 0
**  while true do end
** attempt to yield across a C-call boundary
** in _update line 4 (tab 0)" "endless loop in __pairs"
expect_status 2 "endless loop in __pairs"

# 100,000 instructions per frame fit the 30 fps budget: one frame per step.
mkcart fit30.zk <<'CART'
cartdata("fit30")
d=0
function _update() for i=1,100 do for j=1,1000 do end end end
function _draw() d+=1 dset(0,d) dset(1,stat(7)) end
CART
runcart fit30.zk -frames 30
expect_eq "$(dword fit30 0) $(dword fit30 1)" "30 30" "100,000-instruction frames at 30 fps"

# At 60 the same frame overruns: the rate drops to 30 and stays there (each
# frame now runs _update60 twice), and stat(1) exceeds one frame because
# the frame cycle counter spans the steps of the frame.
mkcart over60.zk <<'CART'
d=0
function _update60() for i=1,100 do for j=1,1000 do end end end
function _draw() d+=1 if d==5 then assert(false,"fps="..stat(7).." cap="..stat(8).." over="..tostr(stat(1)>1)) end end
CART
runcart over60.zk -frames 60
expect_line "** fps=30 cap=60 over=true" "100,000-instruction frames at 60 fps"

finish
