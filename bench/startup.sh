#!/usr/bin/env bash
# Start-up benchmark: the console started N times (default 7) in a window
# on a private Xvfb server, each run with -startup_report 1 and a fresh
# home folder. Prints the median of every reported part (window and
# renderer, audio device, data.pod, font, interpreter, cart load), of the
# first presented frame and of the head cart's first frame (its title
# screen, after the boot sequence's three seconds), plus the first frame
# as timed from outside: from the spawn of the process to the report line.
#
# usage: bench/startup.sh [ZURKEL_BINARY] [RUNS]
# The audio driver is SDL's default unless SDL_AUDIODRIVER is set.
set -uo pipefail
bin="${1:-build/zurkel}"
runs="${2:-7}"
for tool in Xvfb python3; do
  command -v "$tool" >/dev/null || { echo "startup.sh: $tool missing"; exit 1; }
done
[ -x "$bin" ] || { echo "startup.sh: no binary at $bin"; exit 1; }
tmp="$(mktemp -d)"
source "$(dirname "$0")/../tests/data/xvfb_lib.sh"
start_xvfb 150 199
export SDL_VIDEODRIVER=x11

python3 - "$bin" "$runs" "$tmp" <<'PY'
import os, re, statistics, subprocess, sys, time
binary, runs, tmp = sys.argv[1], int(sys.argv[2]), sys.argv[3]
parts = {}   # name -> [ms per run]
outside = []
line_re = re.compile(r"startup: (.+?) ([0-9.]+) ms \(at ([0-9.]+) ms\)$")
moment_re = re.compile(r"startup: (\S+) at ([0-9.]+) ms$")
audio_re = re.compile(r"startup: (audio buffer .*)$")
audio = set()
for r in range(runs):
    home = os.path.join(tmp, "home%d" % r)
    os.makedirs(home)
    t0 = time.monotonic()
    p = subprocess.Popen([binary, "-home", home, "-startup_report", "1", "-windowed", "1",
                          "-frames", "160"], stderr=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         text=True)
    seen = {}
    for line in p.stderr:
        line = line.rstrip("\n")
        m = line_re.match(line)
        if m:
            seen.setdefault(m.group(1), 0.0)
            seen[m.group(1)] += float(m.group(2))  # a part met twice counts twice
            continue
        m = audio_re.match(line)
        if m:
            audio.add(m.group(1))
            continue
        m = moment_re.match(line)
        if m:
            seen[m.group(1)] = float(m.group(2))
            if m.group(1) == "first_frame":
                outside.append((time.monotonic() - t0) * 1000)
    p.wait()
    for k, v in seen.items():
        parts.setdefault(k, []).append(v)
order = ["system", "video", "data.pod", "font", "sdl window", "sdl renderer", "window",
         "audio", "interpreter", "first_frame", "cart load", "cart_frame"]
print("%-22s %9s %9s %9s" % ("part (ms)", "median", "min", "max"))
for k in order + sorted(set(parts) - set(order)):
    if k in parts:
        v = parts[k]
        print("%-22s %9.1f %9.1f %9.1f" % (k, statistics.median(v), min(v), max(v)))
if outside:
    print("%-22s %9.1f %9.1f %9.1f" % ("first_frame (spawn)", statistics.median(outside),
                                      min(outside), max(outside)))
for a in sorted(audio):
    print(a)
print("runs: %d" % runs)
PY
