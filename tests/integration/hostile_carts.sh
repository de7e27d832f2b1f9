#!/usr/bin/env bash
# Hostile carts (tests/data/hostile/) under the real console in execute mode:
# each must end by itself with a clear message and the right exit status,
# never by a signal or a hang, and never touch files outside its folders.
# Table: cart | expected exit status | a line standard output must hold
# ("-" for none) | extra options.
source "$3/tests/data/run_lib.sh"
carts="$3/tests/data/hostile"
cp "$carts"/*.zk "$tmp/"

while IFS='|' read -r cart want line opts; do
  [ -z "$cart" ] && continue
  # shellcheck disable=SC2086
  runcart "$cart" $opts
  if [ "$status" -ge 124 ]; then
    echo "FAIL ($cart): ended by signal or timeout (status $status)"
    failures=$((failures + 1))
    continue
  fi
  expect_status "$want" "$cart"
  [ "$line" != "-" ] && expect_line "$line" "$cart"
done <<'TABLE'
gc_inner_error.zk|2|** error in __gc metamethod (attempt to perform arithmetic on a nil value)|-frames 30
gc_inner_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_inner_flip.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_flip_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_coroutine_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_chain.zk|0|-|-frames 200
coroutine_spin.zk|0|-|-frames 200
TABLE

finish
