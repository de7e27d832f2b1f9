// Test helper: a script machine with the base globals and the arithmetic
// API, running snippets and reading back results.
#pragma once
#include <cstdint>
#include <string>

#include "api/registry.h"
#include "script/interp.h"
#include "lauxlib.h"
#include "machine/machine.h"

struct lang_script {
  lua_State* L;
  zurkel_alloc_budget budget{0, 64u << 20};
  zurkel_machine* machine = nullptr;

  // Without a machine nothing is charged; with one, the script machine is
  // the machine's and the charges go to it.
  explicit lang_script(zurkel_machine* m = nullptr) : machine(m) {
    L = m ? zurkel_new_machine_state(m) : zurkel_new_state(&budget);
    if (m) m->L = L;
    zurkel_register_api(L, zk_lang_api);
  }
  ~lang_script() {
    if (machine) machine->L = nullptr;
    lua_close(L);
  }
  lang_script(const lang_script&) = delete;
  lang_script& operator=(const lang_script&) = delete;

  // Compiles and runs; returns "" or the error message (compile errors too).
  std::string run(const std::string& code) {
    lua_settop(L, 0);
    if (luaL_loadbuffer(L, code.data(), code.size(), "=test") != LUA_OK) return pop_msg();
    if (lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) return pop_msg();
    return "";
  }
  // Raw 16.16 value of an expression.
  int32_t num(const std::string& expr) {
    std::string err = run("return " + expr);
    if (!err.empty() || lua_type(L, 1) != LUA_TNUMBER) return INT32_MIN + 12345;
    return static_cast<int32_t>(lua_tonumberx(L, 1, nullptr));
  }
  // Raw 16.16 value returned by a chunk.
  int32_t val(const std::string& code) { return num("(function() " + code + " end)()"); }
  // Text of an expression's value (strings as they are, others as type).
  std::string str(const std::string& expr) {
    std::string err = run("return " + expr);
    if (!err.empty()) return "ERR:" + err;
    if (lua_type(L, 1) == LUA_TSTRING) return lua_tostring(L, 1);
    if (lua_type(L, 1) == LUA_TBOOLEAN) return lua_toboolean(L, 1) ? "true" : "false";
    return std::string("<") + luaL_typename(L, 1) + ">";
  }
  int results() { return lua_gettop(L); }

 private:
  std::string pop_msg() {
    const char* m = lua_tostring(L, -1);
    std::string s = m ? m : "<non-string error>";
    lua_pop(L, 1);
    return s;
  }
};

inline int32_t fix(double v) { return static_cast<int32_t>(v * 65536.0); }
