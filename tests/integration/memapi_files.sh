#!/usr/bin/env bash
# The memory functions end to end: one cart stores sprite bytes into a
# cartridge file with cstore, a second run reads them back with reload;
# refused names return 0; reload() restores the ROM part. Results come back
# through the cart-data file.
set -uo pipefail
source "$3/tests/data/run_lib.sh" "$@"

mkcart store.zk <<'EOF'
cartdata("memapi_store")
for i = 0, 0x1fff do poke(i, (i * 7 + 3) % 256) end
dset(0, cstore(0, 0, 0x2000, "shared.zk"))
dset(1, cstore(0, 0, 16, "__x"))
dset(2, reload(0, 0, 16, "__x"))
dset(3, reload(0, 0, 16, "missing.zk"))
EOF
runcart store.zk -frames 60
expect_status 0 "store run ends by itself"
expect "[ \"\$(dword memapi_store 0)\" = 8192 ]" "cstore returned $(dword memapi_store 0)"
expect "[ \"\$(dword memapi_store 1)\" = 0 ] && [ \"\$(dword memapi_store 2)\" = 0 ]" "__ names refused"
expect "[ \"\$(dword memapi_store 3)\" = 0 ]" "missing file: reload returns 0"
f="$tmp/home/cstore/shared.zk"
expect "[ -f '$f' ]" "cstore wrote $f"
expect "head -1 '$f' | grep -q '^zurkel cartridge'" "the stored file is a text cartridge"
expect "! ls '$tmp/home/cstore' | grep -q tmp" "no temporary file left"

mkcart load.zk <<'EOF'
cartdata("memapi_load")
dset(0, reload(0x4300, 0, 0x2000, "shared.zk"))
local bad = 0
for i = 0, 0x1aff do -- up to the cart data at 0x5e00
 if peek(0x4300 + i) != (i * 7 + 3) % 256 then bad += 1 end
end
dset(1, bad)
poke(5, 99)
dset(2, reload())
dset(3, peek(5))
poke(0x5f00, 0x13)
dset(4, peek(0x5f00.8))
EOF
runcart load.zk -frames 60
expect_status 0 "load run ends by itself"
expect "[ \"\$(dword memapi_load 0)\" = 8192 ]" "reload returned $(dword memapi_load 0)"
expect "[ \"\$(dword memapi_load 1)\" = 0 ]" "$(dword memapi_load 1) bytes differ after reload"
expect "[ \"\$(dword memapi_load 2)\" = 17152 ]" "reload() returned $(dword memapi_load 2)"
expect "[ \"\$(dword memapi_load 3)\" = 0 ]" "reload() restored the ROM part"
expect "[ \"\$(dword memapi_load 4)\" = 19 ]" "peek takes the integer part of the address"

finish
