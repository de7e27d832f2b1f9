#!/usr/bin/env bash
# zkboard add on a copy of the shipped board while it is served: the next
# id, the copied cart and the new board.txt line; the running server picks
# the carts up (lists, search, paging, PNG carts with text ids) and keeps its
# board when board.txt is broken. Also the command line's refusals.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
test_board
start_board "$board"
jam() { ids "$(list_url "${1:-0}" 'cat=7&sub=8')"; }
jam_is() { [ "$(jam)" = "$1" ]; }
wait_until() { for _ in $(seq 60); do "$@" && return 0; sleep 0.1; done; return 1; }

"$zkb" add "$board" "$tmp/carts/hello.zk" --title "My New Game" --author tester \
  --category jam --rating 5 --date 2025-02-01 >"$tmp/add.out"
check "grep -qxF 'zkboard: added 105 \"My New Game\" to $board as carts/105.zk' '$tmp/add.out'" "add reports the id"
check "cmp -s '$tmp/carts/hello.zk' '$board/carts/105.zk'" "the cart is copied"
check "[ \"\$(tail -n1 '$board/board.txt')\" = '105 | jam | 5 | 2025-02-01 | carts/105.zk | tester | My New Game' ]" "board.txt line"
check "wait_until jam_is 105" "the server lists the new cart"
check "[ \"\$(ids '/bbs/cpost_lister3.php?cat=7&search=new%20GAME&max=32')\" = 105 ]" "search finds it"

# A PNG cart keeps its bytes; a text id has its own folder.
fetch /bbs/cposts/0/101.zk.png "$tmp/in.zk.png" >/dev/null
"$zkb" add "$board" "$tmp/in.zk.png" --id ab_cd --category jam --author x --date 2025-01-01 >/dev/null
check "wait_until jam_is '105 ab_cd'" "text id listed"
fetch /bbs/cposts/ab/ab_cd.zk.png "$tmp/out.zk.png" >/dev/null
check "cmp -s '$tmp/in.zk.png' '$tmp/out.zk.png'" "PNG cart served as added"

# Paging: 40 more, newer (today), the later line first.
for i in $(seq 40); do "$zkb" add "$board" "$tmp/carts/shapes.zk" --category jam --author "a$i" >/dev/null; done
check "wait_until jam_is '$(seq -s ' ' 145 -1 114)'" "first page of 32"
check "[ \"\$(jam 32)\" = '$(seq -s ' ' 113 -1 106) 105 ab_cd' ]" "second page"
check "[ -z \"\$(jam 64)\" ]" "third page empty"

# A broken board.txt is reported and the served board stays.
echo "bad | line" >>"$board/board.txt"
check "wait_until grep -q 'board not reloaded' '$tmp/serve.log'" "broken board.txt reported"
check "grep -q 'board.txt:$(wc -l <"$board/board.txt"): expected 7 fields' '$tmp/serve.log'" "names the line"
check "[ \"\$(jam 32)\" = '$(seq -s ' ' 113 -1 106) 105 ab_cd' ]" "previous board still served"

# Refusals: command | exit status | message
cp -r "$src/tests/data/board" "$tmp/b3"
mkdir -p "$tmp/b2/carts"
: >"$tmp/b2/carts/1000.zk"
while IFS='|' read -r args want message; do
  eval "\"\$zkb\" $args" >/dev/null 2>"$tmp/err"
  got=$?
  check "[ $got = $want ] && grep -qF -- \"$message\" '$tmp/err'" "zkboard $args: status $got, $(head -c 200 "$tmp/err")"
done <<'TABLE'
add "$board" "$tmp/carts/hello.zk"|1|fix board.txt first
add "$tmp/b3" /etc/hostname|1|not a cartridge
add "$tmp/b3" "$tmp/carts/hello.zk" --id 101|1|id 101 is taken
add "$tmp/none" "$tmp/carts/hello.zk"|1|no board folder
add "$tmp/b2" "$tmp/carts/hello.zk"|1|exists; give another --id
add "$board" x --category other|2|--category
add "$board" x --rating 6|2|--rating
add "$board" x --date 2025-13-01|2|--date
add "$board" x --id AB|2|--id
serve "$tmp/none"|1|cannot read
serve "$board" --port 70000|2|--port
serve "$board" --host example.org|1|--host must be
render "$board" /etc|1|neither empty
serve "$board" --title x|2|has no option --title
frobnicate|2|unknown command
TABLE
for cmd in serve add render; do
  "$zkb" "$cmd" --help >"$tmp/help"
  check "[ $? = 0 ] && grep -q '^zkboard $cmd ' '$tmp/help'" "$cmd --help"
done
check "grep -q -- '--data-pod' <('$zkb' render --help) && grep -q -- '--max-clients' <('$zkb' serve --help)" "help lists the options"

[ $fail -eq 0 ] && echo "board_add: ok"
exit $fail
