#include "lang/interp.h"

#include <cstdlib>

#include "api/registry.h"
#include "lang/fixed.h"
#include "lang/tabs.h"
#include "lauxlib.h"
#include "lualib.h"
#include "runner/cpu.h"

static void register_lib(lua_State* L, const luaL_Reg* lib) {
  for (; lib->name; lib++) {
    lua_pushcfunction(L, lib->func);
    lua_setglobal(L, lib->name);
  }
}

void zurkel_open_base(lua_State* L) {
  zurkel_cpu_charge = spend_cpu;
  // Line numbers inside parser messages are shown as lines of the code tabs.
  zurkel_tab_line_mapper = find_tab_line;
  register_lib(L, zurkel_base_lib);
  register_lib(L, zurkel_coroutine_lib);
  register_lib(L, zurkel_string_lib);
  register_lib(L, zurkel_debug_lib);
}

void zurkel_register_api(lua_State* L, const zk_api_entry* table) {
  for (; table->name; table++) {
    lua_pushcfunction(L, table->fn);
    lua_setglobal(L, table->name);
  }
}

void* zurkel_default_alloc(void* ud, void* ptr, size_t osize, size_t nsize) {
  auto* budget = static_cast<zurkel_alloc_budget*>(ud);
  // osize is the old block's size only when ptr is set.
  size_t old = ptr ? osize : 0;
  if (nsize == 0) {
    std::free(ptr);
    if (budget) budget->used -= old;
    return nullptr;
  }
  if (budget && nsize > old && budget->used - old + nsize > budget->limit) return nullptr;
  void* p = std::realloc(ptr, nsize);
  if (p && budget) budget->used = budget->used - old + nsize;
  return p;
}

lua_State* zurkel_new_state(zurkel_alloc_budget* budget) {
  lua_State* L = lua_newstate(zurkel_default_alloc, budget);
  if (L) zurkel_open_base(L);
  return L;
}
