#include "api/system_api.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "api/frame_rate.h"
#include "api/gfx_api.h"
#include "api/registry.h"
#include "api/mouse.h"
#include "audio/audio.h"
#include "gfx/printer.h"
#include "gfx/video.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/heap.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "settings/options.h"

namespace {
int32_t whole(int v) { return static_cast<int32_t>(static_cast<uint32_t>(v) << 16); }

// Mouse queries answer only with devkit input on; the first answered read
// of a run started from a cart file shows the notice banner.
int32_t devkit_mouse(zurkel_machine* m, int what) {
  if (zurkel_peek(m, m->cart, 0x5F2D) != 1) return 0;
  bool named = (m->run.program_started && m->run.cart_identity[0]) || zopts.auto_load_fn[0] != 0;
  if (!m->run.devkit_notice_shown && named) {
    m->host->show_message("devkit mouse enabled", 2000);
    m->run.devkit_notice_shown = true;
  }
  return whole(zurkel_mouse_stat(what));
}

int32_t clock_field(bool utc, int field) {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (utc) gmtime_r(&now, &parts);
  else localtime_r(&now, &parts);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  int v[6];
  zurkel_parse_clock(text, v);
  return whole(v[field]);
}
}  // namespace

void zurkel_parse_clock(const char* text, int out[6]) {
  for (int i = 0; i < 6; i++) out[i] = 0;
  std::sscanf(text, "%d-%d-%d %d:%d:%d", &out[0], &out[1], &out[2], &out[3], &out[4], &out[5]);
}

int32_t zurkel_stat_value(zurkel_machine* m, int n) {
  switch (n) {
    case 0: return zurkel_heap_stat(m);
    case 1: return cycles_2_frame_capacity(m, m->cpu.frame_cycles);
    case 2: return cycles_2_frame_capacity(m, m->cpu.api_total);
    case 5: return whole(12);
    case 7: return whole(m->fps_target);
    case 8: return whole(m->cpu.fps_cap);
    case 9: return whole(brim_host_fps());
    case 10: return whole(m->cpu.penalty);
    default: break;
  }
  if (n >= 16 && n <= 26) return whole(zurkel_sound_stat(m, n));
  if (n >= 32 && n <= 36) return devkit_mouse(m, n - 32);
  if (n >= 80 && n <= 85) return clock_field(true, n - 80);
  if (n >= 90 && n <= 95) return clock_field(false, n - 90);
  return 0;
}

int zk_stat(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  int n = lua_gettop(L) >= 1 ? zk_arg_int(L, 1) : 2;
  if (n == 4) {
    const char* paste = m->host->paste_text();
    lua_pushstring(L, paste ? paste : "");
    return 1;
  }
  if (n == 6) {
    lua_pushstring(L, m->run.current_params);
    return 1;
  }
  int32_t v = zurkel_stat_value(m, n);
  zk_push_fix(L, v);
  spend_cpu(m, 16);
  return 1;
}

int zk_time(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  int64_t raw = static_cast<int64_t>(m->run.time_counter) * 65536 / 30;
  zk_push_fix(L, static_cast<int32_t>(raw));
  return 1;
}

// The text and a line break on standard output, flushed so that it shows
// while the cart runs. A file argument (printh(text, file)) is not
// supported: the text goes to standard output all the same.
int zk_printh(lua_State* L) {
  std::string text = lua_gettop(L) >= 1 ? zk_print_text(L) : std::string();
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return 0;
}

int zk_extcmd(lua_State* L) {
  (void)lua_tostring(L, 1);
  return 0;
}

int zk_login(lua_State* L) {
  zurkel_print_col(zk_machine(L), "login unavailable.", 6);
  zurkel_print_col(zk_machine(L), "please update zurkel!", 6);
  lua_pushnil(L);
  return 1;
}

int zk_logout(lua_State* L) {
  lua_pushnil(L);
  return 1;
}

int zk_bbsreq(lua_State* L) {
  lua_pushnil(L);
  return 1;
}

int zk_scoresub(lua_State* L) {
  lua_pushnil(L);
  zk_push_int(L, 0);
  return 2;
}

const zk_api_entry zk_system_api[] = {
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
