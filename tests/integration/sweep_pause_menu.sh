#!/usr/bin/env bash
# The pause menu end to end with scripted buttons: the pause button opens it
# (the screen dump keeps the cart's own frame), the program's frames stop meanwhile, a custom
# item runs its callback, the press that chose it never reaches the program,
# 0x5F30 swallows one pause press, and sound is held while the menu is open
# and for four updates after it closes.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"
if ! command -v python3 >/dev/null; then echo "SKIP: no python3"; exit 0; fi
png() { python3 "$src/tests/data/sweep_png.py" "$1" "$src/assets/gfx/palette.txt"; }
# pixel FILE X Y : palette index (hex) of a dumped pixel
pixel() { sed -n "$(($3 + 1))p" "$1" | cut -d' ' -f$(($2 + 1)); }

# Slot 0: frames run; slot 1: frame at which the callback ran; slot 2: times
# it ran; slot 3: frame at which the program saw O.
mkcart menu.zk <<'EOF2'
cartdata("sweep_menu")
f=0 n=0
menuitem(1,"hello",function() n+=1 dset(1,f) dset(2,n) end)
function _update()
 f+=1
 dset(0,f)
 if btnp(4) then dset(3,f) end
end
function _draw() cls(1) end
EOF2
words() { head -1 "$tmp/home/cdata/sweep_menu.zkd.txt" | cut -c1-32; }

# Pause held at step 20: seen by the menu check at step 22 (buttons are read
# after it), so frames run at steps 0-22; the menu is open from then on.
printf '0 0\n20 40\n22 0\n24 8\n26 0\n' >"$tmp/open.txt"
runcart menu.zk -frames 40 -seed 1 -input "$tmp/open.txt" -dump_screen "$tmp/open.png"
expect_status 0 "menu stays open"
check "[ '$(words)' = 00170000000000000000000000000000 ]" "23 frames before the menu, no callback: $(words)"
png "$tmp/open.png" >"$tmp/open.txt"
# The dump is the display: the cart's last frame, not the menu drawn over it.
for xy in "24 44" "104 44" "64 44" "24 83" "64 60" "10 10"; do
  check "[ \"\$(pixel '$tmp/open.txt' $xy)\" = 01 ]" "cart screen under the menu at $xy"
done

# Down, then O on "hello" (held at step 30, carried out at step 31): the
# callback runs when the program resumes, right after the flip that ended
# frame 23; the program never sees that O press.
printf '0 0\n20 40\n22 0\n24 8\n26 0\n30 10\n32 0\n' >"$tmp/pick.txt"
runcart menu.zk -frames 50 -seed 1 -input "$tmp/pick.txt" -dump_screen "$tmp/pick.png"
check "[ '$(words)' = 00290000001700000001000000000000 ]" "callback after frame 23, 41 frames: $(words)"

# 0x5F30 = 1: the first pause press is swallowed and clears the byte.
mkcart swallow.zk <<'EOF2'
cartdata("sweep_swallow")
f=0
poke(0x5f30,1)
function _update() f+=1 dset(0,f) dset(1,peek(0x5f30)) end
EOF2
printf '0 0\n20 40\n22 0\n' >"$tmp/once.txt"
runcart swallow.zk -frames 40 -seed 1 -input "$tmp/once.txt"
check "[ \"\$(head -c 16 '$tmp/home/cdata/sweep_swallow.zkd.txt')\" = 0028000000000000 ]" \
  "swallowed press: 40 frames, byte cleared"
printf '0 0\n20 40\n22 0\n26 40\n28 0\n' >"$tmp/twice.txt"
runcart swallow.zk -frames 40 -seed 1 -input "$tmp/twice.txt"
check "[ \"\$(head -c 8 '$tmp/home/cdata/sweep_swallow.zkd.txt')\" = 001d0000 ]" \
  "second press opens the menu after frame 29"

# Sound: a long note from the start; the menu holds it from step 23 to the
# close at step 31 and four updates more.
{
  echo "__sfx__"
  n=(); for i in $(seq 32); do n+=(33,3,7,0); done
  sfxline 255 0 0 "${n[@]}"
} >"$tmp/sections"
mkcart_with sound.zk "$tmp/sections" <<'EOF2'
sfx(0)
function _update() end
EOF2
printf '0 0\n20 40\n22 0\n30 10\n32 0\n' >"$tmp/sound.txt"
runcart sound.zk -frames 40 -seed 1 -input "$tmp/sound.txt" -dump_audio "$tmp/sound.wav"
got="$(samples "$tmp/sound.wav" | awk '{ s = int((NR - 1) / 735); if ($1 != 0) loud[s] = 1 }
  END { for (i = 0; i < 40; i++) printf "%d", loud[i] + 0 }')"
check "[ '$got' = 1111111111111111111111100000000000001111 ]" "steps with sound: $got"
finish
