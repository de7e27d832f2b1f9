#include "script/interp.h"

#include <cstdlib>

#include "base/api_entry.h"
#include "lang/fixed.h"
#include "script/tabs.h"
#include "lauxlib.h"
#include "lualib.h"
#include "machine/cpu.h"
#include "machine/heap.h"
#include "machine/machine.h"

// The machine the arithmetic routines charge (their hook has no context).
static zurkel_machine* arithmetic_machine = nullptr;

static void charge_arithmetic(int cycles) { spend_cpu(arithmetic_machine, cycles); }

static void register_lib(lua_State* L, const luaL_Reg* lib) {
  for (; lib->name; lib++) {
    lua_pushcfunction(L, lib->func);
    lua_setglobal(L, lib->name);
  }
}

void zurkel_open_base(lua_State* L) {
  arithmetic_machine = zk_machine(L);
  zurkel_cpu_charge = charge_arithmetic;
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

static lua_State* new_state(lua_Alloc alloc, void* user) {
  lua_State* L = lua_newstate(alloc, user);
  if (L) zurkel_open_base(L);
  return L;
}

lua_State* zurkel_new_state(zurkel_alloc_budget* budget) { return new_state(zurkel_default_alloc, budget); }

lua_State* zurkel_new_machine_state(zurkel_machine* m) { return new_state(zurkel_lua_alloc, m); }
