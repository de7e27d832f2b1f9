#!/usr/bin/env bash
# The script heap budget end to end: a cart that builds tables without
# bound ends with "out of memory" within a few frames while stat(0) stays at
# or under 2048 KiB; long strings are not counted; a string too large for
# the host is refused; the next cart runs normally. Values are read back
# through the cart-data file (word i = 8 hex digits at offset 8*i).
set -uo pipefail
source "$3/tests/data/run_lib.sh" "$@"

# word N of a cart-data file as a 16.16 integer
word() { printf '%d' "0x$(tr -d '\n' < "$tmp/home/cdata/$1.zkd.txt" | cut -c$(($2 * 8 + 1))-$(($2 * 8 + 8)))"; }
# 1. Tables without bound: word 0 the largest stat(0), word 1 the frames.
mkcart greedy.zk <<'EOF'
cartdata("heap_greedy")
t = {}
function _update()
 for i = 1, 3000 do add(t, {i, i, i, i}) end
 local kib = stat(0)
 if kib > dget(0) then dset(0, kib) end
 dset(1, dget(1) + 1)
end
EOF
runcart greedy.zk -frames 300
expect_status 2 "out of memory ends execute mode with 2"
expect_line "** out of memory" "greedy"
expect_no_line "** not enough memory" "greedy"
most=$(word heap_greedy 0)
frames=$(( $(word heap_greedy 1) >> 16 ))
expect "[ $most -le $((2048 << 16)) ]" "stat(0) reported $most, over 2048 KiB"
expect "[ $most -gt $((1500 << 16)) ]" "stat(0) peaked at only $most before running out"
expect "[ $frames -ge 2 ] && [ $frames -lt 30 ]" "out of memory after $frames frames"
expect "grep -q 'gc hard collect: ' '$tmp/home/log.txt'" "the hard collection is logged"

# 2. Over 5 MiB of long strings alive: not counted, the cart keeps running.
mkcart strings.zk <<'EOF'
cartdata("heap_strings")
s = "0123456789012345678901234567890123456789x"
for i = 1, 14 do s = s .. s end
keep = {}
for i = 1, 8 do keep[i] = s .. i end
function _update()
 dset(0, stat(0))
 dset(1, #keep)
end
EOF
runcart strings.zk -frames 40
expect_status 0 "long strings: runs until -frames"
expect_no_line "** out of memory" "strings"
expect "[ $(word heap_strings 0) -lt $((100 << 16)) ]" "long strings counted: stat(0) $(word heap_strings 0)"
expect "[ $(word heap_strings 1) -eq $((8 << 16)) ]" "strings kept"

# 3. A string doubled past what the host allows: refused, no crash.
mkcart huge.zk <<'EOF'
s = "x"
function _update() for i = 1, 40 do s = s .. s end end
EOF
runcart huge.zk -frames 300
expect_status 2 "a refused block ends the cart with 2"
expect_no_line "** not enough memory" "huge"

# 4. The next cart runs normally.
mkcart after.zk <<'EOF'
cartdata("heap_after")
n = 0
function _update() n = n + 1 dset(0, n) dset(1, stat(0)) end
EOF
runcart after.zk -frames 30
expect_status 0 "the next cart runs until -frames"
expect "[ $(word heap_after 0) -gt $((10 << 16)) ]" "next cart ran $(word heap_after 0) frames"
expect "[ $(word heap_after 1) -gt 0 ] && [ $(word heap_after 1) -lt $((100 << 16)) ]" "next cart's stat(0)"

finish
