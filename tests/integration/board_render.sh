#!/usr/bin/env bash
# zkboard render, served by nginx with the shipped nginx.conf.sample, gives
# the same bytes as zkboard serve for every request the render lists; a
# second render into the same folder replaces the first.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
test_board
"$zkb" add "$tmp/board" "$tmp/carts/hello.zk" --id ab_cd --category jam --author x >/dev/null
"$zkb" add "$tmp/board" "$tmp/carts/shapes.zk" --id 12345 --category wip --author y >/dev/null
for i in $(seq 33); do "$zkb" add "$tmp/board" "$tmp/carts/sound.zk" --author "b$i" >/dev/null; done
"$zkb" render "$tmp/board" "$tmp/out" >"$tmp/render.out"
check "[ $? = 0 ] && grep -q '^zkboard: rendered ' '$tmp/render.out'" "render runs"
"$zkb" render "$tmp/board" "$tmp/out" >/dev/null
check "[ $? = 0 ]" "render again into its own output"
check "grep -q '^/bbs/cpost_lister3.php?max=32&start_index=32&cat=7&sub=2&version=000111cm bbs/lists/new/32.png$' '$tmp/out/zkboard-render.txt'" "second page of new rendered"
check "grep -q '^/bbs/cposts/ab/ab_cd.zk.png ' '$tmp/out/zkboard-render.txt'" "text id rendered"
check "grep -q '^/bbs/cposts/1/12345.zk.png bbs/cposts/1/12345.zk.png$' '$tmp/out/zkboard-render.txt'" "id 12345 rendered"

if ! command -v nginx >/dev/null; then
  echo "nginx is not installed (scripts/setup.sh installs it)"
  exit 1
fi
start_static "$tmp/out"
start_board "$tmp/board"
compared=0
while read -r request file; do
  [ "${request:0:1}" = / ] || continue
  a=$(curl -s -g -o "$tmp/a" -w '%{http_code} %{content_type}' "$url$request")
  b=$(curl -s -g -o "$tmp/b" -w '%{http_code} %{content_type}' "$static$request")
  check "[ '$a' = '$b' ] && cmp -s '$tmp/a' '$tmp/b'" "$request: serve '$a', static '$b'"
  compared=$((compared + 1))
done <"$tmp/out/zkboard-render.txt"
check "[ $compared -gt 40 ]" "compared $compared requests"
for request in "/bbs/?pid=zz_none" "$(list_url 0 'cat=7&sub=9')" "$(list_url 0 'cat=7&search=x')"; do
  check "[ \$(curl -s -g -o /dev/null -w '%{http_code}' '$static$request') = 404 ]" "static $request is 404"
done
[ $fail -ne 0 ] && cat "$tmp/nginx.log"
[ $fail -eq 0 ] && echo "board_render: ok"
exit $fail
