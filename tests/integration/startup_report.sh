#!/usr/bin/env bash
# -startup_report 1: one line per start-up part on standard error, in start-up
# order, up to the head cart's first frame; nothing without the option.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
run() { (cd "$tmp" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 120 "$bin" -home "$tmp/home" -fast -frames 130 "$@" >"$tmp/out" 2>"$tmp/err"); }

run -startup_report 1
check "[ $? -eq 0 ]" "runs with the report"
got="$(sed -nE 's/^startup: (.+) [0-9]+\.[0-9] ms \(at [0-9]+\.[0-9] ms\)$/\1/p; s/^startup: ([a-z_]+) at [0-9]+\.[0-9] ms$/\1/p' "$tmp/err" | tr '\n' ,)"
want="system,video,data.pod,font,sdl window,sdl renderer,window,interpreter,audio,first_frame,cart load,interpreter,cart_frame,"
check "[ '$got' = '$want' ]" "parts in order: $got"
check "[ \$(grep -c '^startup:' '$tmp/err') -eq 13 ]" "no other report lines: $(grep -c '^startup:' "$tmp/err")"

run
check "! grep -q '^startup:' '$tmp/err'" "no report without the option"
exit $fail
