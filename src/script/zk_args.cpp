#include "script/zk_args.h"

#include <type_traits>

#include "lua.h"

// lua_Number is the 16.16 type once the number patch is applied; the
// conversions stay correct whichever type the interpreter was built with.
int32_t zk_arg_fix(lua_State* L, int idx) {
  int ok = 0;
  lua_Number n = lua_tonumberx(L, idx, &ok);
  if (!ok) return 0;
  if constexpr (std::is_floating_point_v<lua_Number>)
    return static_cast<int32_t>(static_cast<int64_t>(n * 65536.0));
  else
    return static_cast<int32_t>(n);
}

int zk_arg_int(lua_State* L, int idx) { return zk_arg_fix(L, idx) >> 16; }

bool zk_arg_present(lua_State* L, int idx) { return lua_gettop(L) >= idx; }

bool zk_arg_truthy(lua_State* L, int idx) { return lua_toboolean(L, idx) != 0; }

void zk_push_fix(lua_State* L, int32_t raw) {
  if constexpr (std::is_floating_point_v<lua_Number>)
    lua_pushnumber(L, raw / 65536.0);
  else
    lua_pushnumber(L, static_cast<lua_Number>(raw));
}

void zk_push_int(lua_State* L, int value) {
  zk_push_fix(L, static_cast<int32_t>(static_cast<uint32_t>(value) << 16));
}
