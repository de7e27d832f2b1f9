#!/usr/bin/env bash
# The console prompt: a cart that ends at once (-run) leaves the command
# line; an -input script types into it. log.txt keeps each typed line
# ("typed: ...") and what it printed ("console: ..."), read back here.
source "$3/tests/data/run_lib.sh"

mkcart end.zk <<'CART'
cartdata("prompt_end") dset(0,dget(0)+1)
CART
home0="$tmp/home0"
mkdir -p "$home0/carts/a_dir" "$home0/carts/b_dir" "$home0/cstore"
touch "$home0/carts/z.zk" "$home0/carts/m.zk" "$home0/carts/.hidden"
touch "$home0/cstore/one.zk" "$home0/cstore/two.zk.png" "$home0/cstore/skip~.zk"
mkcart c2.zk <<'CART'
cartdata("prompt_c2") dset(0,dget(0)+1)
CART
mkcart leak.zk <<'CART'
cartdata("prompt_leak") dset(2,1)
function _update() if btn()~=0 then dset(1,1) end end
CART
mv "$tmp/c2.zk" "$home0/carts/a_dir/" && mv "$tmp/leak.zk" "$home0/carts/"

# [cart=NAME] prompt EVENTS FRAMES: boots, runs end.zk (or NAME), then from step 120 one event
# every 2 steps: "key NAME", "wait N" (N more steps) or text to type.
prompt() {
  rm -rf "$tmp/home" && cp -r "$home0" "$tmp/home"
  local step=120 ev
  : > "$tmp/in.txt"
  IFS=';' read -ra evs <<<"$1"
  for ev in "${evs[@]}"; do
    case "$ev" in
      key\ *) echo "$step $ev" >> "$tmp/in.txt" ;;
      wait\ *) step=$((step + ${ev#wait })) ;;
      *) echo "$step text $ev" >> "$tmp/in.txt" ;;
    esac
    step=$((step + 2))
  done
  (cd "$tmp" && timeout -k 5 60 "$bin" -home "$tmp/home" -headless 1 -fast -seed 1 "${cart:-end.zk}" -run \
     -input "$tmp/in.txt" -frames "$2" -dump_screen "$tmp/s.png" >/dev/null 2>&1)
  status=$?
  log="$(grep -E '^(typed|console): ' "$tmp/home/log.txt")"
}

# Expected lines: only "typed:" lines are compared with the whole list of
# typed lines; otherwise they must appear consecutively in the log. A
# "cdata ID:N=V" line checks cart data word N instead.
while IFS='|' read -r name events frames expected; do
  [ -z "$name" ] && continue
  prompt "$events" "$frames"
  IFS='^' read -ra want <<<"$expected"
  lines=() typed_only=1
  for w in "${want[@]}"; do
    case "$w" in
      cdata\ *) kv="${w#cdata }"; id="${kv%%:*}"; n="${kv#*:}"; n="${n%%=*}"
                expect_eq "$(dword "$id" "$n")" "${w##*=}" "$name: $w" ;;
      typed:*) lines+=("$w") ;;
      *) lines+=("$w"); typed_only=0 ;;
    esac
  done
  [ ${#lines[@]} -eq 0 ] && continue
  if [ $typed_only = 1 ]; then
    expect_eq "$(grep '^typed: ' <<<"$log")" "$(printf '%s\n' "${lines[@]}")" "$name"
  elif [[ $'\n'"$log"$'\n' != *$'\n'"$(printf '%s\n' "${lines[@]}")"* ]]; then
    echo "FAIL ($name): lines not found in order:"; printf '  %s\n' "${lines[@]}"
    echo "--- log:"; echo "$log"; failures=$((failures + 1))
  fi
  expect_status 0 "$name"
done <<'ROWS'
help lists the commands|help;key enter|160|typed: help^console: commands:
ls: folders first, then files, hidden left out|ls;key enter;help;key enter|160|typed: ls^console: directory: /^console: a_dir/^console: b_dir/^console: leak.zk^console: m.zk^console: z.zk^typed: help
cd and dir take the current folder|cd a_dir;key enter;dir;key enter;cd;key enter|160|typed: cd a_dir^console: /a_dir/^typed: dir^console: directory: /a_dir/^console: c2.zk^typed: cd^console: directory: /a_dir/
a typed load that fails says so|load nosuch;key enter|160|typed: load nosuch^console: could not load nosuch
load is relative to the folder, run runs it again|cd a_dir;key enter;load c2;key enter;wait 40;run;key enter|220|cdata prompt_c2:0=2
backspace, left and insert|hlpx;key backspace;key left;key left;e;key enter|160|typed: help
right|ab;key left;key left;key right;x;key enter|160|typed: axb
history: up recalls, down returns to the draft|help;key enter;ls;key enter;key up;key up;key enter;cls;key up;key down;key enter|180|typed: help^typed: ls^typed: help^typed: cls
ctrl keys type nothing|hel;key ctrl+v;key ctrl+s;p;key enter|160|typed: help
a typed line's errors are printed|x();key enter|160|typed: x()^console: attempt to call global 'x' (a nil value)
splore leaves the command line|splore;key enter;help;key enter|160|typed: splore
s is splore|s;key enter;help;key enter|160|typed: s
shutdown ends the program|shutdown;key enter;help;key enter|400|typed: shutdown
reboot boots again|reboot;key enter;wait 140|300|cdata prompt_end:0=2
typed keys do not reach the cart|load leak;key enter;wait 60|220|cdata prompt_leak:2=1^cdata prompt_leak:1=0
ROWS

# A cartridge program's ls() still returns the cstore cart names and help()
# prints nothing (the text cursor stays).
mkcart calls.zk <<'CART'
cursor(0,0) help() local t=ls()
assert(false, #t.." "..t[1].." "..peek(0x5f27))
CART
rm -rf "$tmp/home" && cp -r "$home0" "$tmp/home"
runcart calls.zk
expect_line "** 2 one.zk 0" "cart-called ls() and help()"

# resume goes on with a stopped cart's main loop, as the cart.
mkcart res.zk <<'CART'
cartdata("prompt_res")
function _update() n=(n or 0)+1 dset(0,n) dset(1,n>5 and #ls() or 0) if n==5 then stop() end end
CART
cart=res.zk prompt "resume;key enter;wait 10" 160
expect "[ \"\$(dword prompt_res 0)\" -gt 5 ] && [ \"\$(dword prompt_res 1)\" = 2 ]" "resume: $(dword prompt_res 0) updates"

# A typed line is no cart: the stopped cart's screen mode (a mirror) stays
# off in every frame around the line's run.
mkcart mode.zk <<'CART'
cls() pset(10,40,1) poke(0x5f2c,5)
CART
for frames in 121 122 123 124; do
  cart=mode.zk prompt "a=1;key enter" "$frames"
  row="$(python3 "$src/tests/data/sweep_png.py" "$tmp/s.png" "$src/assets/gfx/palette.txt" | sed -n 41p)"
  expect_eq "$(awk '{print $11, $118}' <<<"$row")" "01 00" "no screen mode at frame $frames"
done

# The prompt's pixels: a line typed again under its own echo shows the same
# glyphs one row lower ("> " and the text), the cursor block after them (at
# x 8 of the next row past 30 characters) in colour 8 exactly when bit 8 of
# the clock is set (the -fast clock runs 100/3 ms a step), and nothing else
# in its two rows.
long="a=1111111111111111111111111111"
for run in "a=1 172" "a=1 180" "$long 180"; do
  text="${run% *}" frames="${run##* }"
  prompt "$text;key enter;$text" "$frames"
  python3 "$src/tests/data/sweep_png.py" "$tmp/s.png" "$src/assets/gfx/palette.txt" > "$tmp/s.txt"
  python3 - "$tmp/s.txt" "$frames" "${#text}" <<'PY' || failures=$((failures + 1))
import sys
px = [[int(v, 16) for v in l.split()] for l in open(sys.argv[1])]
frames, n = int(sys.argv[2]), int(sys.argv[3])
on = (frames * 100 // 3) & 256 != 0
y = max(r for r in range(128) if 7 in px[r]) // 6 * 6   # the prompt's first row
want = [[0] * 128 for _ in range(12)]
for r in range(6):
    want[r][:8 + 4 * n] = px[y - 6 + r][:8 + 4 * n]
cx, cy = 8 + 4 * n, 0
while cx > 124:
    cx, cy = cx - 120, cy + 6
for r in range(5):
    want[cy + r][cx:cx + 4] = [8 if on else 0] * 4
bad = [y + r for r in range(12) if y + r < 128 and px[y + r] != want[r]]
if bad or 7 not in px[y][:4]:
    print("FAIL (prompt pixels of %d characters, frames %d, cursor %s): rows %s" % (n, frames, on, bad))
    sys.exit(1)
PY
done

finish
