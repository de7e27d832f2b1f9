// Reading and returning script numbers in API entry points. Every argument
// reads as a 16.16 value; a missing or non-numeric argument reads as 0.
#pragma once
#include <cstdint>

struct lua_State;

int32_t zk_arg_fix(lua_State* L, int idx);   // raw 16.16 value
int zk_arg_int(lua_State* L, int idx);       // integer part (arithmetic >> 16)
bool zk_arg_present(lua_State* L, int idx);  // an argument exists at idx (even nil)
bool zk_arg_truthy(lua_State* L, int idx);   // anything but nil and false
void zk_push_fix(lua_State* L, int32_t raw);
void zk_push_int(lua_State* L, int value);   // pushes value << 16
