// Script functions of the runner: the ones the runtime header and the
// generated main loop call, the frame controls, and the runtime state they
// share with the runner.
#include "api/runner_api.h"

#include <cstring>

#include "api/frame_rate.h"
#include "api/gfx_api.h"
#include "api/registry.h"
#include "api/system_api.h"
#include "audio/audio.h"
#include "base/strings.h"
#include "gfx/draw_state.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/fault.h"
#include "machine/machine.h"

void reset_runtime_state(zurkel_machine* m) {
  gfx_reset_draw_state(m);
  zurkel_assert_message(m, nullptr);
  m->run.section_count = 0;
  cpu_reset_penalty(m);
  m->run.time_counter = 0;
}

// The buttons are polled once per frame, before the update (by the generated
// main loop's _update_buttons, or by the console before each slice). Polling
// again here would make every new press vanish before _update could see it.
int zk_flip(lua_State* L) {
  // A flip that cannot yield fails (below) and must not clear the count, or
  // a loop calling it where it cannot yield would never run out of budget.
  zurkel_machine* m = cpu_can_yield(L) ? zk_machine(L) : nullptr;
  if (m) {
    cpu_end_frame(m);
    m->hold_frame = false;
  }
  return lua_yield(L, 0);
}

int zk_stop(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) {
    m->pending_command = 2;
    m->draw[DS_CAMERA_X] = 0;
    m->draw[DS_CAMERA_Y] = 0;
  }
  if (lua_gettop(L) > 0) zk_print_impl(L, true);
  return lua_yield(L, 0);
}

int zk_run(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  const char* params = lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER ? lua_tostring(L, 1) : "";
  zurkel_copy_cut(m->run_args, params, 1024);
  m->pending_command = 1;
  return 0;
}

int zk_holdframe(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) m->hold_frame = true;
  return 0;
}

int zk__menuitem(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  int i = zk_arg_int(L, 1);
  if (!m || i < 1 || i > 5) return 0;
  if (lua_type(L, 2) == LUA_TSTRING) zurkel_copy_cut(m->run.menu_labels[i], lua_tostring(L, 2), 16);
  else m->run.menu_labels[i][0] = 0;
  return 0;
}

int zk__get_menu_item_selected(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  int i = zk_arg_int(L, 1);
  if (!m || i < 1 || i > 5) return 0;
  lua_pushboolean(L, m->run.menu_selected[i] != 0);
  m->run.menu_selected[i] = 0;
  return 1;
}

int zk__update_buttons(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  m->run.time_counter++;
  m->host->poll_buttons(m);
  return 0;
}

int zk__update_framerate(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) update_frame_rate(m);
  return 0;
}

int zk__set_mainloop_exists(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) m->run.mainloop_exists = zk_arg_int(L, 1);
  return 0;
}

int zk__set_fps(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) cpu_set_fps(m, zk_arg_int(L, 1));
  return 0;
}

int zk__mark_cpu(lua_State* L) {
  if (zurkel_machine* m = zk_machine(L)) cpu_mark(m, zk_arg_int(L, 1));
  return 0;
}

int zk__set_paused(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  int n = zk_arg_int(L, 1);
  m->run.paused_word = n;
  zurkel_set_audio_pause(n);
  return 0;
}

int zk__paused(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m || !m->screen) return 0;
  brim_fill_rect(m->screen, 45, 48, 82, 56, 1);
  brim_draw_text_ex(m->screen, "paused", zurkel_console_font, 64, 50, 3, 7);
  return 0;
}

// The language's assert, which also records the message it was given so
// the error report can show it; an assert without a message clears it.
int zk_assert(lua_State* L) {
  if (lua_toboolean(L, 1)) return lua_gettop(L);
  const char* message = luaL_optstring(L, 2, nullptr);
  if (zurkel_machine* m = zk_machine(L)) zurkel_assert_message(m, message);
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
    {nullptr, nullptr},
};
