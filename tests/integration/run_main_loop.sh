#!/usr/bin/env bash
# The generated main loop on real cartridges: 30 and 60 frames per second,
# _update60 twice per frame after an overrun, _init/_draw-only carts, a
# cart's own _mainloop, and a cart without callbacks. Each cart reports
# through a failing assert, whose message execute mode prints as "** ...".
source "$3/tests/data/run_lib.sh"

mkcart at30.zk <<'CART'
u=0 d=0 i=0
function _init() i+=1 end
function _update() u+=1 end
function _draw() d+=1 if d==10 then assert(false,"i="..i.." u="..u.." d="..d.." fps="..stat(7).." cap="..stat(8)) end end
CART
runcart at30.zk -frames 100
expect_line "** i=1 u=10 d=10 fps=30 cap=30" "30 fps loop"

mkcart at60.zk <<'CART'
u=0 d=0
function _update60() u+=1 end
function _update() u+=100 end
function _draw() d+=1 if d==10 then assert(false,"u="..u.." d="..d.." fps="..stat(7).." cap="..stat(8)) end end
CART
runcart at60.zk -frames 100
expect_line "** u=10 d=10 fps=60 cap=60" "60 fps loop"

# The first frame overruns the 69,905-cycle budget of 60 fps: the frame is
# held, the rate halves, and the next frame runs _update60 twice.
mkcart drop.zk <<'CART'
u=0 d=0 heavy=true
function _update60()
 u+=1
 if heavy then heavy=false for i=1,100 do for j=1,1000 do end end end
end
function _draw() d+=1 if d==2 then assert(false,"fps="..stat(7).." u="..u.." d="..d) end end
CART
runcart drop.zk -frames 100
expect_line "** fps=30 u=3 d=2" "60 fps overrun"

mkcart drawonly.zk <<'CART'
function _init() n=0 end
function _draw() n+=1 if n==3 then assert(false,"draw "..n) end end
CART
runcart drawonly.zk -frames 100
expect_line "** draw 3" "_init/_draw only"

mkcart own.zk <<'CART'
function _update() assert(false,"generated loop ran") end
function _mainloop()
 for i=1,3 do flip() end
 assert(false,"own mainloop "..stat(7))
end
CART
runcart own.zk -frames 100
expect_line "** own mainloop 30" "own _mainloop"
expect_no_line "** generated loop ran" "own _mainloop"

mkcart plain.zk <<'CART'
x=1
CART
runcart plain.zk -frames 100
expect_status 0 "no callbacks"
[ -z "$out" ] || { echo "FAIL (no callbacks): output: $out"; failures=$((failures + 1)); }

finish
