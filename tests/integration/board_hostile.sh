#!/usr/bin/env bash
# zkboard serve under hostile clients (idle half-sent requests, oversized
# and malformed requests, a crowd at once): 4xx or a closed connection for
# the bad ones, every good one answered, the server still up.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
test_board
start_board "$board" --timeout 2 --threads 2
python3 "$src/tests/data/board_hostile.py" "$url" "$(list_url 0 'cat=7&sub=2')" \
  "/bbs/cposts/0/101.zk.png" "/bbs/?pid=102" "/bbs/cpost_lister3.php?cat=7&search=s&max=32"
check "[ $? = 0 ]" "hostile clients"
check "kill -0 $board_pid" "server still running"
[ $fail -eq 0 ] && echo "board_hostile: ok"
exit $fail
