#!/usr/bin/env bash
# data.pod beside the executable: found and booted (the head cartridge is
# mounted at boot frame 90), and when it is missing or damaged the program
# says "couldn't load <path>" and leaves with status 0.
source "$(dirname "$0")/../data/check_lib.sh" "$@"
run() { (cd "$tmp" && timeout 120 "$1" -home "$tmp/home" -fast -frames "$2" >"$tmp/out" 2>&1); }

pod="$(dirname "$bin")/data.pod"
check "[ -f '$pod' ]" "data.pod built beside the executable"
check "[ \"\$(head -c 4 '$pod')\" = CPOD ]" "data.pod starts with a pod header"

# Present: the boot sequence mounts the head cartridge from item 3.
run "$bin" 120
status=$?
check "[ $status -eq 0 ]" "exit status $status with data.pod"
check "! grep -q \"couldn't load\" '$tmp/out'" "no load failure"
check "grep -q 'brim_load_pod: .*data.pod ok' '$tmp/home/log.txt'" "log shows data.pod loaded"
check "grep -Eq '@ mount_embedded_cart: head.zk [0-9a-f]{40}$' '$tmp/home/log.txt'" "head cart mounted"
check "! grep -q 'head cart not found' '$tmp/out'" "head cart found"

# Missing: a copy of the program in a folder of its own.
mkdir -p "$tmp/alone"
cp "$bin" "$tmp/alone/zurkel"
run "$tmp/alone/zurkel" 3
status=$?
check "[ $status -eq 0 ]" "missing data.pod exits 0 (got $status)"
check "grep -qx \"couldn't load $tmp/alone/data.pod\" '$tmp/out'" "missing data.pod message"

# Damaged: a truncated pod is refused the same way, without a crash.
head -c 300 "$pod" >"$tmp/alone/data.pod"
run "$tmp/alone/zurkel" 3
status=$?
check "[ $status -eq 0 ]" "damaged data.pod exits 0 (got $status)"
check "grep -qx \"couldn't load $tmp/alone/data.pod\" '$tmp/out'" "damaged data.pod message"

[ $fail -eq 0 ] && echo "boot_pod: ok"
exit $fail
