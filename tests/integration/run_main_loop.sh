#!/usr/bin/env bash
# The generated main loop on real cartridges: 30 and 60 frames per second,
# _update60 twice per frame after an overrun and back to 60 afterwards,
# _init/_draw-only carts, a cart's own _mainloop, a cart without callbacks,
# and time() at both rates.
source "$3/tests/data/run_lib.sh"

mkcart at30.zk <<'CART'
u=0 d=0 i=0
function _init() i+=1 end
function _update() u+=1 end
function _draw() d+=1 if d==10 then assert(false,"i="..i.." u="..u.." d="..d.." fps="..stat(7).." cap="..stat(8).." t="..flr(time()*30+0.5)) end end
CART
runcart at30.zk -frames 100
expect_line "** i=1 u=10 d=10 fps=30 cap=30 t=10" "30 fps loop"
expect_status 2 "30 fps loop ends by assert"

# _update60 wins over _update; time() advances by 2 per second at 60.
mkcart at60.zk <<'CART'
u=0 d=0
function _update60() u+=1 end
function _update() u+=100 end
function _draw() d+=1 if d==60 then assert(false,"u="..u.." d="..d.." fps="..stat(7).." cap="..stat(8).." t="..time()) end end
CART
runcart at60.zk -frames 200
expect_line "** u=60 d=60 fps=60 cap=60 t=2" "60 fps loop"

# The first frame overruns the 69,905-cycle budget of 60 fps: the frame is
# held, the rate halves, and the next frame runs _update60 twice with a
# button poll between (the time counter counts both). The overrun still
# weighs on the next frame's load, then the rate returns to 60.
mkcart drop.zk <<'CART'
u=0 d=0 heavy=true rates=""
function _update60()
 u+=1
 if heavy then heavy=false for i=1,100 do for j=1,1000 do end end end
end
function _draw()
 d+=1 rates=rates..stat(7).." "
 if d==2 then first="fps="..stat(7).." u="..u.." d="..d.." t="..flr(time()*30+0.5) end
 if d==5 then assert(false,first.." rates="..rates) end
end
CART
runcart drop.zk -frames 100
expect_line "** fps=30 u=3 d=2 t=3 rates=60 30 30 60 60 " "60 fps overrun"

mkcart drawonly.zk <<'CART'
function _init() n=0 end
function _draw() n+=1 if n==3 then assert(false,"draw "..n.." "..stat(7)) end end
CART
runcart drawonly.zk -frames 100
expect_line "** draw 3 30" "_init/_draw only"

# _init alone gets no main loop: top level, _init, then the program ends by
# itself (no -frames) with status 0 and its cart data written.
mkcart initonly.zk <<'CART'
cartdata("init_only")
dset(0, 1)
function _init() dset(1, dget(0) + 1) end
CART
runcart initonly.zk
expect_status 0 "_init only ends by itself"
expect_eq "$(dword init_only 0) $(dword init_only 1)" "1 2" "_init only ran once after the top level"
expect_output "** " "_init only prints nothing"

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

# An own _mainloop beside _update60 still sets the rate to 60 but is kept.
mkcart own60.zk <<'CART'
function _update60() assert(false,"generated loop ran") end
function _mainloop() flip() assert(false,"own mainloop "..stat(7).." "..stat(8)) end
CART
runcart own60.zk -frames 100
expect_line "** own mainloop 60 60" "own _mainloop with _update60"

# No callbacks: the top level runs once and the program ends (status 0,
# no -frames needed); the only console line is the boot's empty line.
mkcart plain.zk <<'CART'
x=1
CART
runcart plain.zk
expect_status 0 "no callbacks"
expect_output "** " "no callbacks prints nothing"

finish
