#!/usr/bin/env bash
# The screen as dumped by the binary: the screen palette applied at
# presentation (and masked back into its registers), the screen modes, and
# what a stopping program leaves: palette reset unless 0x5F2E is 1, no
# screen mode once the program no longer runs.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"
if ! command -v python3 >/dev/null; then echo "SKIP: no python3"; exit 0; fi
png() { python3 "$src/tests/data/sweep_png.py" "$1" "$src/assets/gfx/palette.txt"; }
# coloured FILE : "x,y=c" for every pixel that is not colour 0
coloured() {
  png "$1" | awk '{ for (i = 1; i <= NF; i++) if ($i != "00") printf "%d,%d=%s ", i - 1, NR - 1, $i }'
}

# Screen palette: colour 7 shown as 8, pget still 7; 0x8C poked without the
# unlock code shows as 12 and reads back 12 after a frame.
mkcart pal.zk <<'EOF2'
f=0 s=""
function _draw()
 f+=1
 cls()
 pal(7,8,1)
 pset(0,0,7) pset(1,0,1)
 if f==1 then poke(0x5f11,0x8c) end
 if f==3 then s=pget(0,0).." "..peek(0x5f17).." "..peek(0x5f11) end
 if f==4 then assert(false,s) end
end
EOF2
runcart pal.zk -frames 3 -seed 1 -dump_screen "$tmp/pal.png"
check "[ \"\$(coloured '$tmp/pal.png')\" = '0,0=08 1,0=0c ' ]" "screen palette in the dump: $(coloured "$tmp/pal.png")"
runcart pal.zk -frames 10 -seed 1
expect_line "** 7 8 12" "pget and masked registers"

# Screen modes: four pixels, mode m set every frame.
for m in "1:0,0=08 1,0=08 20,3=07 21,3=07 6,10=0c 7,10=0c " \
         "2:0,0=08 0,1=08 10,6=07 10,7=07 3,20=0c 3,21=0c " \
         "5:0,0=08 127,0=08 10,3=07 117,3=07 3,10=0c 124,10=0c " \
         "6:0,0=08 10,3=07 3,10=0c 3,117=0c 10,124=07 0,127=08 "; do
  mode="${m%%:*}"
  printf 'function _draw() cls() pset(10,3,7) pset(0,0,8) pset(3,10,12) poke(0x5f2c,%s) end\n' "$mode" | mkcart "mode$mode.zk"
  runcart "mode$mode.zk" -frames 3 -seed 1 -dump_screen "$tmp/mode$mode.png"
  check "[ \"\$(coloured '$tmp/mode$mode.png')\" = '${m#*:}' ]" "screen mode $mode: $(coloured "$tmp/mode$mode.png")"
done

# A program that ends: the screen palette is reset (kept with 0x5F2E = 1)
# and the screen mode no longer applies.
printf 'cls() pset(0,0,1) pal(1,8,1) poke(0x5f2c,5)\n' | mkcart end.zk
runcart end.zk -frames 5 -seed 1 -dump_screen "$tmp/end.png"
check "[ \"\$(coloured '$tmp/end.png')\" = '0,0=01 ' ]" "ended program: identity palette, no mode: $(coloured "$tmp/end.png")"
printf 'cls() pset(0,0,1) pal(1,8,1) poke(0x5f2e,1)\n' | mkcart keep.zk
runcart keep.zk -frames 5 -seed 1 -dump_screen "$tmp/keep.png"
check "[ \"\$(coloured '$tmp/keep.png')\" = '0,0=08 ' ]" "0x5F2E keeps the palette: $(coloured "$tmp/keep.png")"
finish
