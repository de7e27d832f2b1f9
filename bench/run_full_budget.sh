#!/usr/bin/env bash
# Host cost of emulated time through the real binary: a cart at 60 frames
# per second that fills every frame to about 95% of its CPU budget (some
# drawing, then plain loops until stat(1) reaches 0.95), run headless with
# -fast. Reports wall and CPU milliseconds per emulated second and the peak
# resident memory. Targets: below 50 ms CPU per emulated second, below 64 MB.
#
# Usage: bench/run_full_budget.sh <zurkel binary> [emulated seconds, default 30]
# Start-up is taken out by subtracting a one-second run.
set -euo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
secs="${2:-30}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cat > "$tmp/full.zk" <<'CART'
zurkel cartridge // benchmark
version 12
__lua__
cartdata("bench_full_budget")
frames=0 slow=0 used=0
function _update60()
 frames+=1
 if stat(7)!=60 then slow+=1 end
end
function _draw()
 cls(1)
 for i=0,15 do circfill(i*8+4,64+sin(frames/60+i/16)*30,4,i) end
 print("full budget "..frames,30,4,7)
 while stat(1)<0.95 do for i=1,50 do end end
 used=max(used,stat(1))
 dset(0,frames) dset(1,slow) dset(2,used)
end
__gfx__
CART

# run STEPS -> "wall_s user_s sys_s maxrss_kb"
run() {
  rm -rf "$tmp/home"
  mkdir -p "$tmp/home"
  (cd "$tmp" && /usr/bin/time -f "%e %U %S %M" -o "$tmp/time" \
    "$bin" -home "$tmp/home" -x "$tmp/full.zk" -fast -frames "$1" >/dev/null 2>"$tmp/err") || true
  cat "$tmp/time"
}
word() { # word INDEX of the cart data, as a decimal value
  local hex
  hex="$(tr -d '\n' < "$tmp/home/cdata/bench_full_budget.zkd.txt" | cut -c$(($1 * 8 + 1))-$(($1 * 8 + 8)))"
  awk -v h="$((16#$hex))" 'BEGIN { printf "%.3f", h / 65536 }'
}

read -r w0 u0 s0 m0 <<<"$(run 60)"
read -r w1 u1 s1 m1 <<<"$(run $((secs * 60 + 60)))"
echo "frames drawn: $(word 0), frames below 60 fps: $(word 1), peak stat(1): $(word 2)"
awk -v s="$secs" -v w0="$w0" -v u0="$u0" -v s0="$s0" -v w1="$w1" -v u1="$u1" -v s1="$s1" -v m="$m1" 'BEGIN {
  printf "per emulated second: wall %.1f ms, cpu %.1f ms (user %.1f + sys %.1f)\n",
    (w1 - w0) * 1000 / s, ((u1 + s1) - (u0 + s0)) * 1000 / s, (u1 - u0) * 1000 / s, (s1 - s0) * 1000 / s
  printf "peak resident memory: %.1f MB\n", m / 1024
}'
