#!/usr/bin/env bash
# podbuild --compress: data.pod with its items LZ4-compressed is under a fifth
# of the size (the sample games in it are PNG carts, packed already), and the
# console reads it as the same: beside a copy of the console, the boot sequence
# and the head cart show the same screen.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
podbuild="$build/tools/podbuild/podbuild"
mkdir -p "$tmp/plain" "$tmp/packed"
cp "$bin" "$tmp/plain/zurkel" && cp "$build/data.pod" "$tmp/plain/"
cp "$bin" "$tmp/packed/zurkel"
"$podbuild" --compress "$build/data.pod" "$tmp/packed/data.pod" >/dev/null
check "[ $? -eq 0 ]" "podbuild --compress succeeds"
plain=$(stat -c %s "$tmp/plain/data.pod") packed=$(stat -c %s "$tmp/packed/data.pod")
check "[ $((packed * 5)) -lt $plain ]" "compressed $plain bytes to $packed"
check "[ \"\$(head -c 4 '$tmp/packed/data.pod')\" = CPOD ] && grep -q cFIL '$tmp/packed/data.pod'" "a pod of compressed file items"
for d in plain packed; do
  "$tmp/$d/zurkel" -home "$tmp/home-$d" -headless 1 -fast -frames 150 -seed 4 -dump_screen "$tmp/$d.png" >/dev/null 2>&1
done
check "cmp -s '$tmp/plain.png' '$tmp/packed.png'" "the console boots the same from either"
"$podbuild" --compress "$tmp/none.pod" "$tmp/x.pod" >/dev/null 2>&1
check "[ $? -eq 1 ] && [ ! -e '$tmp/x.pod' ]" "a missing pod is refused"
[ $fail -eq 0 ] && echo ok
exit $fail
