#!/usr/bin/env bash
# Every way a program ends with a console report, line for line, with the
# tab-relative lines of the messages, and the exit status of each.
# The first console line is the boot's empty line ("** ").
source "$3/tests/data/run_lib.sh"

# A syntax error on the first line of tab 1.
printf 'x=1\n-->8\nx = = 2\n' | mkcart syntax.zk
runcart syntax.zk -frames 30
expect_output "** 
** syntax error line 1 (tab 1)
** x = = 2
** unexpected symbol near '='" "syntax error in tab 1"
expect_status 2 "syntax error"

# "end" where a statement was still open, on a line without "end".
printf 'a=1\nb=\nend\n' | mkcart eol.zk
runcart eol.zk -frames 30
expect_output "** 
** syntax error line 2 (tab 0)
** b=
** unexpected end of line" "unexpected end of line"
expect_status 2 "unexpected end of line"

# ...but on a line that has "end" the parser's own words are kept.
printf 'x=1\n-->8\nx=1\nif x then y= end\n' | mkcart realend.zk
runcart realend.zk -frames 30
expect_line "** syntax error line 2 (tab 1)" "stray end: head"
expect_line "** unexpected symbol near 'end'" "stray end: message"

printf 'function f()\n x=1\n' | mkcart unclosed.zk
runcart unclosed.zk -frames 30
expect_line "** unclosed function" "unclosed block"
expect_no_line "** 'end' expected near <eof>" "unclosed block"
expect_status 2 "unclosed block"

# A runtime error on the first line of tab 1, at the top level.
printf 'function _init() end\n-->8\nlocal t=nil t.x=1\n' | mkcart runtime.zk
runcart runtime.zk -frames 30
expect_output "** 
** runtime error line 1 tab 1
** local t=nil t.x=1
** attempt to index local 't' (a nil value)" "runtime error in tab 1"
expect_status 2 "runtime error"

# The traceback names each function with its tab line.
printf 'x=0\n-->8\nfunction f()\n local a=nil\n return a.b+1\nend\n-->8\nfunction _update()\n f()\nend\n' | mkcart trace.zk
runcart trace.zk -frames 30
expect_output "** 
** runtime error line 3 tab 1
**  return a.b+1
** attempt to index local 'a' (a nil value)
** in f line 3 (tab 1)
** in _update line 2 (tab 2)" "traceback"

# assert: the message given is the error and is shown again as the
# assert message; without one, Lua's default text alone.
printf 'x=1\n-->8\nfunction g(t) return t.x end\n-->8\nfunction _update()\n assert(g({x=1})==1)\n assert(g({x=2})==1, "g gave "..g({x=2}))\nend\n' | mkcart assertmsg.zk
runcart assertmsg.zk -frames 30
expect_output "** 
** g gave 2
** g gave 2
** in _update line 3 (tab 2)" "assert with a message"
expect_status 2 "assert"

printf 'assert(1==2)\n' | mkcart assert.zk
runcart assert.zk -frames 30
expect_output "** 
** assertion failed!" "assert without message"

# A message over 254 characters is kept whole as the error, cut as the
# assert message.
printf 'm="" for i=1,30 do m=m.."0123456789" end\nassert(false, m)\n' | mkcart assertlong.zk
runcart assertlong.zk -frames 30
long="$(printf '0123456789%.0s' $(seq 30))"
expect_line "** $long" "long assert message as error"
expect_line "** ${long:0:254}" "long assert message cut to 254"

# An argument error raised inside an API function has no program line.
printf 'function _update()\n local s=sub(nil)\nend\n' | mkcart apierr.zk
runcart apierr.zk -frames 30
expect_output "** 
** bad argument #1 to 'sub' (string expected, got nil)
** in _update line 2 (tab 0)" "API argument error"

# A console-side error: an empty line, then the message; status 2.
printf 'cartdata("My_Game")\nfunction _update() end\n' | mkcart consoleerr.zk
runcart consoleerr.zk -frames 30
expect_output "** 
** 
** cart data id: bad char" "console-side error"
expect_status 2 "console-side error"

# A finalizer that fails ends the program with its message, not the host.
printf 'function _update()\n setmetatable({},{__gc=function() local x=nil+1 end})\nend\n' | mkcart gcerr.zk
runcart gcerr.zk -frames 30
expect_line "** error in __gc metamethod (attempt to perform arithmetic on a nil value)" "failing finalizer"
expect_status 2 "failing finalizer"
# A finalizer that never returns is stopped by the CPU budget.
printf 'function _update()\n setmetatable({},{__gc=function() while true do end end})\nend\n' | mkcart gcloop.zk
runcart gcloop.zk -frames 60
expect_line "** error in __gc metamethod (attempt to yield across a C-call boundary)" "endless finalizer"
expect_status 2 "endless finalizer"

# Size limits: 8,192 tokens run, 8,193 are refused before anything runs.
for i in $(seq 2730); do echo 'x=1'; done > "$tmp/code"
{ cat "$tmp/code"; echo 'stop()'; } | mkcart tokens8192.zk
runcart tokens8192.zk -frames 30
expect_status 0 "8,192 tokens run"
expect_output "** " "8,192 tokens run"
{ cat "$tmp/code"; echo 'x+=1'; } | mkcart tokens8193.zk
runcart tokens8193.zk -frames 30
expect_line "** program too large" "token limit"
expect_line "** 8193 / 8192 tokens" "token limit count"
expect_status 2 "token limit"

# Exit statuses of the other endings.
printf 'x=1\n' | mkcart ends.zk
runcart ends.zk
expect_status 0 "program that ends"
printf 'function _update() end\n' | mkcart forever.zk
runcart forever.zk -frames 20
expect_status 0 "-frames"
runcart missing.zk
expect_status 1 "cart that cannot be loaded"
expect_line "could not load $tmp/missing.zk" "cart that cannot be loaded"
printf 'function _update() stop() end\n' | mkcart stops.zk
runcart stops.zk -frames 30
expect_status 0 "stop()"

finish
