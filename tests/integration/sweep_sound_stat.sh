#!/usr/bin/env bash
# Sound queries through the real binary: stat(16)-stat(26) follow the
# emulated clock in -fast runs, with or without an audio dump, and a song's
# pattern, pattern count and ticks advance at 32 x speed ticks per pattern.
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../data/run_lib.sh" "$@"
source "$here/../data/sweep_lib.sh"

# Effect 0: eight square notes at speed 8; effects 1 and 2: speed 1, 32 notes.
{
  echo "__sfx__"
  sfxline 8 0 0 33,3,7,0 33,3,7,0 33,3,7,0 33,3,7,0 33,3,7,0 33,3,7,0 33,3,7,0 33,3,7,0
  n=(); for i in $(seq 32); do n+=(24,2,5,0); done
  sfxline 1 0 0 "${n[@]}"
  n=(); for i in $(seq 32); do n+=(36,3,5,0); done
  sfxline 1 0 0 "${n[@]}"
  echo "__music__"
  echo "00 01424344"
  echo "04 02424344"
} >"$tmp/sections"

# 735 samples per step at 30 steps per second = 4.016 ticks of 183 samples:
# a speed-8 note lasts two frames.
mkcart_with notes.zk "$tmp/sections" <<'EOF2'
f=0 s=""
function _update()
 f+=1
 if f==2 then sfx(0) end
 if f>=2 and f<=12 then s=s..stat(16).."/"..stat(20).." " end
 if f==13 then assert(false,s) end
end
EOF2
want="0/0 0/0 0/1 0/1 0/2 0/2 0/3 0/3 0/4 0/4 0/5 "
runcart notes.zk -frames 30 -seed 1
expect_status 2 "notes without a dump"
expect_assert "$want" "note index follows emulated time without a dump"
runcart notes.zk -frames 30 -seed 1 -dump_audio "$tmp/a.wav"
expect_assert "$want" "note index with a dump"

# Song: pattern 0 (32 ticks), pattern 1 with the stop flag, then silence.
mkcart_with song.zk "$tmp/sections" <<'EOF2'
f=0 s=""
function _update()
 f+=1
 if f==2 then music(0) end
 if f>=2 and f<=20 and f%2==0 then s=s..stat(24).."/"..stat(25).."/"..stat(26).."/"..stat(20).."/"..stat(17).." " end
 if f==21 then assert(false,s) end
end
EOF2
runcart song.zk -frames 30 -seed 1
expect_assert "0/0/0/0/-1 0/0/8/8/-1 0/0/16/16/-1 0/0/24/24/-1 1/1/0/0/-1 1/1/8/8/-1 1/1/16/16/-1 1/1/24/24/-1 0/0/0/-1/-1 0/0/0/-1/-1 " \
  "song pattern, count and ticks"
finish
