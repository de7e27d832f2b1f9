#!/usr/bin/env bash
# Every whole cartridge in the manual (a code block whose first line is the
# cart header: the tutorial's steps and the first example) runs without an
# error for ten seconds, with left, right and O pressed along the way.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"

awk -v dir="$tmp" '
  /^```/ {
    if (inside) { inside = 0; if (open) close(file); open = 0 } else { inside = 1; first = 1 }
    next
  }
  inside && first { first = 0; if ($0 ~ /^zurkel cartridge/) { n++; file = dir "/manual_" n ".zk"; open = 1 } }
  open { print > file }
' "$src/docs/manual.md"

carts=("$tmp"/manual_*.zk)
if [ "${#carts[@]}" -lt 7 ] || [ ! -f "${carts[0]}" ]; then
  echo "FAIL: expected the tutorial's carts in docs/manual.md, found ${#carts[@]}"
  exit 1
fi
printf '0 0\n20 1\n60 2\n100 10\n105 0\n200 10\n205 0\n' >"$tmp/press.txt"
for cart in "${carts[@]}"; do
  runcart "$(basename "$cart")" -frames 300 -seed 1 -input "$tmp/press.txt"
  # Any syntax or runtime error ends execute mode with status 2.
  expect_status 0 "$(basename "$cart")"
done
finish
