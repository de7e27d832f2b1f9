#!/usr/bin/env bash
# Sound through the real binary and -dump_audio, sample for sample: silence
# before an effect, its square wave at the pitch's period, its end; a song
# changing pattern on the tick its length says; fades; the audio effect
# registers poked by a cart; the configured volumes.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"

{
  echo "__sfx__"
  sfxline 8 0 0 33,3,7,0                       # 0: one square note, 8 ticks
  n=(); for i in $(seq 32); do n+=(24,2,5,0); done
  sfxline 1 0 0 "${n[@]}"                      # 1: saw, 32 ticks
  n=(); for i in $(seq 32); do n+=(36,3,5,0); done
  sfxline 1 0 0 "${n[@]}"                      # 2: square, 32 ticks
  n=(); for i in $(seq 32); do n+=(33,3,7,0); done
  sfxline 255 0 0 "${n[@]}"                    # 3: a very long square note
  echo "__music__"
  echo "00 01424344"
  echo "04 02424344"
  echo "00 03424344"
} >"$tmp/sections"

# wav FILE AWKPROGRAM : runs awk over the samples (s[i], i from 0; n).
wav() {
  samples "$1" | awk -v prog="$2" '{ s[NR - 1] = $1 } END { n = NR; '"$2"' }'
}

# One note at frame 10 (update step 9): 735 samples per step at 30 steps per
# second, so the mixer picks the effect up at the tick boundary after sample
# 6615: tick 37 (sample 6771), faded in over 64 samples from the idle channel.
mkcart_with note.zk "$tmp/sections" <<'EOF2'
f=0
function _update() f+=1 if f==10 then sfx(0) end end
EOF2
runcart note.zk -frames 30 -seed 1 -dump_audio "$tmp/note.wav"
expect_status 0 "note runs"
got="$(wav "$tmp/note.wav" '
  first = -1; last = -1
  for (i = 0; i < n; i++) if (s[i] != 0) { if (first < 0) first = i; last = i }
  printf "%d %d %d %d %d %d", n, first, last, s[6772], s[6835], s[6848]')"
# Volume 7: g = 1792 * 3 / 2; square 6143 * g / 2048 = 8062. Pitch 33 gives
# dx 1307: after the crossfade (sample 6835, phase 64 * 1307) the wave is
# low until the phase passes half a turn again at sample 6848.
check "[ '$got' = '22050 6772 8298 -125 -8062 8062' ]" "note samples: $got"
got="$(wav "$tmp/note.wav" '
  c = 0; for (i = 6836; i < 8235; i++) if (s[i] != s[i - 1]) c++
  printf "%d", c')"
# 1399 samples of a 50.14-sample period: 55 or 56 sign changes.
check "[ '$got' = 55 ] || [ '$got' = 56 ]" "square period: $got sign changes"

# A song: pattern 0 (saw) from tick 5, pattern 1 (square) from tick 37, the
# stop flag ends it after tick 68 (crossfade to silence by sample 12690).
mkcart_with song.zk "$tmp/sections" <<'EOF2'
f=0
function _update() f+=1 if f==2 then music(0) end end
EOF2
runcart song.zk -frames 30 -seed 1 -dump_audio "$tmp/song.wav"
got="$(wav "$tmp/song.wav" '
  first = -1; last = -1
  for (i = 0; i < n; i++) if (s[i] != 0) { if (first < 0) first = i; last = i }
  printf "%d %d %d %d", first, last, s[36 * 183 + 64], s[37 * 183 + 64]')"
# Volume 5: g = 1920; saw at tick 36, square 6143 * 1920 / 2048 = 5759.
check "[ '$got' = '916 12690 -7397 5759' ]" "song samples: $got"

# music(2, 1000) fades in over 30 steps (the level follows the samples mixed
# so far, once per update: 33 ms after the first step it is 2162 / 65536);
# music(-1, 500) at frame 60 fades out over 15 steps and stops the song.
mkcart_with fade.zk "$tmp/sections" <<'EOF2'
cartdata("sweep_fade")
f=0
function _update()
 f+=1
 if f==1 then music(2,1000) end
 if f==60 then music(-1,500) end
 if f==80 then dset(0,stat(24)) dset(1,stat(26)) dset(2,stat(16)) end
end
EOF2
runcart fade.zk -frames 90 -seed 1 -dump_audio "$tmp/fade.wav"
got="$(wav "$tmp/fade.wav" '
  for (b = 0; b < 30; b++) { m = 0; for (i = 735 * 3 * b; i < 735 * 3 * (b + 1); i++) { v = s[i] < 0 ? -s[i] : s[i]; if (v > m) m = v } printf "%d ", m }')"
check "[ '$got' = '503 1322 2141 2927 3746 4535 5354 6172 6958 7777 8062 8062 8062 8062 8062 8062 8062 8062 8062 8062 8062 6424 4817 3212 1604 0 0 0 0 0 ' ]" \
  "fade envelope (peak per 3 steps): $got"
check "[ \"\$(head -c 24 '$tmp/home/cdata/sweep_fade.zkd.txt')\" = 0000000000000000ffff0000 ]" \
  "after the fade-out: pattern 0, no ticks, no effect"

# Audio effect registers poked by the cart, channel 0 (bit 0).
fx() {
  mkcart_with "fx$1.zk" "$tmp/sections" <<EOF2
f=0
function _update() f+=1 if f==1 then poke(0x$1,1) end if f==2 then sfx(0,0) end end
EOF2
  runcart "fx$1.zk" -frames 20 -seed 1 -dump_audio "$tmp/fx$1.wav"
}
span='first = -1; last = -1
  for (i = 0; i < n; i++) if (s[i] != 0) { if (first < 0) first = i; last = i }'
fx 5f40
got="$(wav "$tmp/fx5f40.wav" "$span"' printf "%d %d", last - first, s[first + 500]')"
check "[ '$got' = '3049 -8062' ]" "half rate doubles the length: $got"
fx 5f42
got="$(wav "$tmp/fx5f42.wav" "$span"' m = 0; for (i = first + 64; i < first + 1400; i++) if (s[i] != 4096 && s[i] != -4096) m++; printf "%d", m')"
check "[ '$got' = 0 ]" "distortion keeps the top bits (+-4096): $got other samples"
fx 5f41
got="$(wav "$tmp/fx5f41.wav" "$span"' v = s[first + 500]; printf "%d %d", (last - first > 3000), (v < 0 ? -v : v)')"
check "[ '$got' = '1 6046' ]" "echo: a long tail, 3/4 level before the first echo: $got"
fx 5f43
got="$(wav "$tmp/fx5f43.wav" "$span"' printf "%d %d", s[first + 500], s[first + 501]')"
check "[ '$got' = '7507 5560' ]" "low-pass: $got"

# Configured volumes: sound_volume halves the mix, music_volume 0 silences
# the song while it keeps advancing.
runcart note.zk -frames 1 -seed 1
sed -i 's/^sound_volume .*/sound_volume 128/; s/^music_volume .*/music_volume 0/' "$tmp/home/config.txt"
mkcart_with vol.zk "$tmp/sections" <<'EOF2'
cartdata("sweep_vol")
f=0
function _update()
 f+=1
 if f==2 then music(0) end
 if f==12 then sfx(0) dset(0,stat(24)) end
end
EOF2
runcart vol.zk -frames 30 -seed 1 -dump_audio "$tmp/vol.wav"
got="$(wav "$tmp/vol.wav" "$span"' m = 0; for (i = 0; i < n; i++) { v = s[i] < 0 ? -s[i] : s[i]; if (v > m) m = v } printf "%d %d", first, m')"
check "[ '$got' = '8236 4031' ]" "volumes: music silent, effect at half: $got"
check "[ \"\$(head -c 8 '$tmp/home/cdata/sweep_vol.zkd.txt')\" = 00010000 ]" "silent song still advances"
finish
