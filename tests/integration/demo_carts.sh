#!/usr/bin/env bash
# install_demos() writes the demo carts of data.pod to demos/ under the root
# folder, and every installed demo runs without an error.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"

echo 'install_demos()' | mkcart install.zk
runcart install.zk -frames 5
expect_status 0 "install_demos cart"
demos="$tmp/home/carts/demos"
for name in hello buttons shapes sound; do
  if [ ! -f "$demos/$name.zk" ]; then
    echo "FAIL: $name.zk not installed"
    failures=$((failures + 1))
    continue
  fi
  # O pressed now and then, so the demos' button paths run too.
  printf '0 0\n20 10\n25 0\n40 20\n45 0\n' >"$tmp/press.txt"
  out="$(cd "$tmp" && timeout 60 "$bin" -home "$tmp/home" -x "$demos/$name.zk" -fast -frames 200 \
    -input "$tmp/press.txt" 2>"$tmp/stderr")"
  status=$?
  expect_status 0 "$name.zk runs"
  if grep -Eqi 'error|nil value|line [0-9]' <<<"$out"; then
    echo "FAIL ($name.zk): error on the console: $out"
    failures=$((failures + 1))
  fi
done
finish
