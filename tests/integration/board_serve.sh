#!/usr/bin/env bash
# zkboard serve on the shipped board: every list the console's browser asks
# for (read back by an independent reader of the page format), the carts
# (loadable by the console), the cart pages, and a status for every kind of
# bad request.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
test_board
start_board "$board"

# request | ids of the entries, in list order
while IFS='|' read -r request want; do
  got=$(ids "$(list_url 0 "$request")")
  check "[ '$got' = '$want' ]" "list $request: '$got', want '$want'"
done <<'TABLE'
cat=7&sub=2|103 101
cat=7&sub=2&orderby=rating|101 103
cat=7&sub=3|102
cat=7&sub=4|104
cat=7&sub=8|
cat=7&orderby=favourites&uid=1|101 104 103 102
cat=7&search=SH&max=32|103
cat=7&search=%20zurk%20&max=32|104 103 102 101
cat=7&search=nothing&max=32|
cat=7&sub=2&max=1|103
TABLE
got=$(entries "$(list_url 0 'cat=7&sub=3')")
check "[ '$got' = '102 102 2|buttons|zurkel|102|102' ]" "entry fields: $got"
check "[ -z \"\$(ids \"\$(list_url 32 'cat=7&sub=2')\")\" ]" "a page past the end is empty"

for id in 101 102 103 104; do
  code=$(fetch "/bbs/cposts/0/$id.zk.png" "$tmp/$id.zk.png")
  check "[ $code = 200 ]" "cart $id: $code"
  (cd "$tmp" && timeout 60 "$bin" -home "$tmp/home" -x "$id.zk.png" -fast -frames 5 >/dev/null 2>&1)
  check "[ $? = 0 ]" "cart $id loads in the console"
done

code=$(fetch "/bbs/?pid=104" "$tmp/page.html")
for want in '<h1 id="title">sound</h1>' 'by zurkel' 'href="/bbs/cposts/0/104.zk.png"' 'src="data:image/png;base64,'; do
  check "[ $code = 200 ] && grep -qF '$want' '$tmp/page.html'" "cart page has $want"
done
check "grep -qF 'href=\"/bbs/?pid=101\"' <(curl -s '$url/bbs/')" "index links the carts"

long=$(printf 'a%.0s' $(seq 3000))
# path | status
while IFS='|' read -r path want; do
  got=$(fetch "$path")
  check "[ '$got' = '$want' ]" "$path: $got, want $want"
done <<TABLE
/bbs/?pid=999|404
/bbs/?pid=A!|400
/bbs/cposts/1/101.zk.png|404
/bbs/cposts/0/999.zk.png|404
/bbs/cposts/0/../../board.txt|400
/bbs/cposts/0/%2e%2e/board.txt|404
/..|400
/nothing|404
/bbs/cpost_lister3.php?cat=7&sub=5|404
/bbs/cpost_lister3.php?cat=8|404
/bbs/cpost_lister3.php?cat=7&start_index=-1|400
/bbs/cpost_lister3.php?cat=7&start_index=1x|400
/bbs/cpost_lister3.php?cat=7&max=0|400
/bbs/cpost_lister3.php?cat=7&orderby=oops|400
/bbs/cpost_lister3.php?cat=7&search=%zz|400
/bbs/cpost_lister3.php?cat=7&search=%0a|400
/bbs/cpost_lister3.php?cat=7&novalue|400
/bbs/cpost_lister3.php?cat=7&Bad=1|400
/bbs/cpost_lister3.php?cat=7&sub=2&unknown_key=1|200
/bbs/cpost_lister3.php?cat=7&search=$(printf 'x%.0s' $(seq 65))|400
/bbs/cpost_lister3.php?cat=7&a=$long|414
TABLE
check "[ \$(curl -s -o /dev/null -w '%{http_code}' -X POST '$url/bbs/') = 405 ]" "POST is refused"
check "[ \$(curl -s -I -o /dev/null -w '%{http_code}' '$url/bbs/?pid=101') = 200 ]" "HEAD is answered"
check "grep -q '^zkboard: 127.0.0.1 GET /bbs/?pid=104 200 [0-9]*$' '$tmp/serve.log'" "one log line per request"

kill -TERM "$board_pid"
check "timeout 5 tail --pid=$board_pid -f /dev/null && grep -q 'zkboard: stopping' '$tmp/serve.log'" "stops on SIGTERM"

# The shipped board reads without a fault and offers every sample game and demo.
"$zkb" render "$src/assets/board" "$tmp/shipped" >/dev/null 2>"$tmp/shipped.err"
status=$?
carts=$(grep -c '^/bbs/cposts/' "$tmp/shipped/zkboard-render.txt")
check "[ $status = 0 ] && [ $carts = 17 ] && [ ! -s '$tmp/shipped.err' ]" "shipped board: $carts carts, $(head -c 200 "$tmp/shipped.err")"

[ $fail -eq 0 ] && echo "board_serve: ok"
exit $fail
