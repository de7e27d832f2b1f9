#!/usr/bin/env bash
# The browser against zkboard: every list's exact request and cache file,
# search text in the query, list wrap-around, a cart downloaded, run and
# made a favourite from its pause menu, [load more]; then offline: cached
# lists and favourites still there, the cart runs from its file, a failed
# refresh keeps the list; install_games makes the sample games playable
# from the favourites without a board.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
source "$src/tests/data/splore_lib.sh"
mkdir -p "$tmp/board"
cat >"$tmp/board/probe.zk" <<'CART'
zurkel cartridge // test
version 12
__lua__
cartdata("splore_probe")
dset(0, dget(0) + 1)
function _update() end
function _draw() cls(3) end
__gfx__
CART
cp -r "$src/assets/carts" "$tmp/"
{
  echo "2001 | new | 3 | 2025-06-01 | probe.zk | someone | probe"
  for i in $(seq 3001 3039); do echo "$i | new | 1 | 2025-01-01 | ../carts/hello.zk | f | filler $i"; done
  echo "4001 | featured | 5 | 2025-01-02 | ../carts/hello.zk | f | top one"
  echo "4002 | wip | 1 | 2025-01-02 | ../carts/hello.zk | f | wip one"
  echo "4003 | collab | 1 | 2025-01-02 | ../carts/hello.zk | f | collab one"
  echo "4004 | jam | 1 | 2025-01-02 | ../carts/hello.zk | f | jam one"
} >"$tmp/board/board.txt"
start_board "$tmp/board"
requests() { sed -n 's/^zkboard: [0-9.]* GET \([^ ]*\) .*/\1/p' "$tmp/serve.log"; }
counter() { tr -d '\n' <"$tmp/home/cdata/splore_probe.zkd.txt" | cut -c1-8; }
page="/bbs/cpost_lister3.php?max=32&start_index=0"

# A. Lists: left from local wraps to search, right from search to local;
# each board list's [update]; search text "a b" (a, right, right, b).
splore 440 "100:L 105:R 110:R 115:R 120:O 165:R 167:O 210:R 212:O 255:R 257:O 300:R 302:O
  345:R 347:O 352:D 357:R 362:R 367:D 372:D 377:O 420:R"
check "[ $splore_status = 0 ]" "lists: exit status $splore_status"
want="$page&cat=7&sub=2&version=000111cm
$page&cat=7&sub=2&orderby=rating&version=000111cm
$page&cat=7&sub=3&version=000111cm
$page&cat=7&sub=4&version=000111cm
$page&cat=7&sub=8&version=000111cm
$page&cat=7&search=a%20b&max=32&version=000111cm"
check "[ \"\$(requests)\" = \"\$want\" ]" "list requests: $(requests | tr '\n' ' ')"
for name in new top wip collab jam search; do
  check "[ -s '$tmp/home/bbs/$name.pip.png' ]" "cache file bbs/$name.pip.png"
done
shown=$(sed -n 's/^ *splore: showing \([a-z]*\).*/\1/p' "$tmp/home/log.txt" | tr '\n' ' ')
check "[ '$shown' = 'search local fav new top wip collab jam search local ' ]" "list order: $shown"
check "grep -qx 'splore: list new: read, 34 items' '$tmp/home/log.txt'" "new: 32 entries, [update], [load more]"

# B. Download and run the probe, favourite it from the pause menu, leave
# for the browser, then [load more] at the end of the list.
: >"$tmp/serve.log"
splore 400 "100:R 110:R 120:D 130:O 200:P 206:D 208:D 212:O 225:P 231:U 235:O $(downs 32 250) 320:O"
check "[ $splore_status = 0 ]" "play: exit status $splore_status"
want="/bbs/cposts/0/2001.zk.png
/bbs/cpost_lister3.php?max=32&start_index=32&cat=7&sub=2&version=000111cm"
check "[ \"\$(requests)\" = \"\$want\" ]" "play requests: $(requests | tr '\n' ' ')"
check "[ -s '$tmp/home/bbs/0/2001.zk.png' ]" "the cart is kept as bbs/0/2001.zk.png"
check "[ \"\$(counter)\" = 00010000 ]" "the probe ran once"
line='|2001                 |2001                 |3      |someone          |                     |probe'
check "[ \"\$(cat '$tmp/home/favourites.txt')\" = '$line' ]" "favourites line: $(cat "$tmp/home/favourites.txt")"
check "grep -qx 'added to favourites' <<<\"\$(messages)\"" "the pause menu's favourite"
check "grep -qx 'splore: list new: read, 42 items' '$tmp/home/log.txt'" "[load more] appends the 9 others"

# C. Offline: the favourite runs from its file; a failed refresh keeps the
# cached page.
url="http://127.0.0.1:1"
splore 280 "100:R 110:O 150:P 156:U 160:O 170:R 180:O 230:L 240:R"
check "[ $splore_status = 0 ]" "offline: exit status $splore_status"
check "grep -qx 'splore: list fav: 1 items' '$tmp/home/log.txt'" "favourites read at start"
check "grep -q '^ *splore: run .*/bbs/0/2001.zk.png$' '$tmp/home/log.txt'" "the favourite runs offline"
check "[ \"\$(counter)\" = 00020000 ]" "the probe ran again"
check "[ \"\$(messages)\" = 'could not connect to bbs.' ]" "failed refresh: $(messages | tr '\n' ,)"
check "[ \$(grep -c '^ *splore: showing new: 34 items' '$tmp/home/log.txt') = 2 ]" "the cached list is kept"

# D. install_games, then the sample games from the favourites, offline.
cat >"$tmp/install.zk" <<'CART'
zurkel cartridge // test
version 12
__lua__
install_games()
__gfx__
CART
out=$(cd "$tmp" && timeout -k 5 60 "$bin" -home "$tmp/home" -x "$tmp/install.zk" -fast 2>&1)
for id in 1001 1002 1003 1004 1005; do
  check "[ -s '$tmp/home/bbs/0/$id.zk.png' ]" "sample game $id installed"
done
check "[ \$(grep -c '^|' '$tmp/home/favourites.txt') = 6 ]" "five favourites lines appended"
board_url="$url"
start_board "$src/assets/board"
for id in 1001 1005; do
  fetch "/bbs/cposts/0/$id.zk.png" "$tmp/served.png" >/dev/null
  check "cmp -s '$tmp/served.png' '$tmp/home/bbs/0/$id.zk.png'" "sample game $id is the shipped board's cart"
done
url="$board_url"
splore 200 "100:R 110:D 120:O"
check "grep -qx 'splore: list fav: 6 items' '$tmp/home/log.txt'" "six favourites"
check "grep -q '^ *splore: run .*/bbs/0/1001.zk.png$' '$tmp/home/log.txt'" "a sample game runs offline"
check "! grep -q '^ *download ' '$tmp/home/log.txt'" "without a download"

# E. The cart menu on the favourites list: remove the probe, open the
# board page of the next; search text stops at 21 letters from buttons.
rights=$(for i in $(seq 0 24); do printf '%d:R ' $((175 + 3 * i)); done)
splore 290 "100:R 110:P 116:D 120:O 130:P 136:D 140:D 145:O 155:L 160:L 165:O 170:D $rights 255:O"
check "! grep -q '^|2001 ' '$tmp/home/favourites.txt' && [ \$(grep -c '^|' '$tmp/home/favourites.txt') = 5 ]" \
  "remove from favourites"
check "grep -q '^ *open http://127.0.0.1:1/bbs/?pid=1001$' '$tmp/home/log.txt'" "bbs thread opens the cart's page"
check "grep -q 'search=a\(%20\)\{20\}&max=32' '$tmp/home/log.txt'" "search text of 21 letters at most"

# F. A local cart that ends at once: the finished notice over its last
# picture until a button is pressed, then the browser again.
mkdir -p "$tmp/home/carts"
printf 'zurkel cartridge // test\nversion 12\n__lua__\nprint("bye")\n__gfx__\n' >"$tmp/home/carts/ender.zk"
pixel() { python3 "$src/tests/data/sweep_png.py" "$1" "$palette" | sed -n "$(($3 + 1))p" | cut -d" " -f$(($2 + 1)); }
for case in "notice|100:O|06 00" "pressed|100:O 170:X|05 05"; do
  IFS='|' read -r name presses want <<<"$case"
  splore 200 "$presses" -dump_screen "$tmp/$name.png"
  got="$(pixel "$tmp/$name.png" 2 124) $(pixel "$tmp/$name.png" 2 120)"
  check "[ '$got' = '$want' ]" "finished notice, $name: colours $got"
done

# G. Local folders: a link to a folder outside the root is not entered, a
# subfolder is (its cart runs), ".." leads back to the root.
mkdir -p "$tmp/home/carts/sub" "$tmp/outside"
cp "$tmp/home/carts/ender.zk" "$tmp/home/carts/sub/inner.zk"
cp "$tmp/home/carts/ender.zk" "$tmp/outside/aaa.zk"
ln -s "$tmp/outside" "$tmp/home/carts/out"
splore 300 "100:O 110:D 115:O 125:D 130:O 190:X 200:U 205:O 215:D 220:D 225:O"
runs=$(sed -n 's|^ *splore: run .*/carts/||p' "$tmp/home/log.txt" | tr '\n' ' ')
check "[ '$runs' = 'sub/inner.zk ender.zk ' ]" "local folders: ran $runs"
[ $fail -eq 0 ] && echo "splore_board: ok"
exit $fail
