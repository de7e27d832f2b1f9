// Script functions of the runner: the ones the runtime header and the
// generated main loop call, the frame controls, and the system queries.
#include <cstring>

#include "api/registry.h"
#include "lang/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/machine.h"
#include "runner/cpu.h"
#include "runner/errors.h"
#include "runner/links.h"
#include "api/system_api.h"
#include "runner/runner.h"

// The buttons are polled once per frame, before the update (by the generated
// main loop's _update_buttons, or by the console before each slice). Polling
// again here would make every new press vanish before _update could see it.
int zk_flip(lua_State* L) {
  cpu_end_frame();
  if (pstate) pstate->hold_frame = false;
  return lua_yield(L, 0);
}

int zk_stop(lua_State* L) {
  if (pstate) {
    pstate->pending_command = 2;
    pstate->draw[DS_CAMERA_X] = 0;
    pstate->draw[DS_CAMERA_Y] = 0;
  }
  if (lua_gettop(L) > 0) prog_call_print(L);
  return lua_yield(L, 0);
}

int zk_run(lua_State* L) {
  if (!pstate) return 0;
  const char* params = lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER ? lua_tostring(L, 1) : "";
  zurkel_copy_cut(pstate->run_args, params, 1024);
  pstate->pending_command = 1;
  return 0;
}

int zk_holdframe(lua_State*) {
  if (pstate) pstate->hold_frame = true;
  return 0;
}

int zk__menuitem(lua_State* L) {
  int i = zk_arg_int(L, 1);
  if (i < 1 || i > 5) return 0;
  if (lua_type(L, 2) == LUA_TSTRING) zurkel_copy_cut(zrun.menu_labels[i], lua_tostring(L, 2), 16);
  else zrun.menu_labels[i][0] = 0;
  return 0;
}

int zk__get_menu_item_selected(lua_State* L) {
  int i = zk_arg_int(L, 1);
  if (i < 1 || i > 5) return 0;
  lua_pushboolean(L, zrun.menu_selected[i] != 0);
  zrun.menu_selected[i] = 0;
  return 1;
}

int zk__update_buttons(lua_State*) {
  zrun.time_counter++;
  prog_poll_buttons();
  return 0;
}

int zk__update_framerate(lua_State*) {
  update_frame_rate();
  return 0;
}

int zk__set_mainloop_exists(lua_State* L) {
  zrun.mainloop_exists = zk_arg_int(L, 1);
  return 0;
}

int zk__set_fps(lua_State* L) {
  cpu_set_fps(zk_arg_int(L, 1));
  return 0;
}

int zk__mark_cpu(lua_State* L) {
  cpu_mark(zk_arg_int(L, 1));
  return 0;
}

int zk__set_paused(lua_State* L) {
  int n = zk_arg_int(L, 1);
  zrun.paused_word = n;
  prog_set_audio_pause(n);
  return 0;
}

int zk__paused(lua_State*) {
  prog_fill_rect(45, 48, 82, 56, 1);
  prog_draw_text_centred("paused", 64, 50, 7);
  return 0;
}

// The language's assert, which also records the message it was given so
// the error report can show it; an assert without a message clears it.
int zk_assert(lua_State* L) {
  if (lua_toboolean(L, 1)) return lua_gettop(L);
  const char* message = luaL_optstring(L, 2, nullptr);
  zurkel_assert_message(message);
  return luaL_error(L, "%s", message ? message : "assertion failed!");
}

const zk_api_entry zk_runner_api[] = {
    {"assert", zk_assert},
    {"flip", zk_flip},
    {"stop", zk_stop},
    {"run", zk_run},
    {"holdframe", zk_holdframe},
    {"_menuitem", zk__menuitem},
    {"_get_menu_item_selected", zk__get_menu_item_selected},
    {"_update_buttons", zk__update_buttons},
    {"_update_framerate", zk__update_framerate},
    {"_set_mainloop_exists", zk__set_mainloop_exists},
    {"_set_fps", zk__set_fps},
    {"_mark_cpu", zk__mark_cpu},
    {"_set_paused", zk__set_paused},
    {"_paused", zk__paused},
    {"stat", zk_stat},
    {"time", zk_time},
    {"printh", zk_printh},
    {"extcmd", zk_extcmd},
    {"login", zk_login},
    {"logout", zk_logout},
    {"bbsreq", zk_bbsreq},
    {"scoresub", zk_scoresub},
    {nullptr, nullptr},
};
