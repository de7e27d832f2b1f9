#!/usr/bin/env bash
# A memory function that raises "bad memory access" stops the program where
# it is: the error reaches the console (and the exit status) even when it is
# the program's last statement, and no statement after it runs.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"

for call in "poke(0x8000,1)" "poke(-1,1)" "memset(0x7fff,0,2)" "memcpy(0x8000,0,4)" "reload(0x7ff0,0,0x20)" "cstore(0x7ff0,0,0x20,\"x.zk\")"; do
  # As the last statement of a program without callbacks.
  printf 'cls()\n%s\n' "$call" | mkcart last.zk
  runcart last.zk -frames 10 -seed 1
  expect_status 2 "$call as the last statement"
  expect_line "** bad memory access" "$call as the last statement"

  # Inside _update: the statement after it never runs.
  printf 'cartdata("sweep_memerr")\nfunction _update()\n %s\n dset(0,5)\nend\n' "$call" | mkcart frame.zk
  rm -f "$tmp/home/cdata/sweep_memerr.zkd.txt"
  runcart frame.zk -frames 10 -seed 1
  expect_status 2 "$call in _update"
  expect_line "** bad memory access" "$call in _update"
  check "[ \"\$(head -c 8 '$tmp/home/cdata/sweep_memerr.zkd.txt' 2>/dev/null)\" != 00050000 ]" \
    "$call in _update: the next statement ran"
done
finish
