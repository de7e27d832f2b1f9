// The script machine: globals, error reporting, CPU hooks, machine reset,
// and the parts of Lua 5.2 that must keep working.
#include <gtest/gtest.h>

#include <string>

#include "lang/fixed.h"
#include "script/tabs.h"
#include "lualib.h"
#include "unit/lang_script.h"

TEST(LangInterp, OnlyTheDialectGlobalsExist) {
  lang_script s;
  for (const char* g : {"_G", "_VERSION", "string", "table", "math", "os", "io", "coroutine", "debug",
                        "package", "bit32", "print", "tostring", "tonumber", "ipairs", "next", "select",
                        "unpack", "rawget", "rawset", "rawequal", "rawlen", "pcall", "xpcall", "error",
                        "load", "loadstring", "dofile", "require", "collectgarbage"}) {
    lua_getglobal(s.L, g);
    EXPECT_TRUE(lua_isnil(s.L, -1)) << g;
    lua_pop(s.L, 1);
  }
  for (const char* g : {"pairs", "type", "assert", "setmetatable", "getmetatable", "cocreate", "coresume",
                        "costatus", "yield", "sub", "trace", "flr", "tostr", "tonum"}) {
    lua_getglobal(s.L, g);
    EXPECT_TRUE(lua_isfunction(s.L, -1)) << g;
    lua_pop(s.L, 1);
  }
  EXPECT_EQ(s.run("print(tostring(1))"), "attempt to call global 'tostring' (a nil value)");
}

TEST(LangInterp, StringsHaveNoMethods) {
  lang_script s;
  EXPECT_EQ(s.str("sub(\"hello\", 2, 3.9)"), "el");
  EXPECT_EQ(s.str("sub(\"hello\", -3)"), "llo");
  EXPECT_EQ(s.run("return (\"abc\"):sub(1, 1)"), "attempt to index constant 'abc' (a string value)");
  EXPECT_EQ(s.run("local s = 'abc' return s:sub(1, 1)"), "attempt to index local 's' (a string value)");
  lua_pushstring(s.L, "x");
  EXPECT_EQ(lua_getmetatable(s.L, -1), 0);
}

TEST(LangInterp, ArgumentErrorsHaveNoPrefix) {
  lang_script s;
  zurkel_runtime_line = 77;
  EXPECT_EQ(s.run("\n\nsub(nil)"), "bad argument #1 to 'sub' (string expected, got nil)");
  EXPECT_EQ(zurkel_runtime_line, 77);  // raised in a host function
  EXPECT_EQ(s.run("setmetatable(1, {})"), "bad argument #1 to 'setmetatable' (table expected, got number)");
  EXPECT_EQ(s.run("assert(false)"), "assertion failed!");
  EXPECT_EQ(s.run("assert(nil, 'boom')"), "boom");
  EXPECT_EQ(s.str("type(assert(3, 'x'))"), "number");
}

TEST(LangInterp, RuntimeErrorsRecordTheLine) {
  lang_script s;
  zurkel_runtime_line = 0;
  EXPECT_EQ(s.run("local a = 1\nlocal x\nlocal y = x + 1"),
            "attempt to perform arithmetic on local 'x' (a nil value)");
  EXPECT_EQ(zurkel_runtime_line, 3);
  EXPECT_EQ(s.run("\n\n\n\nlocal t = nil\nreturn t.x"), "attempt to index local 't' (a nil value)");
  EXPECT_EQ(zurkel_runtime_line, 6);
  EXPECT_EQ(s.run("local f = function()\n  return q .. 'a'\nend\nf()"),
            "attempt to concatenate global 'q' (a nil value)");
  EXPECT_EQ(zurkel_runtime_line, 2);
  EXPECT_EQ(s.run("local x = {} < 2"), "attempt to compare table with number");
}

TEST(LangInterp, WhereGivesPositionAndLine) {
  lang_script s;
  lua_register(s.L, "where1", [](lua_State* L) {
    luaL_where(L, 1);
    return 1;
  });
  lua_register(s.L, "where2", [](lua_State* L) {
    luaL_where(L, 2);
    return 1;
  });
  zurkel_runtime_line = 0;
  EXPECT_EQ(s.str("\n\nwhere1()"), "");  // a host function at level 1
  EXPECT_EQ(zurkel_runtime_line, 0);
  EXPECT_EQ(s.run("local function f()\n  local r = where2()\n  return r\nend\n\nx = f()"), "");
  EXPECT_EQ(s.str("x"), "test:6: ");
  EXPECT_EQ(zurkel_runtime_line, 6);
}

TEST(LangInterp, SyntaxErrorsKeepTheirForm) {
  lang_script s;
  zurkel_last_line_number = 0;
  EXPECT_EQ(s.run("local a = 1\nlocal b = 2\nx = = 3"), "test:3: unexpected symbol near '='");
  EXPECT_EQ(zurkel_last_line_number, 3);
  std::string locals = "local x0";
  for (int i = 1; i <= 200; i++) locals += ", x" + std::to_string(i);
  EXPECT_EQ(s.run(locals),
            "test:1: too many local variables (limit is 200) in main function near <eof>");
}

TEST(LangInterp, ParserLinesAreTabLines) {
  zurkel_code_tabs saved = code_tabs;
  code_tabs = zurkel_code_tabs{};
  code_tabs.text[0] = "1\n2\n3\n4\n5\n6\n7\n8";  // program lines 0-8 (with the separator)
  code_tabs.text[1] = "a\nb\nc\nd";
  lang_script s;
  // Interpreter line L is shown as (tab line of L - 3) + 1.
  std::string locals = "\n\n\n\nfunction f()\nlocal x0";
  for (int i = 1; i <= 200; i++) locals += ", x" + std::to_string(i);
  locals += "\nend";
  EXPECT_EQ(s.run(locals), "test:7: too many local variables (limit is 200) in function at line 3 near 'end'");
  EXPECT_EQ(s.run("\n\n\n\nfunction f()\n"), "test:6: 'end' expected (to close 'function' at line 3) near <eof>");
  EXPECT_EQ(s.run("\n\n\n\nbreak"), "test:5: <break> at line 3 not inside a loop");
  EXPECT_EQ(s.run("\n\n\n\ngoto nowhere"), "test:5: no visible label 'nowhere' for <goto> at line 3");
  EXPECT_EQ(s.run("\n\n\n\n::a::\n::a::"), "test:6: label 'a' already defined on line 3");
  EXPECT_EQ(s.run("\n\n\n\ngoto l\nlocal v\n::l:: print(v)"),
            "test:7: <goto l> at line 3 jumps into the scope of local 'v'");
  // Program line 12 is line 3 of tab 1 (tab 0 spans lines 0-8 and its separator).
  EXPECT_EQ(s.run(std::string(14, '\n') + "break"), "test:15: <break> at line 4 not inside a loop");
  // Past the last tab the line shows as 0.
  EXPECT_EQ(s.run(std::string(39, '\n') + "break"), "test:40: <break> at line 0 not inside a loop");
  code_tabs = saved;
}

TEST(LangInterp, TracebackLinesAreWholeNumbers) {
  lang_script s;
  std::string t = s.str("(function()\n\n  local function inner()\n    local t = trace() return t\n  end\n  local r = inner() return r\nend)()");
  EXPECT_NE(t.find("stack traceback:"), std::string::npos) << t;
  EXPECT_NE(t.find("test:4: in function 'inner'"), std::string::npos) << t;
  EXPECT_EQ(s.str("trace('msg')").rfind("msg\nstack traceback:", 0), 0u);
}

TEST(LangInterp, MessageFormatting) {
  lang_script s;
  lua_pushfstring(s.L, "n=%d f=%f", 12345678, 0x50007);
  EXPECT_STREQ(lua_tostring(s.L, -1), "n=12345678 f=5.0001");
  lua_pushfstring(s.L, "%d %d", -3, 0);
  EXPECT_STREQ(lua_tostring(s.L, -1), "-3 0");
}

TEST(LangInterp, Coroutines) {
  lang_script s;
  EXPECT_EQ(s.val("local co = cocreate(function() yield(1, 2) end) local t = {coresume(co)} "
                  "return #t + (t[1] and 100 or 0)"),
            fix(101));
  EXPECT_EQ(s.str("(function() local co = cocreate(function() end) coresume(co) "
                  "local ok, m = coresume(co) return tostr(ok) .. '|' .. m end)()"),
            "false|corolib: cannot resume dead coroutine");
  EXPECT_EQ(s.str("(function() local co = cocreate(function() local x = nil + 1 end) "
                  "local ok, m = coresume(co) local ok2, m2 = coresume(co) "
                  "return tostr(ok) .. '|' .. m .. '|' .. m2 .. '|' .. costatus(co) end)()"),
            "false|attempt to perform arithmetic on a nil value|cannot resume dead coroutine|dead");
  EXPECT_EQ(s.str("(function() local co co = cocreate(function() local ok, m = coresume(co) return m end) "
                  "local ok, m = coresume(co) return m end)()"),
            "cannot resume non-suspended coroutine");
  EXPECT_EQ(s.str("(function() local co co = cocreate(function() return costatus(co) end) "
                  "local a = costatus(co) local ok, b = coresume(co) return a .. b .. costatus(co) end)()"),
            "suspendedrunningdead");
  // Values passed in and returned; yield across nested calls.
  EXPECT_EQ(s.val("local function deep(n) if n == 0 then yield() return 0 end return 1 + deep(n - 1) end "
                  "local co = cocreate(function(a, b) return a + b + deep(50) end) "
                  "local ok1 = coresume(co, 3, 4) local ok2, r = coresume(co) "
                  "return r + (ok1 and ok2 and 1000 or 0)"),
            fix(1057));
  EXPECT_EQ(s.str("(function() local co = cocreate(function() yield() end) coresume(co) "
                  "return costatus(co) end)()"),
            "suspended");
  EXPECT_EQ(s.str("(function() local ok, m = coresume(cocreate(function() local t = {} t.x.y = 1 end)) "
                  "return m end)()"),
            "attempt to index field 'x' (a nil value)");
}

// A yield returns to the resumer without unwinding where nothing but the
// interpreter lies in between, and unwinds elsewhere: the same results from
// every kind of place it is called from.
TEST(LangInterp, YieldFromEveryKindOfCallSite) {
  // Each coroutine c is resumed until it ends; its last result is shown.
  const std::string finish = " local r repeat local ok, v = coresume(c) r = v until costatus(c) == 'dead' return tostr(r)";
  const struct {
    const char* code;
    const char* result;
  } cases[] = {
      {"local c = cocreate(yield) local a = tostr(coresume(c)) .. costatus(c) coresume(c) return a .. costatus(c) --",
       "truesuspendeddead"},
      {"local c = cocreate(function(a) local x = a * 2 yield() return x + 1, yield() end) coresume(c, 4)", "9"},
      {"local c = cocreate(function() local n = 0 for k in function(s, i) yield() if i < 3 then return i + 1 end end, "
       "nil, 0 do n = n + k end return n end)",
       "6"},
      {"local c = cocreate(function() local t = setmetatable({}, {__index = function(t, k) yield() return k * 2 end}) "
       "return t[4] + t[5] end)",
       "18"},
      {"local inner = cocreate(function() for i = 1, 3 do yield() end return 7 end) "
       "local c = cocreate(function(a) local s = a while costatus(inner) ~= 'dead' do "
       "local ok, v = coresume(inner) s = s + (v or 1) yield() end return s end) coresume(c, 10)",
       "20"},
  };
  for (const auto& t : cases) {
    lang_script s;
    EXPECT_EQ(s.str("(function() " + std::string(t.code) + finish + "\n end)()"), t.result) << t.code;
  }
}

TEST(LangInterp, ClosuresVarargsGoto) {
  lang_script s;
  EXPECT_EQ(s.val("local function counter() local n = 0 return function() n = n + 1 return n end end "
                  "local a, b = counter(), counter() a() a() b() return a() * 10 + b()"),
            fix(32));
  EXPECT_EQ(s.val("local fs = {} for i = 1, 3 do fs[i] = function() return i end end "
                  "return fs[1]() + fs[2]() * 10 + fs[3]() * 100"),
            fix(321));
  EXPECT_EQ(s.val("local function f(...) local t = {...} local a, b = ... return #t + a + b end "
                  "return f(10, 20, 30)"),
            fix(33));
  EXPECT_EQ(s.val("local function g(...) return ... end local a, b, c = g(1, 2) return (c == nil and 1 or 0) + a + b"),
            fix(4));
  EXPECT_EQ(s.val("local i = 0 ::top:: i = i + 1 if i < 5 then goto top end return i"), fix(5));
  EXPECT_EQ(s.val("local n = 0 for i = 1, 3 do for j = 1, 3 do if j == 2 then goto continue end n = n + 1 "
                  "::continue:: end end return n"),
            fix(6));
  EXPECT_EQ(s.val("local n = 0 while true do n = n + 1 if n > 9 then break end end return n"), fix(10));
  EXPECT_EQ(s.val("local n = 0 repeat local k = n n = n + 1 until k >= 4 return n"), fix(5));
}

TEST(LangInterp, Metatables) {
  lang_script s;
  EXPECT_EQ(s.val("local t = setmetatable({}, {__index = function(t, k) return k * 2 end}) return t[21]"),
            fix(42));
  EXPECT_EQ(s.val("local base = {x = 5} local t = setmetatable({}, {__index = base}) return t.x"), fix(5));
  EXPECT_EQ(s.val("local log = {} local t = setmetatable({}, {__newindex = function(t, k, v) log[k] = v end}) "
                  "t.a = 3 return (t.a == nil and 10 or 0) + log.a"),
            fix(13));
  EXPECT_EQ(s.val("local t = setmetatable({}, {__call = function(self, a, b) return a - b end}) return t(9, 4)"),
            fix(5));
  EXPECT_EQ(s.str("(function() local mt = {__eq = function() return true end} "
                  "local a, b = setmetatable({}, mt), setmetatable({}, mt) return tostr(a == b) end)()"),
            "true");
  EXPECT_EQ(s.str("(function() local mt = {__lt = function(a, b) return a.v < b.v end, "
                  "__le = function(a, b) return a.v <= b.v end} "
                  "local a, b = setmetatable({v = 1}, mt), setmetatable({v = 2}, mt) "
                  "return tostr(a < b) .. tostr(b <= a) end)()"),
            "truefalse");
  EXPECT_EQ(s.str("setmetatable({}, {__concat = function(a, b) return 'cat' end}) .. 'x'"), "cat");
  EXPECT_EQ(s.val("local t = setmetatable({}, {__pairs = function(t) local i = 0 "
                  "return function() i = i + 1 if i <= 3 then return i, i end end, t, nil end}) "
                  "local n = 0 for k, v in pairs(t) do n = n + v end return n"),
            fix(6));
  EXPECT_EQ(s.val("local t = setmetatable({}, {__add = function(a, b) return 7 end, __unm = function() return 2 end,"
                  " __len = function() return 11 end}) return (t + 1) + -t + #t"),
            fix(20));
  EXPECT_EQ(s.str("getmetatable(setmetatable({}, {__metatable = 'locked'}))"), "locked");
  EXPECT_EQ(s.run("setmetatable(setmetatable({}, {__metatable = 1}), {})"), "cannot change a protected metatable");
  EXPECT_EQ(s.str("type(getmetatable('abc'))"), "nil");
}

TEST(LangInterp, StringsAndLongStrings) {
  lang_script s;
  EXPECT_EQ(s.str("[[line1\nline2]]"), "line1\nline2");
  EXPECT_EQ(s.str("[==[a]]b]==]"), "a]]b");
  EXPECT_EQ(s.str("'a\\65\\x42\\z\n   c'"), "aABc");
  std::string big(100, 'x');
  EXPECT_EQ(s.str("'" + big + "' .. 1"), big + "1");
  EXPECT_EQ(s.str("'" + big + "' == '" + big.substr(1) + "x'"), "true");
  EXPECT_EQ(s.val("local n = 0 for k, v in pairs({a = 1, b = 2, [3] = 3}) do n = n + v end return n"), fix(6));
  EXPECT_EQ(s.str("type(nil) .. type(1) .. type('') .. type({}) .. type(print) .. type(cocreate(type))"),
            "nilnumberstringtablenilthread");
}

TEST(LangInterp, DeepRecursionIsAStackOverflow) {
  lang_script s;
  EXPECT_EQ(s.run("local function f(n) return 1 + f(n + 1) end return f(1)"), "stack overflow");
  EXPECT_EQ(s.val("local function f(n) if n == 0 then return 0 end return 1 + f(n - 1) end return f(5000)"),
            fix(5000));
  // Host-level recursion through metamethods ends in a clean error too.
  std::string m = s.run("local t = setmetatable({}, {}) getmetatable(t).__index = function(t, k) return t[k] end "
                        "return t.x");
  EXPECT_NE(m.find("stack overflow"), std::string::npos) << m;
}

TEST(LangInterp, HostileScriptsFailCleanly) {
  lang_script s;
  s.budget.limit = 8u << 20;
  EXPECT_EQ(s.run("local x = 'abcdefgh' for i = 1, 40 do x = x .. x end"), "not enough memory");
  EXPECT_EQ(s.run("local t = {} for i = 1, 20000 do t = {t} end"), "");
  std::string nested = "return " + std::string(5000, '{') + std::string(5000, '}');
  std::string m = s.run(nested);
  EXPECT_NE(m.find("(limit is 200)"), std::string::npos) << m;
  EXPECT_EQ(s.run("local t = {} setmetatable(t, t) t.__index = t return t.x"), "loop in gettable");
  EXPECT_EQ(s.run("local t = {} setmetatable(t, t) t.__newindex = t t.x = 1"), "loop in settable");
  EXPECT_EQ(s.run("local t = setmetatable({}, {}) getmetatable(t).__index = getmetatable(t) "
                  "setmetatable(getmetatable(t), getmetatable(t)) return t.y"),
            "loop in gettable");
  EXPECT_EQ(s.str("(function() local ok, m = coresume(cocreate(function() "
                  "local co = cocreate(function() local z = {} < 1 end) local a, b = coresume(co) yield() "
                  "local q = nil .. 'x' end)) return m end)()"),
            "<nil>");  // the first resume only yields
  EXPECT_EQ(s.str("(function() local depth = 0 local function nest() depth = depth + 1 "
                  "local ok, m = coresume(cocreate(nest)) return m end return nest() end)()"),
            "C stack overflow");
  // The machine stays usable afterwards.
  EXPECT_EQ(s.val("return 6 * 7"), fix(42));
}

static void yield_hook(lua_State* L, lua_Debug* ar) {
  if (ar->event == LUA_HOOKCOUNT) lua_yield(L, 0);
}

TEST(LangInterp, CountHookYieldsTheMainThread) {
  lang_script s;
  ASSERT_EQ(luaL_loadstring(s.L, "n = 0 for i = 1, 20000 do n = n + 1 end"), LUA_OK);
  lua_sethook(s.L, yield_hook, LUA_MASKCOUNT, 1024);
  int slices = 0, status;
  while ((status = lua_resume(s.L, nullptr, 0)) == LUA_YIELD) slices++;
  lua_sethook(s.L, nullptr, 0, 0);
  EXPECT_EQ(status, LUA_OK);
  EXPECT_GT(slices, 10);
  lua_getglobal(s.L, "n");
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(20000));
}

TEST(LangInterp, YieldOutsideCoroutineReturnsToTheHost) {
  lang_script s;
  ASSERT_EQ(luaL_loadstring(s.L, "a = 1 yield(5) a = 2 yield() a = 3"), LUA_OK);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_YIELD);
  EXPECT_EQ(lua_gettop(s.L), 0);  // no values
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_YIELD);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_OK);
  lua_getglobal(s.L, "a");
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(3));
}

TEST(LangInterp, SpendCpuShortensTheCountdown) {
  lang_script s;
  lua_sethook(s.L, yield_hook, LUA_MASKCOUNT, 1024);
  zurkel_soft_yield_count = 0;
  EXPECT_EQ(lua_get_cpu(s.L), 1024);
  EXPECT_EQ(lua_spend_cpu(s.L, 24), 1000);
  EXPECT_EQ(lua_spend_cpu(s.L, 5000), 1);
  EXPECT_EQ(lua_get_cpu(s.L), 1);
  EXPECT_EQ(lua_spend_cpu(s.L, 1), 1);  // never 0 or less
  lua_sethook(s.L, yield_hook, LUA_MASKCOUNT, 1024);
  lua_spend_cpu(s.L, 524);
  EXPECT_EQ(lua_zurkel_soft_yield(s.L), 500);
  EXPECT_EQ(zurkel_soft_yield_count, 500);
  EXPECT_EQ(lua_get_cpu(s.L), 1);
  EXPECT_EQ(lua_spend_cpu(s.L, 100), 400);  // restored, then charged
  EXPECT_EQ(zurkel_soft_yield_count, 0);
  lua_sethook(s.L, nullptr, 0, 0);
}

TEST(LangInterp, SoftYieldRunsTheHookAtTheNextInstruction) {
  lang_script s;
  static int hook_calls;
  hook_calls = 0;
  lua_sethook(
      s.L, [](lua_State* L, lua_Debug*) { hook_calls++, lua_yield(L, 0); }, LUA_MASKCOUNT, 100000);
  ASSERT_EQ(luaL_loadstring(s.L, "n = 0 for i = 1, 100 do n = n + 1 if i == 50 then soft() end end"), LUA_OK);
  lua_register(s.L, "soft", [](lua_State* L) {
    lua_zurkel_soft_yield(L);
    return 0;
  });
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_YIELD);
  EXPECT_EQ(hook_calls, 1);
  lua_getglobal(s.L, "n");
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(50));
  lua_pop(s.L, 1);
  lua_spend_cpu(s.L, 0);  // restores the countdown the soft yield took
  EXPECT_GT(lua_get_cpu(s.L), 1000);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_OK);
  lua_sethook(s.L, nullptr, 0, 0);
  zurkel_soft_yield_count = 0;
}

TEST(LangInterp, ResetCallStateAfterYieldAndError) {
  lang_script s;
  ASSERT_EQ(luaL_loadstring(s.L, "local function f() local x = 1 g = function() return x end yield() end f()"),
            LUA_OK);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_YIELD);
  lua_reset_call_state_zurkel(s.L);
  EXPECT_EQ(lua_status(s.L), LUA_OK);
  EXPECT_EQ(lua_gettop(s.L), 0);
  ASSERT_EQ(luaL_loadstring(s.L, "local a, b, c = 7, 8, 9 r = g()"), LUA_OK);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_OK);
  lua_getglobal(s.L, "r");
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(1));  // the closed upvalue kept its value
  lua_settop(s.L, 0);
  ASSERT_EQ(luaL_loadstring(s.L, "local t = nil return t.x"), LUA_OK);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_ERRRUN);
  lua_reset_call_state_zurkel(s.L);
  ASSERT_EQ(luaL_loadstring(s.L, "return 5"), LUA_OK);
  EXPECT_EQ(lua_resume(s.L, nullptr, 0), LUA_OK);
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(5));
}

TEST(LangInterp, MemoryLimitGivesNotEnoughMemory) {
  lang_script s;
  s.budget.limit = s.budget.used + (256u << 10);
  EXPECT_EQ(s.run("local t = {} for i = 1, 30000 do t[i] = {} end"), "not enough memory");
  s.budget.limit = 64u << 20;
  EXPECT_EQ(s.val("return 1 + 1"), fix(2));
}
