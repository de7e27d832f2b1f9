#!/usr/bin/env bash
# A cart's board page in headless Chromium (as the console's "bbs thread
# (browser)" opens it): title, author and download link in the DOM, and the
# label drawn (its card colour on a screenshot). Skipped without chromium.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
source "$src/tests/data/board_lib.sh"
if ! command -v chromium >/dev/null; then
  echo "chromium is not installed: skipped"
  exit 77
fi
test_board
start_board "$board"
browse() {
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d -p "$tmp")" "$@" "$url/bbs/?pid=101" 2>>"$tmp/chromium.log"
}
browse --dump-dom >"$tmp/dom.html"
for want in '<title>hello by zurkel</title>' '<h1 id="title">hello</h1>' '<p id="author">by zurkel</p>' \
  '<a id="download" href="/bbs/cposts/0/101.zk.png" download="101.zk.png">'; do
  check "grep -qF '$want' '$tmp/dom.html'" "DOM has $want"
done
(cd "$tmp" && browse --window-size=400,500 --screenshot="$tmp/shot.png" >/dev/null)
# The card of a featured cart is palette colour 2 (110, 36, 84).
pixels=$(python3 -c "
import sys; sys.path.insert(0, '$src/tests/data')
from sweep_png import read_png
print(sum(p == (110, 36, 84) for row in read_png('$tmp/shot.png') for p in row))" 2>>"$tmp/chromium.log")
check "[ '${pixels:-0}' -gt 2000 ]" "label drawn (${pixels:-no} card pixels)"
[ $fail -ne 0 ] && tail -20 "$tmp/chromium.log"
[ $fail -eq 0 ] && echo "board_chromium: ok"
exit $fail
