#!/usr/bin/env bash
# The browser against a hostile board (tests/data/splore_board.py): bad ids
# are refused before any request, carts land under their id's file name,
# wrong, cut and foreign pages and redirect loops fail with the board
# messages, endless, silent and cancelled downloads stop and leave no file,
# and nothing is written outside bbs/.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
source "$src/tests/data/splore_lib.sh"
"$build/tools/zkcart/zkcart" pack "$src/assets/carts/hello.zk" "$tmp/cart.zk.png" >/dev/null
python3 "$src/tests/data/splore_board.py" "$tmp/requests" "$tmp/cart.zk.png" >"$tmp/port" &
board_pids="$board_pids $!"
for _ in $(seq 50); do grep -qs port "$tmp/port" && break; sleep 0.1; done
url="http://127.0.0.1:$(cut -d' ' -f2 "$tmp/port")"
touch "$tmp/start"
page="/bbs/cpost_lister3.php?max=32&start_index"

# 1. The full page (8 test entries, 24 fillers): refused ids, two good
# carts (each run, then left for the browser through the pause menu), and
# [load more] on the last item.
: >"$tmp/requests"
splore 540 "100:R 110:R 120:O 165:D 167:D 169:D 171:O 181:D 183:O 193:D 195:O 205:D 207:O
  265:P 271:U 275:O 290:D 292:O 350:P 356:U 360:O $(downs 26 370) 430:O"
check "[ $splore_status = 0 ]" "full page: exit status $splore_status"
check "[ \"\$(messages | head -3 | sort -u)\" = 'download failed' ]" "bad ids refused: $(messages | head -3)"
check "grep -qx 'splore: list new: read, 34 items' '$tmp/home/log.txt'" "32 entries give 34 items"
check "grep -qx 'splore: list new: read, 35 items' '$tmp/home/log.txt'" "the next page replaces [load more]"
expected="$page=0&cat=7&sub=2&version=000111cm
/bbs/cposts/1/12345.zk.png
/bbs/cposts/ab/ab_cd.zk.png
$page=32&cat=7&sub=2&version=000111cm"
check "[ \"\$(cat '$tmp/requests')\" = \"\$expected\" ]" "requests: $(cat "$tmp/requests")"
for f in 1/12345.zk.png carts/ab_cd.zk.png; do
  check "cmp -s '$tmp/home/bbs/$f' '$tmp/cart.zk.png'" "bbs/$f holds the cart"
done
check "cmp -s '$tmp/home/bbs/new.pip.png' '$tmp/home/bbs/temp_new.pip.png'" "the first page is cached"
check "[ \$(grep -c '^ *splore: run ' '$tmp/home/log.txt') = 2 ]" "both good carts run"

# 2. Failures: silent (time-out 2 s), endless (over the 2 MiB cap), drip
# (cancelled with pause), a PNG that is no cart, a cart of a later
# version, then wrong-size, cut and foreign pages and a
# redirect loop on the other board lists.
: >"$tmp/requests"
splore 600 "100:R 110:R 120:D 122:O 220:D 222:O 280:D 282:O 300:P $(downs 6 310) 325:O 370:D 372:O
  420:R 422:O 460:R 462:O 500:R 502:O 540:R 542:O" -timeout 2
check "[ $splore_status = 0 ]" "failures: exit status $splore_status"
want="timeout
could not connect to bbs.
download cancelled
could not load
future version. please update!
could not connect to bbs.
could not connect to bbs
could not connect to bbs.
could not connect to bbs."
check "[ \"\$(messages)\" = \"\$want\" ]" "failure messages: $(messages | tr '\n' ,)"
check "grep -qx 'client gone: drip1.zk.png' '$tmp/requests'" "the cancelled transfer is stopped"
loops=$(grep -c 'orderby=rating' "$tmp/requests")
check "[ $loops -ge 2 ] && [ $loops -le 6 ]" "redirect loop followed at most 5 times ($loops requests)"
check "grep -qx 'splore: list new: cached, 34 items' '$tmp/home/log.txt'" "the cached page shows at start"
check "[ ! -e '$tmp/home/bbs/carts/silent1.zk.png' ] && [ ! -e '$tmp/home/bbs/carts/endless1.zk.png' ] &&
       [ ! -e '$tmp/home/bbs/carts/drip1.zk.png' ]" "no file under a failed cart's name"
check "[ -z \"\$(find '$tmp/home' -name '*.part')\" ]" "no partial file left"
outside=$(cd "$tmp/home" && find . -newer "$tmp/start" -type f ! -path './bbs/*' ! -name log.txt ! -name config.txt ! -name sdl_controllers.txt \
  ! -path './cdata/*')
check "[ -z '$outside' ]" "files written outside bbs/: $outside"
check "[ -z \"\$(find '$tmp' -name 'etc*' -o -name '*rm -rf*')\" ]" "hostile ids made no file"

# 3. A hand-edited favourites file: lines read by the favourites rules,
# repeats and non-'|' lines dropped, a long line cut (its rest is no line); removing one entry through the cart
# menu writes the rest back in the file's format.
{
  printf '%s\n' '|12345 |0 |0 |someone | |My Game' 'not a favourite' '|12345 |x |9 |b | |again'
  printf '%s\n' '|777 |0 |1 |Big NAME!! | |Gone|Soon' "|$(printf 'z%.0s' $(seq 600))"
} >"$tmp/home/favourites.txt"
splore 150 "100:R 110:D 115:P 121:D 125:O"
want='|12345                |                     |0      |someone          |                     |my game'
want="$want
$(printf '|%s |%-20s |%-6d |%-16s |%-20s |' "$(printf 'z%.0s' $(seq 127))" '' 0 '' '')"
check "[ \"\$(cat '$tmp/home/favourites.txt')\" = \"\$want\" ]" "favourites rewritten: $(cat "$tmp/home/favourites.txt")"
[ $fail -eq 0 ] && echo "splore_hostile: ok"
exit $fail
