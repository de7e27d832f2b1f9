// Script entry points of the graphics functions (table zk_gfx_api).
#pragma once
#include <string>

struct lua_State;

// print's body, shared with stop: `stopping` wraps long lines.
int zk_print_impl(lua_State* L, bool stopping);
// The text print shows for its first argument (numbers as tostr writes them).
std::string zk_print_text(lua_State* L);

int zk_camera(lua_State* L);
int zk_clip(lua_State* L);
int zk_cls(lua_State* L);
int zk_color(lua_State* L);
int zk_cursor(lua_State* L);
int zk_pal(lua_State* L);
int zk_palt(lua_State* L);
int zk_fillp(lua_State* L);
int zk_pset(lua_State* L);
int zk_pget(lua_State* L);
int zk_line(lua_State* L);
int zk_rect(lua_State* L);
int zk_rectfill(lua_State* L);
int zk_circ(lua_State* L);
int zk_circfill(lua_State* L);
int zk_spr(lua_State* L);
int zk_sspr(lua_State* L);
int zk_mapdraw(lua_State* L);
int zk_sget(lua_State* L);
int zk_sset(lua_State* L);
int zk_mget(lua_State* L);
int zk_mset(lua_State* L);
int zk_fget(lua_State* L);
int zk_fset(lua_State* L);
int zk_print(lua_State* L);
