#!/usr/bin/env bash
# Every way a program ends with a console report, with the tab-relative
# lines of the messages.
source "$3/tests/data/run_lib.sh"

printf 'x=1\n-->8\nx = = 2\n' | mkcart syntax.zk
runcart syntax.zk -frames 30
expect_line "** syntax error line 1 (tab 1)" "syntax error in tab 1"
expect_line "** x = = 2" "syntax error source line"
expect_line "** unexpected symbol near '='" "syntax error message"
expect_status 2 "syntax error"

printf 'a=1\nb=\nend\n' | mkcart eol.zk
runcart eol.zk -frames 30
expect_line "** unexpected end of line" "unexpected end of line"

printf 'function f()\n x=1\n' | mkcart unclosed.zk
runcart unclosed.zk -frames 30
expect_line "** unclosed function" "unclosed block"

printf 'function _init() end\n-->8\nlocal t=nil t.x=1\n' | mkcart runtime.zk
runcart runtime.zk -frames 30
expect_line "** runtime error line 1 tab 1" "runtime error in tab 1"
expect_line "** local t=nil t.x=1" "runtime error source line"
expect_line "** attempt to index local 't' (a nil value)" "runtime error message"

printf 'x=0\nfunction f()\n local a=nil\n return a.b+1\nend\nfunction _update()\n f()\nend\n' | mkcart trace.zk
runcart trace.zk -frames 30
expect_line "** runtime error line 4 tab 0" "traceback head"
expect_line "** in f line 4 (tab 0)" "traceback f"
expect_line "** in _update line 7 (tab 0)" "traceback _update"

printf 'assert(1==2)\n' | mkcart assert.zk
runcart assert.zk -frames 30
expect_line "** assertion failed!" "assert without message"

printf 'x=1\n' > "$tmp/code"
for i in $(seq 2730); do echo 'x=1'; done > "$tmp/code"
echo 'z=z' >> "$tmp/code"
mkcart large.zk < "$tmp/code"
runcart large.zk -frames 30
expect_line "** program too large" "token limit"
expect_line "** 8193 / 8192 tokens" "token limit count"
expect_status 2 "token limit"

mkcart oom.zk <<'CART'
t={}
function _update() for i=1,3000 do add(t,{i,i,i,i,i}) end end
CART
runcart oom.zk -frames 600
expect_line "** out of memory" "out of memory"

# A cart that never yields is cut by the budget and the step limit ends it.
mkcart spin.zk <<'CART'
while true do end
CART
runcart spin.zk -frames 60
expect_status 0 "never yielding cart"

finish
