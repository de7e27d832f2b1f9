#!/usr/bin/env bash
# A cart playing a song and effects, run in execute mode with -dump_audio:
# the WAV has the length of the emulated time, is identical across runs and
# has sound in it.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
src="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if ! eval "$1"; then echo "FAIL: $2"; fail=1; fi; }
cart="$tmp/song.zk"
cp "$src/tests/data/audio_song.zk" "$cart"
frames=90
run() {
  (cd "$tmp" && timeout 120 "$bin" -home "$tmp/home" -fast -frames $frames -dump_audio "$1" -x "$cart" \
    >"$tmp/out" 2>&1)
}

run "$tmp/a.wav"
status=$?
if grep -q "^couldn't load .*data\.pod\|^could not load .*song\.zk" "$tmp/out"; then
  # A build without data.pod, or whose execute mode cannot load carts yet.
  echo "SKIP: $(head -1 "$tmp/out")"
  exit 0
fi
check "[ $status -eq 0 ]" "exit status $status"
run "$tmp/b.wav"
check "[ -s '$tmp/a.wav' ]" "audio dump written"
check "cmp -s '$tmp/a.wav' '$tmp/b.wav'" "audio dumps identical"
check "[ \"\$(head -c 4 '$tmp/a.wav')\" = RIFF ]" "dump is a RIFF file"
check "! ls '$tmp' | grep -q '\.tmp$'" "no temp file left"

# 22,050 samples per emulated second: 30 or 60 update steps per second.
bytes=$(stat -c %s "$tmp/a.wav")
samples=$(( (bytes - 44) / 2 ))
check "[ $samples -eq $(( frames * 22050 / 30 )) ] || [ $samples -eq $(( frames * 22050 / 60 )) ]" \
  "length $samples samples for $frames steps"

# Non-silent stretches: count non-zero samples per tenth of a second.
od -An -td2 -v -j44 -w2 "$tmp/a.wav" | awk -v n=2205 '
  { block = int((NR - 1) / n); if ($1 != 0) loud[block]++; last = block }
  END { s = 0; for (b = 0; b <= last; b++) if (loud[b] > n / 2) s++; print s, last + 1 }' >"$tmp/blocks"
read -r loud total <"$tmp/blocks"
check "[ ${loud:-0} -ge $(( ${total:-0} / 2 )) ]" "sound in $loud of $total tenths of a second"
exit $fail
