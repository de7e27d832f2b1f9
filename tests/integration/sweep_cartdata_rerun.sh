#!/usr/bin/env bash
# Cart data written just before the program restarts itself (run(), or
# "reset cart" in the pause menu) reaches the file: the restarted program
# reads it back, and nothing is lost when the restart comes within a second
# of the last write-out.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"

# word 0 counts the runs; each run restarts itself after 3 frames until the
# third run.
mkcart rerun.zk <<'EOF2'
cartdata("sweep_rerun")
n=dget(0)+1
dset(0,n)
f=0
function _update() f+=1 if f==3 and n<3 then run() end end
EOF2
file="$tmp/home/cdata/sweep_rerun.zkd.txt"
runcart rerun.zk -frames 25 -seed 1
expect_status 0 "rerun ends normally"
check "[ \"\$(head -c 8 '$file' 2>/dev/null)\" = 00030000 ]" \
  "three runs counted across run() (got $(head -c 8 "$file" 2>/dev/null))"

# "reset cart" (second item) chosen at step 20: the reset effect, then the
# cart starts again and counts its second run.
mkcart reset.zk <<'EOF2'
cartdata("sweep_reset")
n=dget(0)+1
dset(0,n)
function _update() end
EOF2
printf '0 0\n10 40\n12 0\n14 8\n16 0\n18 10\n20 0\n' >"$tmp/reset.txt"
file="$tmp/home/cdata/sweep_reset.zkd.txt"
runcart reset.zk -frames 29 -seed 1 -input "$tmp/reset.txt"
expect_status 0 "reset ends normally"
check "[ \"\$(head -c 8 '$file' 2>/dev/null)\" = 00020000 ]" \
  "two runs counted across reset cart (got $(head -c 8 "$file" 2>/dev/null))"
finish
