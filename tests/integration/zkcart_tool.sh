#!/usr/bin/env bash
# zkcart on the shipped carts: pack/unpack, sheet, label and map round trips,
# a new cart, check against what the console itself reports, and the error
# path of every subcommand (exit status, message, cart left as it was).
source "$(dirname "$0")/../data/check_lib.sh" "$@"
zk="$(cd "$build" && pwd)/tools/zkcart/zkcart"
[ -x "$zk" ] || { echo "zkcart not built"; exit 1; }
cd "$tmp" || exit 1
carts="$src/assets/carts"
quiet() { "$zk" "$@" >/dev/null 2>"$tmp/err"; }
map_rows() { sed -n '/^__map__/,/^__sfx__/p' "$1"; }

# pack then unpack gives the cart as the console writes it, byte for byte.
for c in game sound mapcam head; do
  quiet unpack "$carts/$c.zk" "canon_$c.zk" && quiet pack "$carts/$c.zk" "$c.zk.png" &&
    quiet unpack "$c.zk.png" "back_$c.zk"
  check "cmp -s canon_$c.zk back_$c.zk" "$c: pack/unpack round trip"
done
quiet pack "$carts/head.zk" h.zk.png
check "grep -q 'h.zk.png: warning: the cart has no label' err" "packing a cart without label warns"

# Sheet and label out and back in; the map through Tiled's CSV and JSON.
quiet export-gfx canon_mapcam.zk sheet.png && quiet export-label canon_mapcam.zk label.png
cp canon_mapcam.zk m.zk && quiet import-gfx m.zk sheet.png && quiet import-label m.zk label.png
check "cmp -s canon_mapcam.zk m.zk" "sheet and label round trip"
map_rows canon_mapcam.zk | sed '1d;$d' | awk -v h=0123456789abcdef '{
  for (i = 1; i < length($0); i += 2)
    printf "%s%d", (i > 1 ? "," : ""), (index(h, substr($0, i, 1)) - 1) * 16 + index(h, substr($0, i + 1, 1)) - 1
  print "" }' >map.csv
awk -F, 'BEGIN { printf "{\"orientation\":\"orthogonal\",\"tilesets\":[{\"firstgid\":1}],\"layers\":[" \
  "{\"type\":\"objectgroup\"},{\"type\":\"tilelayer\",\"width\":128,\"height\":32,\"data\":[" }
  { for (i = 1; i <= NF; i++) printf "%s%d", (NR > 1 || i > 1) ? "," : "", $i ? $i + 1 : 0 }
  END { print "]}]}" }' map.csv >map.json
quiet new blank
for f in map.csv map.json; do
  cp blank.zk "m_$f.zk" && quiet import-map "m_$f.zk" "$f"
  check "[ \"\$(map_rows m_$f.zk)\" = \"\$(map_rows canon_mapcam.zk)\" ]" "map round trip through $f"
done
quiet export-map canon_mapcam.zk map.png
check "[ \"\$(file -b map.png | cut -d, -f2)\" = ' 1024 x 512' ]" "export-map draws 1024 x 512"

# Map rows 32-63 are the sheet's lower half: written (with a warning) only
# when the file has cells there.
{ for i in $(seq 36); do echo "-1,-1"; done; echo "-1,7"; } >low.csv
{ for i in $(seq 32); do echo "1,-1"; done; for i in $(seq 32); do echo "-1,-1"; done; } >top.csv
cp canon_mapcam.zk low.zk && quiet import-map low.zk low.csv
check "grep -q 'pixels of sprites 128-255 were overwritten' err" "lower rows warn"
quiet export-gfx low.zk low.png
check "! cmp -s low.png sheet.png" "lower rows change the sheet"
cp canon_mapcam.zk top.zk && quiet import-map top.zk top.csv
quiet export-gfx top.zk top.png
check "[ ! -s err ] && cmp -s top.png sheet.png" "empty lower rows keep the sprites"

# A new cart checks, and tells its title, author and label.
USER=tester quiet new first
check "\"$zk\" check first.zk >/dev/null 2>&1" "a new cart checks"
check "\"$zk\" info first.zk | grep -qx 'author:     tester'" "info: author"
check "\"$zk\" info first.zk | grep -qx 'label:      yes'" "info: label"
check "\"$zk\" info '$carts/game.zk' | grep -qx 'title:      bug patrol'" "info: title"

# check reports what the console reports, and warns about the form.
tokens=$(for i in $(seq 2731); do echo "a=1"; done)
printf 'zurkel cartridge\n\n__lua__\nx=1\n-->8\nfunction f()\n x = = 2\nend\n__MAP__\n__lau__\n\n' >bad.zk
printf 'zurkel cartridge // t\nversion 12\n__lua__\n%s\n\n' "$tokens" >big.zk
for c in bad big; do
  "$zk" check $c.zk >/dev/null 2>err
  check "[ \$? -eq 1 ]" "check $c: exit status 1"
  (timeout 60 "$bin" -home "$tmp/home" -x $c.zk -fast -frames 2 | sed -n 's/^\*\* //p' | sed '/^$/d') >console
  grep -v ': warning: ' err | sed 's/^zkcart: [a-z]*\.zk: //; s/^  //' >mine
  check "[ -s console ] && diff console mine >/dev/null" "check $c: the console's lines"
done
"$zk" check bad.zk 2>&1 | grep -c ': warning: ' >warnings
check "[ \$(cat warnings) -eq 3 ]" "warnings: version line, __MAP__, __lau__"

# Every bad input: exit status, a message naming the file, nothing written.
printf 'not a cart\n' >nohead.zk
printf 'zurkel cartridge\nversion 12\n__lua__\n-- %s\n\n' "$(head -c 12000 /dev/urandom | base64 -w0)" >huge.zk
convert -size 100x50 xc:red wide.png
convert sheet.png -fill '#123457' -draw 'point 5,7' off.png
printf -- "-1,$(seq -s, 130)\n" >wide.csv
echo '{"layers": [' >broken.json
echo '{"layers":[{"type":"tilelayer","width":1,"height":1,"data":[2147483649]}]}' >flip.json
cp canon_game.zk keep.zk
while IFS='|' read -r want msg args; do
  eval "set -- $args"
  "$zk" "$@" >out 2>err
  got=$?
  if [ "$got" -ne "$want" ] || ! grep -qF -- "$msg" err; then
    echo "FAIL: zkcart $args: exit $got, expected $want and: $msg"
    cat err
    fail=1
  fi
done <<'EOF'
2|usage: zkcart COMMAND|
2|no command 'frob'|frob
2|has no option --nearest|info keep.zk --nearest
2|usage: zkcart pack CART OUT.zk.png|pack keep.zk
1|missing.zk: no such file|info missing.zk
1|nohead.zk: not a cartridge|check nohead.zk
1|huge.zk.png: the code does not fit a picture cart (|pack huge.zk huge.zk.png
1|nodir/x.zk.png: cannot write it|pack keep.zk nodir/x.zk.png
2|ends in .zk.png|pack keep.zk out.zk
2|ends in .zk: out.zk.png|unpack keep.zk out.zk.png
1|sheet.png: not a picture cart|unpack sheet.png out.zk
1|wide.png: 100 x 50 pixels; it must be 128 x 128|import-gfx keep.zk wide.png
1|off.png: colour #123457 at (5, 7)|import-gfx keep.zk off.png
1|nohead.zk: not a readable PNG file|import-label keep.zk nohead.zk
1|has no label|export-label canon_head.zk out.png
1|nodir/out.png: cannot write it|export-gfx keep.zk nodir/out.png
1|missing.zk: no such file|export-map missing.zk out.png
1|broken.json: bad JSON: parse error at line 2|import-map keep.zk broken.json
1|flip.json: cell (0, 0) is flipped|import-map keep.zk flip.json
1|no tile layer named "top"|import-map keep.zk map.json --layer top
1|wide.csv: 131 x 1 cells; the map holds at most 128 x 64|import-map keep.zk wide.csv
1|missing.csv: no such file|import-map keep.zk missing.csv
2|a sound effect is 0-63, not 64|export-sfx keep.zk 64 out.wav
1|pattern 40 plays nothing|export-music keep.zk 40 out.wav
1|first.zk: already exists|new first
EOF
check "cmp -s keep.zk canon_game.zk" "failed commands leave the cart as it was"
check "[ ! -e out.zk ] && [ ! -e out.png ] && [ ! -e out.wav ] && [ ! -e huge.zk.png ] && ! ls | grep -q '\.tmp$'" "nothing half written"

# With --nearest the off-palette pixel takes the nearest colour.
quiet import-gfx keep.zk off.png --nearest
check "grep -q 'took the nearest console colour: #123457 at (5, 7)' err" "--nearest warns and imports"
exit $fail
