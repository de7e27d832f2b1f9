# Helpers for the board server's integration tests (sourced after
# check_lib.sh). Gives $zkb (the zkboard binary), $palette, and:
#   test_board                    copies the test board (tests/data/board) and
#                                 assets/carts into $tmp; sets $board
#   start_board FOLDER [OPTIONS]  runs `zkboard serve FOLDER --port 0`, waits
#                                 for its address line, sets $url and $board_pid
#                                 (every server started is killed at exit)
#   start_static OUT              runs nginx with tools/zkboard/nginx.conf.sample
#                                 on a free port over a render in OUT; sets $static
#   fetch PATH [FILE]             prints the status; the body goes to FILE
#   list_url START REQUEST        a list page's path as the console asks for it
#   ids PATH                      the ids of a list page's entries, in order
#   entries PATH                  its entries as board_list.py prints them
# CTest runs every *.sh: run on its own this file does nothing.
zkb="$build/tools/zkboard/zkboard"
palette="$src/assets/gfx/palette.txt"
board_pids=""
trap 'for p in $board_pids; do kill "$p" 2>/dev/null; done; rm -rf "$tmp"' EXIT

test_board() {
  mkdir -p "$tmp/board"
  cp -r "$src/tests/data/board/." "$tmp/board/"
  cp -r "$src/assets/carts" "$tmp/"
  board="$tmp/board"
}
start_board() {
  local folder="$1" out="$tmp/serve.out.$#.$RANDOM"
  shift
  "$zkb" serve "$folder" --port 0 "$@" >"$out" 2>>"$tmp/serve.log" &
  board_pid=$!
  board_pids="$board_pids $board_pid"
  for _ in $(seq 150); do
    url=$(sed -n 's/^zkboard: serving .* at \(http:.*\)$/\1/p' "$out")
    [ -n "$url" ] && return 0
    kill -0 "$board_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: zkboard serve $folder did not start"
  cat "$tmp/serve.log"
  exit 1
}
start_static() {
  local port
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  mkdir -p "$tmp/nginx/tmp"
  chmod 755 "$tmp"  # nginx's workers may run as another user
  sed -e "s|listen 127.0.0.1:8128;|listen 127.0.0.1:$port;|" -e "s|root /srv/zkboard;|root $1;|" \
    "$src/tools/zkboard/nginx.conf.sample" >"$tmp/nginx.conf"
  nginx -p "$tmp/nginx" -c "$tmp/nginx.conf" -e stderr -g 'daemon off;' 2>"$tmp/nginx.log" &
  board_pids="$board_pids $!"
  static="http://127.0.0.1:$port"
  for _ in $(seq 50); do curl -s -o /dev/null "$static/" && return 0; sleep 0.1; done
  echo "FAIL: nginx did not start"
  cat "$tmp/nginx.log"
  exit 1
}
fetch() { curl -s -g --path-as-is --max-time 20 -o "${2:-$tmp/body}" -w '%{http_code}' "$url$1"; }
list_url() { echo "/bbs/cpost_lister3.php?max=32&start_index=$1&$2&version=000111cm"; }
entries() {
  fetch "$1" "$tmp/page.png" >/dev/null
  python3 "$src/tests/data/board_list.py" "$tmp/page.png" "$palette"
}
ids() { entries "$1" | cut -d'|' -f4 | tr '\n' ' ' | sed 's/ $//'; }
