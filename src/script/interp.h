// The script machine: the patched Lua 5.2 interpreter with 16.16 numbers.
// lua.h declares the additions of the embedding interface:
//   lua_spend_cpu(L, n), lua_get_cpu(L), lua_zurkel_soft_yield(L),
//   lua_reset_call_state_zurkel(L),
//   zurkel_runtime_line, zurkel_last_line_number, zurkel_soft_yield_count,
//   zurkel_tab_line_mapper (point it at find_tab_line).
#pragma once
#include <cstddef>

#include "lua.h"

struct zurkel_machine;

// Registers the library globals a cartridge sees: pairs, type, assert,
// setmetatable, getmetatable, cocreate, coresume, costatus, yield, sub,
// trace. No library tables, no string metatable. Also routes the parser's
// message line numbers through find_tab_line (the code tabs) and the
// charges of the arithmetic routines (power, square root), which carry no
// script machine, to the machine of L (the last one opened; none for a
// script machine of another allocator).
void zurkel_open_base(lua_State* L);

// Registers every {name, fn} of a script API table as a global.
struct zk_api_entry;
void zurkel_register_api(lua_State* L, const zk_api_entry* table);

// A plain allocator with the interpreter's allocator signature. With a
// non-null ud (a zurkel_alloc_budget) it refuses blocks beyond the limit,
// which the interpreter reports as "not enough memory".
struct zurkel_alloc_budget {
  size_t used;
  size_t limit;
};
void* zurkel_default_alloc(void* ud, void* ptr, size_t osize, size_t nsize);

// A new machine with the default allocator and the base globals.
lua_State* zurkel_new_state(zurkel_alloc_budget* budget = nullptr);
// The script machine of machine m: its allocator counts into m (machine/heap.h).
lua_State* zurkel_new_machine_state(zurkel_machine* m);
