#!/usr/bin/env bash
# Run parameters, the run chain and the pause menu on real cartridges,
# driven headlessly with scripted buttons (-input; button 6 is pause,
# 3 down, 2 up, 4 chooses). Buttons held when a program starts are ignored
# until released, so every script starts with a few idle steps.
source "$3/tests/data/run_lib.sh"

# stat(6): empty without parameters, the -p text for the first run, the
# text given to run() for a restart.
mkcart params.zk <<'CART'
cartdata("params")
r=dget(0)+1 dset(0,r)
if r==1 then dset(1, stat(6)=="" and 1 or 0) end
if r==2 then dset(2, stat(6)=="again and again" and 1 or 0) end
function _update() if r==1 then run("again and again") end end
CART
runcart params.zk -frames 20
expect_eq "$(dword params 0) $(dword params 1) $(dword params 2)" "2 1 1" "stat(6) without parameters, then after run(text)"
mkcart params_p.zk <<'CART'
assert(false, "<"..stat(6)..">")
CART
runcart params_p.zk -frames 20 -p "from the command line"
expect_line "** <from the command line>" "stat(6) of the first run is -p"

# The run chain: the first cart loads the second with the breadcrumb
# "back" and parameters, and runs it; in the second the pause menu lists
# continue, reset cart, back, quit; choosing "back" runs the first cart
# again with the parameters it had. Cart data written just before each
# restart is kept.
mkcart first.zk <<'CART'
cartdata("chain")
r=dget(0)+1 dset(0,r)
if r==1 then
 dset(1, stat(6)=="first" and 1 or 0)
 dset(2, load("second.zk","back","to second") and 1 or 0)
 run("to second")
else
 assert(false,"back in first with "..stat(6).." second ran "..dget(4).." with "..dget(3).." r="..r)
end
function _update() end
CART
mkcart second.zk <<'CART'
cartdata("chain")
dset(3, stat(6)=="to second" and 1 or 0)
dset(4, dget(4)+1)
function _update() end
CART
printf '0 0\n20 40\n22 0\n30 08\n32 0\n40 08\n42 0\n50 10\n52 0\n' > "$tmp/back.txt"
runcart first.zk -frames 100 -p first -input "$tmp/back.txt"
expect_line "** back in first with first second ran 1 with 1 r=2" "back returns with the first cart's parameters"
expect_eq "$(dword chain 1) $(dword chain 2)" "1 1" "first run's parameters and load result"
expect_status 2 "back (ended by assert)"

# Custom menu items: slots 1-5 only (6 and 0 are ignored), the callback runs
# once after the item is chosen. The menu holds the program: no updates
# while it is open.
mkcart menu.zk <<'CART'
cartdata("menu")
menuitem(1,"hit",function() dset(0,dget(0)+1) end)
menuitem(6,"six",function() dset(1,6) end)
menuitem(0,"zero",function() dset(1,9) end)
dset(3,dget(3)+1)
dset(4, stat(6)=="p" and dget(4)+1 or 0)
function _update() dset(2,dget(2)+1) end
CART
printf '0 0\n20 40\n22 0\n30 08\n32 0\n40 10\n42 0\n' > "$tmp/hit.txt"
runcart menu.zk -frames 80 -input "$tmp/hit.txt"
expect_status 0 "custom item"
expect_eq "$(dword menu 0) $(dword menu 1)" "1 0" "custom item chosen once, slots 0 and 6 ignored"
upd="$(dword menu 2)"
if [ "$upd" -lt 50 ] || [ "$upd" -gt 70 ]; then
  echo "FAIL (menu holds the program): $upd updates in 80 steps with the menu open for 20"
  failures=$((failures + 1))
fi

# Three downs from "continue" reach "quit" (continue, hit, reset cart,
# quit): the run ends early with status 0. Up from the first item wraps to
# the last, also "quit".
rm -f "$tmp/home/cdata/menu.zkd.txt"
printf '0 0\n20 40\n22 0\n30 08\n32 0\n40 08\n42 0\n50 08\n52 0\n60 10\n62 0\n' > "$tmp/quit.txt"
runcart menu.zk -frames 400 -input "$tmp/quit.txt"
expect_status 0 "quit"
upd="$(dword menu 2)"
if [ "$upd" -gt 30 ]; then
  echo "FAIL (quit is the fourth item): $upd updates before the end"
  failures=$((failures + 1))
fi
rm -f "$tmp/home/cdata/menu.zkd.txt"
printf '0 0\n20 40\n22 0\n30 04\n32 0\n40 10\n42 0\n' > "$tmp/up.txt"
runcart menu.zk -frames 400 -input "$tmp/up.txt"
upd="$(dword menu 2)"
if [ "$upd" -gt 30 ]; then
  echo "FAIL (up from the first item selects the last): $upd updates before the end"
  failures=$((failures + 1))
fi

# "reset cart" restarts the cart with the same parameters after the reset
# effect; cart data is kept.
rm -f "$tmp/home/cdata/menu.zkd.txt"
printf '0 0\n20 40\n22 0\n30 08\n32 0\n40 08\n42 0\n50 10\n52 0\n' > "$tmp/reset.txt"
runcart menu.zk -frames 120 -p p -input "$tmp/reset.txt"
expect_status 0 "reset cart"
expect_eq "$(dword menu 3) $(dword menu 4)" "2 2" "reset cart runs the top level again with the same parameters"

finish
