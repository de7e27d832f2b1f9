#!/usr/bin/env bash
# zkcart export-sfx and export-music give the samples the console plays:
# a cart that calls sfx(n) or music(n) in _init, run with -dump_audio, holds
# one silent tick (183 samples) and then exactly the exported samples.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
zk="$(cd "$build" && pwd)/tools/zkcart/zkcart"
cd "$tmp" || exit 1
# The cart's data with the code replaced by one call in _init (and an
# _update, so it keeps running).
calls() {
  awk -v call="$2" '/^__lua__/ { print; print "function _init() " call " end function _update() end"; skip = 1; next }
                    /^__[a-z]+__/ { skip = 0 } !skip' "$src/assets/carts/$1.zk" >"$3"
}
# cart call export-args: the export equals the dump from sample 183 on,
# and after an effect the dump is silent (a song plays on round its loop).
while read -r cart call what n; do
  calls "$cart" "$call" c.zk
  "$zk" "$what" c.zk "$n" e.wav >out 2>&1
  check "grep -q '^wrote e.wav' out" "$what $cart $n: $(cat out)"
  timeout 120 "$bin" -home "$tmp/home" -x c.zk -fast -frames 450 -dump_audio d.wav >/dev/null
  len=$(($(stat -c %s e.wav) - 44))
  check "[ $len -gt 22050 ] && cmp -s -n $len <(tail -c +$((45 + 183 * 2)) d.wav) <(tail -c +45 e.wav)" \
    "$what $cart $n: same samples as the console's dump"
  [ "$what" = export-music ] ||
    check "! tail -c +$((45 + 183 * 2 + len)) d.wav | tr -d '\\0' | grep -q ." "$what $cart $n: silence after it"
done <<'EOF'
sound sfx(9) export-sfx 9
sound sfx(24) export-sfx 24
music music(0) export-music 0
EOF
check "grep -q '12.75 s, once to the loop' out" "the song stops where it loops"
exit $fail
