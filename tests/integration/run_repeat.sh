#!/usr/bin/env bash
# Reproducible runs: the same cart with the same options gives the same
# cart data, console output and screen dump; another seed gives another
# run. Cart data also carries over from one run to the next.
source "$3/tests/data/run_lib.sh"

# Uses the seeded random generator, the clocks the virtual clock drives,
# the frame-rate controller (an overrun at 60) and the budget counters.
mkcart busy.zk <<'CART'
cartdata("busy")
runs=dget(63)+1 dset(63,runs)
f=0 acc=0
function _update60()
 f+=1
 if f==3 then for i=1,200 do for j=1,500 do end end end
 acc+=rnd(10)
 dset(f%60, acc + time() + stat(7) + stat(1))
 if f==90 then assert(false, "f="..f.." acc="..acc.." t="..time().." fps="..stat(7).." runs="..runs) end
end
function _draw()
 for i=1,40 do pset(rnd(128),rnd(128),rnd(16)) end
 circfill(64,64,f%30,f%16)
end
CART

run_once() {
  rm -rf "$tmp/home/cdata"
  runcart busy.zk -frames 300 -seed "$1" -dump_screen "$tmp/$2.png"
  printf '%s\n' "$out" > "$tmp/$2.out"
  cp "$tmp/home/cdata/busy.zkd.txt" "$tmp/$2.zkd" 2>/dev/null
}
run_once 5 a
run_once 5 b
run_once 6 c
expect_status 2 "run ends by its assert"
for k in out zkd png; do
  if [ ! -s "$tmp/a.$k" ] || ! cmp -s "$tmp/a.$k" "$tmp/b.$k"; then
    echo "FAIL (same seed): the .$k results differ or are missing"
    failures=$((failures + 1))
  fi
done
if cmp -s "$tmp/a.png" "$tmp/c.png" || cmp -s "$tmp/a.zkd" "$tmp/c.zkd"; then
  echo "FAIL (other seed): same results as seed 5"
  failures=$((failures + 1))
fi
grep -q '^\*\* f=90 acc=.* fps=60 runs=1$' "$tmp/a.out" || {
  echo "FAIL (console line): $(cat "$tmp/a.out")"
  failures=$((failures + 1))
}

# Cart data across runs: the run counter in word 63 goes on.
runcart busy.zk -frames 300 -seed 5
expect_line "$(sed -n 2p "$tmp/a.out" | sed 's/runs=1$/runs=2/')" "second run reads the first run's data"

finish
