#!/usr/bin/env bash
# Execute mode end to end: cart data kept across two runs, exit statuses,
# and reproducible runs under the automation options.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
if [ ! -f "$(dirname "$bin")/data.pod" ]; then
  echo "data.pod not built: execute-mode checks skipped"
  exit 0
fi
mkcart() {
  { echo "zurkel cartridge // test"; echo "version 12"; echo "__lua__"; cat; echo "__gfx__"; } > "$tmp/$1"
}
run() {
  local cart="$1"
  shift
  (cd "$tmp" && timeout 60 "$bin" -home "$tmp/home" -x "$tmp/$cart" -fast "$@" >"$tmp/out" 2>"$tmp/err")
  status=$?
}

# Cart data: each run adds 1.5 to word 0 and keeps running until -frames.
mkcart data.zk <<'EOF2'
cartdata("host_round_trip")
dset(0, dget(0) + 1.5)
dset(63, 7)
function _update() end
function _draw() cls(1) end
EOF2
run data.zk -frames 20
check "[ $status -eq 0 ]" "first run exits 0 (got $status)"
f="$tmp/home/cdata/host_round_trip.zkd.txt"
check "[ \"\$(head -c 8 '$f')\" = '00018000' ]" "first run stored 1.5"
check "[ \$(wc -c < '$f') -eq 520 ]" "file is 520 bytes"
check "[ \$(wc -l < '$f') -eq 8 ]" "file has 8 lines"
check "tail -1 '$f' | grep -qx '0*70000'" "word 63 stored (7.0 is 0x00070000)"
run data.zk -frames 20
check "[ \"\$(head -c 8 '$f')\" = '00030000' ]" "second run read 1.5 back and stored 3.0"
check "! ls '$tmp/home/cdata' | grep -q tmp" "no temp file left"

# Exit statuses.
mkcart stops.zk <<'EOF2'
x = 1
EOF2
run stops.zk
check "[ $status -eq 0 ]" "a cart that ends exits 0 (got $status)"
mkcart syntax.zk <<'EOF2'
x = = 1
EOF2
run syntax.zk -frames 100
check "[ $status -eq 2 ]" "syntax error exits 2 (got $status)"
mkcart runtime.zk <<'EOF2'
function _update() local t = nil t.x = 1 end
EOF2
run runtime.zk -frames 100
check "[ $status -eq 2 ]" "runtime error exits 2 (got $status)"
run missing.zk
check "[ $status -eq 1 ]" "missing cart exits 1 (got $status)"
mkcart forever.zk <<'EOF2'
function _update60() end
function _draw() cls(2) end
EOF2
run forever.zk -frames 30
check "[ $status -eq 0 ]" "-frames ends a running cart with 0 (got $status)"

# Same cart and options: same dumps and output.
mkcart draw.zk <<'EOF2'
function _update() end
function _draw() cls(rnd(16)) print("hi", 10, 10, 7) end
EOF2
run draw.zk -frames 45 -seed 7 -dump_screen "$tmp/a.png" -dump_audio "$tmp/a.wav"
cp "$tmp/out" "$tmp/out_a"
run draw.zk -frames 45 -seed 7 -dump_screen "$tmp/b.png" -dump_audio "$tmp/b.wav"
check "[ -s '$tmp/a.png' ] && cmp -s '$tmp/a.png' '$tmp/b.png'" "screen dumps identical"
check "[ -s '$tmp/a.wav' ] && cmp -s '$tmp/a.wav' '$tmp/b.wav'" "audio dumps identical"
check "cmp -s '$tmp/out_a' '$tmp/out'" "console output identical"
exit $fail
