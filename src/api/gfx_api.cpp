// Script API entry points of this subsystem, registered by the runner. Each
// reads its arguments, calls the C++ drawing routine and charges its cost.
#include "api/gfx_api.h"

#include <optional>
#include <string>

#include "api/registry.h"
#include "gfx/draw_state.h"
#include "gfx/print.h"
#include "gfx/shapes.h"
#include "gfx/sprites.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/machine.h"
#include "machine/cpu.h"

namespace {

// The machine a drawing call acts on: none without a screen.
zurkel_machine* machine(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  return m && m->screen ? m : nullptr;
}

int nargs(lua_State* L) { return lua_gettop(L); }

std::optional<int> colour_arg(lua_State* L, int idx) {
  if (nargs(L) >= idx) return zk_arg_int(L, idx);
  return std::nullopt;
}

void charge(zurkel_machine* m, int cost) {
  if (cost != GFX_NO_CHARGE) spend_cpu(m, cost);
}

}  // namespace

int zk_camera(lua_State* L) {
  if (auto* m = machine(L)) gfx_camera(m, zk_arg_int(L, 1), zk_arg_int(L, 2));
  return 0;
}

int zk_clip(lua_State* L) {
  if (auto* m = machine(L)) {
    gfx_clip(m, nargs(L) < 4, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), zk_arg_int(L, 4));
    spend_cpu(m, 16);
  }
  return 0;
}

int zk_cls(lua_State* L) {
  if (auto* m = machine(L)) {
    gfx_cls(m, zk_arg_int(L, 1));
    spend_cpu(m, 1024);
  }
  return 0;
}

int zk_color(lua_State* L) {
  if (auto* m = machine(L)) gfx_color(m, zk_arg_int(L, 1));
  return 0;
}

int zk_cursor(lua_State* L) {
  if (auto* m = machine(L)) gfx_cursor(m, zk_arg_int(L, 1), zk_arg_int(L, 2));
  return 0;
}

int zk_pal(lua_State* L) {
  auto* m = machine(L);
  if (!m) return 0;
  if (nargs(L) < 2)
    gfx_pal_reset(m);
  else
    gfx_pal(m, zk_arg_int(L, 1), zk_arg_int(L, 2), nargs(L) >= 3 ? zk_arg_int(L, 3) : 0);
  return 0;
}

int zk_palt(lua_State* L) {
  auto* m = machine(L);
  if (!m) return 0;
  if (nargs(L) < 2)
    gfx_palt_reset(m);
  else
    gfx_palt(m, zk_arg_int(L, 1), zk_arg_truthy(L, 2));
  return 0;
}

int zk_fillp(lua_State* L) {
  if (auto* m = machine(L))
    gfx_fillp(m, nargs(L) >= 1 ? std::optional<int32_t>(zk_arg_fix(L, 1)) : std::nullopt);
  return 0;
}

int zk_pset(lua_State* L) {
  auto* m = machine(L);
  if (m && nargs(L) >= 2) gfx_pset(m, zk_arg_int(L, 1), zk_arg_int(L, 2), colour_arg(L, 3));
  return 0;
}

int zk_pget(lua_State* L) {
  auto* m = machine(L);
  zk_push_int(L, (m && nargs(L) >= 2) ? gfx_pget(m, zk_arg_int(L, 1), zk_arg_int(L, 2)) : 0);
  return 1;
}

int zk_line(lua_State* L) {
  if (auto* m = machine(L))
    charge(m, gfx_line(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), zk_arg_int(L, 4),
                    colour_arg(L, 5)));
  return 0;
}

int zk_rect(lua_State* L) {
  if (auto* m = machine(L))
    charge(m, gfx_rect(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), zk_arg_int(L, 4),
                    colour_arg(L, 5)));
  return 0;
}

int zk_rectfill(lua_State* L) {
  if (auto* m = machine(L))
    charge(m, gfx_rectfill(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), zk_arg_int(L, 4),
                        colour_arg(L, 5)));
  return 0;
}

// r: 4 with exactly two arguments; a nil third argument reads as 0.
static int radius_arg(lua_State* L) { return nargs(L) == 2 ? 4 : zk_arg_int(L, 3); }

int zk_circ(lua_State* L) {
  auto* m = machine(L);
  if (m && nargs(L) >= 2)
    charge(m, gfx_circ(m, zk_arg_int(L, 1), zk_arg_int(L, 2), radius_arg(L), colour_arg(L, 4)));
  return 0;
}

int zk_circfill(lua_State* L) {
  auto* m = machine(L);
  if (m && nargs(L) >= 2)
    charge(m, gfx_circfill(m, zk_arg_int(L, 1), zk_arg_int(L, 2), radius_arg(L), colour_arg(L, 4)));
  return 0;
}

int zk_spr(lua_State* L) {
  auto* m = machine(L);
  if (!m) return 0;
  int n = nargs(L);
  int w = 8, h = 8;
  bool fx = false, fy = false;
  if (n > 3) {
    w = zk_arg_fix(L, 4) >> 13;
    h = zk_arg_fix(L, 5) >> 13;
    fx = n >= 6 && zk_arg_truthy(L, 6);
    fy = n >= 7 && zk_arg_truthy(L, 7);
  }
  charge(m, gfx_spr(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), w, h, fx, fy));
  return 0;
}

int zk_sspr(lua_State* L) {
  auto* m = machine(L);
  if (!m) return 0;
  int n = nargs(L);
  int sw = zk_arg_int(L, 3), sh = zk_arg_int(L, 4);
  int dw = sw, dh = sh;
  if (n > 6) {
    dw = zk_arg_int(L, 7);
    dh = zk_arg_int(L, 8);
  }
  bool fx = n >= 9 && zk_arg_truthy(L, 9);
  bool fy = n >= 10 && zk_arg_truthy(L, 10);
  charge(m, gfx_sspr(m, zk_arg_int(L, 1), zk_arg_int(L, 2), sw, sh, zk_arg_int(L, 5), zk_arg_int(L, 6),
                  dw, dh, fx, fy));
  return 0;
}

int zk_mapdraw(lua_State* L) {
  auto* m = machine(L);
  if (!m) return 0;
  int cw = 128, ch = 32, layer = 0;
  if (nargs(L) > 4) {
    cw = zk_arg_int(L, 5);
    ch = zk_arg_int(L, 6);
    layer = zk_arg_int(L, 7);
  }
  charge(m, gfx_map(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3), zk_arg_int(L, 4), cw, ch,
                 layer));
  return 0;
}

int zk_sget(lua_State* L) {
  auto* m = machine(L);
  zk_push_int(L, m ? gfx_sget(m, zk_arg_int(L, 1), zk_arg_int(L, 2)) : 0);
  return 1;
}

int zk_sset(lua_State* L) {
  if (auto* m = machine(L)) gfx_sset(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3));
  return 0;
}

int zk_mget(lua_State* L) {
  auto* m = machine(L);
  zk_push_int(L, m ? gfx_mget(m, zk_arg_int(L, 1), zk_arg_int(L, 2)) : 0);
  return 1;
}

int zk_mset(lua_State* L) {
  if (auto* m = machine(L)) gfx_mset(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_int(L, 3));
  return 0;
}

int zk_fget(lua_State* L) {
  auto* m = machine(L);
  int n = nargs(L);
  if (n == 0) return 0;
  if (n == 1) {
    zk_push_int(L, m ? gfx_fget(m, zk_arg_int(L, 1)) : 0);
  } else {
    lua_pushboolean(L, m && gfx_fget_bit(m, zk_arg_int(L, 1), zk_arg_int(L, 2)));
  }
  return 1;
}

int zk_fset(lua_State* L) {
  auto* m = machine(L);
  int n = nargs(L);
  if (!m || n < 2) return 0;
  if (n == 2)
    gfx_fset(m, zk_arg_int(L, 1), zk_arg_int(L, 2));
  else
    gfx_fset_bit(m, zk_arg_int(L, 1), zk_arg_int(L, 2), zk_arg_truthy(L, 3));
  return 0;
}

std::string zk_print_text(lua_State* L) {
  switch (lua_type(L, 1)) {
    case LUA_TNUMBER:
    case LUA_TSTRING: {
      lua_pushvalue(L, 1);  // converting a number in place must not touch the argument
      size_t len = 0;
      const char* s = lua_tolstring(L, -1, &len);
      std::string out = s ? std::string(s, len) : std::string();
      lua_pop(L, 1);
      return out;
    }
    case LUA_TBOOLEAN:
      return lua_toboolean(L, 1) ? "true" : "false";
    default:
      return std::string("[") + luaL_typename(L, 1) + "]";
  }
}

int zk_print(lua_State* L) { return zk_print_impl(L, false); }

int zk_print_impl(lua_State* L, bool stopping) {
  auto* m = machine(L);
  int n = nargs(L);
  if (!m || n == 0) return 0;
  std::string text = zk_print_text(L);
  gfx_print_args a;
  a.nargs = n;
  a.x = zk_arg_int(L, 2);
  a.y = zk_arg_int(L, 3);
  a.c = zk_arg_int(L, 4);
  a.stopping = stopping;
  spend_cpu(m, gfx_print(m, text.c_str(), a));
  return 0;
}

const zk_api_entry zk_gfx_api[] = {
    {"camera", zk_camera},     {"clip", zk_clip},         {"cls", zk_cls},
    {"color", zk_color},       {"cursor", zk_cursor},     {"pal", zk_pal},
    {"palt", zk_palt},         {"fillp", zk_fillp},       {"pset", zk_pset},
    {"pget", zk_pget},         {"line", zk_line},         {"rect", zk_rect},
    {"rectfill", zk_rectfill}, {"circ", zk_circ},         {"circfill", zk_circfill},
    {"spr", zk_spr},           {"sspr", zk_sspr},         {"map", zk_mapdraw},
    {"mapdraw", zk_mapdraw},   {"sget", zk_sget},         {"sset", zk_sset},
    {"mget", zk_mget},         {"mset", zk_mset},         {"fget", zk_fget},
    {"fset", zk_fset},         {"print", zk_print},       {nullptr, nullptr},
};
