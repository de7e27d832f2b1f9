// zklua [-budget] FILE [-e CODE]...: runs a script on the console's
// interpreter (16.16 numbers, the dialect's globals and the arithmetic API)
// and prints runtime errors with their line. `print(...)` writes its
// arguments as tostr would, separated by spaces, one line per call (this
// tool's own helper). -budget runs the code under the console's CPU budget:
// the runner's count hook, and a yield whenever a frame's cycles are spent,
// resumed at once (no frames, drawing or collection in between), which
// shows what the hook alone costs.
#include <cstdio>
#include <cstring>
#include <string>

#include "api/registry.h"
#include "lang/fixed.h"
#include "script/interp.h"
#include "lauxlib.h"
#include "machine/cpu.h"
#include "machine/machine.h"

static bool g_budget = false;

static int tool_print(lua_State* L) {
  int n = lua_gettop(L);
  for (int i = 1; i <= n; i++) {
    if (i > 1) std::fputc(' ', stdout);
    switch (lua_type(L, i)) {
      case LUA_TNUMBER:
      case LUA_TSTRING:
        std::fputs(lua_tostring(L, i), stdout);
        break;
      case LUA_TBOOLEAN:
        std::fputs(lua_toboolean(L, i) ? "true" : "false", stdout);
        break;
      default:
        std::printf("[%s]", luaL_typename(L, i));
    }
  }
  std::fputc('\n', stdout);
  return 0;
}

static int run_chunk(lua_State* L, int status) {
  if (status == LUA_OK) {
    // The program runs as the resumed main thread, as in the console;
    // a top-level yield just continues.
    for (;;) {
      if (g_budget) {  // as the runner does before each slice
        cpu_clear_remainder(zk_machine(L));
        lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, ZURKEL_HOOK_INSTRUCTIONS);
      }
      status = lua_resume(L, nullptr, 0);
      if (status != LUA_YIELD) break;
      lua_settop(L, 0);
    }
  }
  if (status != LUA_OK) {
    const char* msg = lua_tostring(L, -1);
    std::fprintf(stderr, "error (line %d): %s\n", zurkel_runtime_line, msg ? msg : "?");
    return 1;
  }
  lua_settop(L, 0);
  return 0;
}

int main(int argc, char** argv) {
  const char* usage =
      "usage: zklua [-budget] FILE | -e CODE ...\n"
      "  runs a script on the console's interpreter (16.16 numbers, the arithmetic API)\n"
      "  -budget   under the console's CPU budget (count hook and yields)\n"
      "  -e CODE   runs CODE\n";
  if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc < 2) {
    std::fputs(usage, stderr);
    return 2;
  }
  // Under -budget the program runs on a machine, whose CPU counters the
  // count hook charges as in the console.
  static zurkel_machine machine;
  for (int i = 1; i < argc; i++)
    if (std::strcmp(argv[i], "-budget") == 0) g_budget = true;
  lua_State* L0 = g_budget ? zurkel_new_machine_state(&machine) : zurkel_new_state();
  if (!L0) return 1;
  for (const zk_api_entry* const* t = zk_api_tables; *t; t++) zurkel_register_api(L0, *t);
  lua_register(L0, "print", tool_print);
  int rc = 0;
  for (int i = 1; i < argc && rc == 0; i++) {
    if (std::strcmp(argv[i], "-budget") == 0) {
      g_budget = true;
    } else if (std::strcmp(argv[i], "-e") == 0 && i + 1 < argc) {
      const char* code = argv[++i];
      rc = run_chunk(L0, luaL_loadbuffer(L0, code, std::strlen(code), "=(command line)"));
    } else {
      rc = run_chunk(L0, luaL_loadfile(L0, argv[i]));
    }
  }
  lua_close(L0);
  return rc;
}
