#!/usr/bin/env bash
# Hostile carts (tests/data/hostile/) under the real console in execute mode:
# each must end by itself with a clear message and the right exit status,
# never by a signal or a hang, and never touch files outside its folders.
# Table: cart | expected exit status | a line standard output must hold
# ("-" for none) | extra options | a condition that must hold afterwards.
source "$3/tests/data/run_lib.sh"
carts="$3/tests/data/hostile"
cp "$carts"/*.zk "$tmp/"

# Files outside the cartridge folder ($tmp/home/carts/) and outside the
# folder of the cart started ($tmp) that no cart may reach: a folder two
# levels up, a cart in the working folder only, and a link inside the
# cartridge folder pointing out of it.
mkdir -p "$tmp/x" "$tmp/home/carts"
echo 'x=1' | mkcart x/secret.zk
echo 'x=1' | mkcart beside.zk
ln -s "$tmp/x" "$tmp/home/carts/link"
# A cart started from the command line loads its neighbours, not the
# working folder's carts.
mkdir -p "$tmp/sub" && mv "$tmp/escape_load_cwd.zk" "$tmp/sub/"

while IFS='|' read -r cart want line opts after; do
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
  [ -n "$after" ] && expect "$after" "$cart: $after"
done <<'TABLE'
gc_inner_error.zk|2|** error in __gc metamethod (attempt to perform arithmetic on a nil value)|-frames 30
gc_inner_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_inner_flip.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_flip_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_coroutine_loop.zk|2|** error in __gc metamethod (attempt to yield across a C-call boundary)|-frames 30
gc_chain.zk|0|-|-frames 200
coroutine_spin.zk|0|-|-frames 200
escape_mkdir.zk|2|** mkdir done||[ ! -e "$tmp/x/made" ] && grep -qx "zurkel: mkdir: outside the cartridge folder" "$tmp/stderr"
escape_load.zk|2|** load false||grep -qx "zurkel: load: outside the cartridge folder" "$tmp/stderr"
sub/escape_load_cwd.zk|2|** load false
escape_load_link.zk|2|** load false||grep -qx "zurkel: load: outside the cartridge folder" "$tmp/stderr"
escape_save.zk|2|** save done||[ ! -e "$tmp/x/escaped.zk" ] && grep -qx "zurkel: save: outside the cartridge folder" "$tmp/stderr"
escape_save_link.zk|2|** save done||[ ! -e "$tmp/x/escaped.zk" ]
inside_save_load.zk|2|** load true||[ -f "$tmp/home/carts/inside/kept.zk" ]
print_scrolls.zk|2|** cycles ok
string_doubling.zk|2|** out of memory
short_command_error.zk|2|** syntax error line 0 (tab 0)
TABLE

# Code past the 65,535-character limit is dropped (the rest of the cart
# loads), and standard error says so.
{
  printf 'zurkel cartridge // hostile: code over the limit\nversion 12\n__lua__\n'
  for i in $(seq 7000); do echo "-- 0123456789"; done
  printf 'x=1\n__gfx__\n\n'
} > "$tmp/overlong.zk"
runcart overlong.zk -frames 10
expect_status 0 "overlong.zk"
expect "grep -q '^zurkel: code over 65535 chars: [0-9]* line(s) dropped$' '$tmp/stderr'" "overlong.zk: said"

# Temporary files of writes interrupted earlier are removed at start: ours
# (a pid that no longer runs, or no pid and over a minute old), not others.
rm -rf "$tmp/home" && mkdir -p "$tmp/home/cdata" "$tmp/home/carts"
touch "$tmp/home/cdata/a.zkd.txt.tmp999999999" "$tmp/home/config.txt.tmp999999998" \
      "$tmp/home/carts/fresh.zk.tmp" "$tmp/home/carts/notes.txt.tmp"
touch -d '2 hours ago' "$tmp/home/carts/old.zk.tmp" "$tmp/home/carts/notes.txt.tmp"
runcart plain.zk -frames 10
for gone in cdata/a.zkd.txt.tmp999999999 config.txt.tmp999999998 carts/old.zk.tmp; do
  expect "[ ! -e '$tmp/home/$gone' ]" "stale $gone removed"
done
for kept in carts/fresh.zk.tmp carts/notes.txt.tmp; do
  expect "[ -e '$tmp/home/$kept' ]" "$kept kept"
done

# Decompression bombs: a cartridge picture whose image data inflates to
# 300 MiB, and a picture declaring 60000 x 60000 pixels. Both are refused as
# unloadable (status 1) without the console's memory ever growing past what
# a cartridge picture needs (peak resident size in KiB, under 100 MiB).
peak_kib() {
  python3 -c 'import resource, subprocess, sys
r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
print(r.returncode, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
}
while read -r name mb w h; do
  python3 "$carts/png_bomb.py" "$tmp/$name" "$mb" $w $h
  read -r status peak < <(cd "$tmp" && peak_kib "$bin" -home "$tmp/home" -x "$tmp/$name" -fast)
  expect_eq "$status" 1 "$name: exit status"
  expect "[ '$peak' -lt 102400 ]" "$name: peak memory $peak KiB"
done <<'TABLE'
inflates.zk.png 300
declares_huge.zk.png 1 60000 60000
TABLE

# Files the console must keep but cannot write, and homes it cannot use: each
# is said on standard error and the run ends with a non-zero status (3: a
# file could not be written; 1: nothing could run). Table: set-up in a fresh
# home | cart | status | text standard error must hold | extra options.
long_home="$tmp/$(printf 'h%.0s' $(seq 1100))"
mkdir -p "$tmp/nopod" && cp "$bin" "$tmp/nopod/zurkel"
touch "$tmp/plainfile"
while IFS='|' read -r setup cart want errline opts; do
  rm -rf "$tmp/home" && mkdir -p "$tmp/home" && eval "$setup"
  # shellcheck disable=SC2086
  runcart "$cart" -frames 30 $opts
  expect_status "$want" "$cart after '$setup'"
  expect "grep -qF -- \"$errline\" '$tmp/stderr'" "$cart after '$setup': $errline"
done <<TABLE
mkdir "\$tmp/home/config.txt"|plain.zk|3|zurkel: could not write $tmp/home/config.txt
mkdir -p "\$tmp/home/cdata/lost.zkd.txt"|cartdata_write.zk|3|zurkel: could not write $tmp/home/cdata/lost.zkd.txt
mkdir -p "\$tmp/home/carts/taken.zk"|save_fails.zk|3|zurkel: save failed: taken.zk
:|plain.zk|1|zurkel: home folder path too long: $tmp/hhhh|-home $long_home
:|plain.zk|1|zurkel: could not make home folder $tmp/plainfile/home/|-home $tmp/plainfile/home
TABLE
expect "[ ! -e '$tmp/log.txt' ]" "nothing written to the working folder"
# Without data.pod (a copy of the program alone, or no file handles left to
# open it) execute mode cannot run its cart.
bin_saved="$bin"
bin="$tmp/nopod/zurkel"
runcart plain.zk
expect_status 1 "no data.pod"
expect "grep -qx 'zurkel: couldn.t load .*data.pod' '$tmp/stderr'" "no data.pod: said"
bin="$bin_saved"
out="$(cd "$tmp" && ulimit -n 5 && timeout 60 "$bin" -home "$tmp/home" -x "$tmp/plain.zk" -fast 2>/dev/null)"
status=$?
expect_status 1 "no file handles for data.pod"

# A cartridge folder in config.txt that is over-long (the line would be cut
# after its last "/" to an ancestor folder) or the file system's root is
# not used: the default stays and the log says why.
long="$tmp/$(printf 'd%.0s' $(seq 300))/"
while IFS='|' read -r value logged; do
  rm -rf "$tmp/home"
  mkdir -p "$tmp/home"
  printf 'root_path %s\n' "$value" > "$tmp/home/config.txt"
  runcart config_root.zk
  expect "[ -d '$tmp/home/carts/made_here' ]" "root_path $logged: default folder used"
  expect "grep -qF 'config: root_path $logged' '$tmp/home/log.txt'" "root_path $logged: logged"
done <<TABLE
$long|value too long; default kept
/|/ unusable; default kept
TABLE

finish
