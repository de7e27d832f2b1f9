// Forwarders to neighbouring subsystems. Where a neighbour's routine is not
// part of the build yet, the stand-in here does the least that keeps the
// runner honest (documented per function).
#include "runner/links.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "audio/audio.h"
#include "cart/compress.h"
#include "cart/pipeline.h"
#include "base/bitmap.h"
#include "gfx/draw_state.h"
#include "gfx/font.h"
#include "api/gfx_api.h"
#include "gfx/print.h"
#include "gfx/video.h"
#include "lang/interp.h"
#include "lang/preprocess.h"
#include "lang/tabs.h"
#include "lang/tokens.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"
#include "machine/cart.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include "cart/embedded_carts.h"
#include "host/time.h"
#include "api/cartdata.h"
#include "machine/heap.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "api/mouse.h"
#include "console/console_links.h"
#include "console/main_loop.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"

// ---------------------------------------------------------------- interpreter

lua_State* prog_new_lua_state() {
  lua_State* L = lua_newstate(zurkel_lua_alloc, nullptr);
  if (!L) return nullptr;
  zurkel_open_base(L);
  // Parser messages show their line numbers within the code tab.
  zurkel_tab_line_mapper = find_tab_line;
  return L;
}

void prog_close_lua_state(lua_State* L) {
  if (L) lua_close(L);
}

lua_State* prog_machine() { return L0; }
void prog_set_machine(lua_State* L) { L0 = L; }
int prog_runtime_line() { return zurkel_runtime_line; }
void prog_clear_runtime_line() { zurkel_runtime_line = 0; }
int prog_last_line_number() { return zurkel_last_line_number; }
void prog_reset_call_state(lua_State* L) { lua_reset_call_state_zurkel(L); }
int prog_lua_spend_cpu(lua_State* L, int units) { return lua_spend_cpu(L, units); }

// ---------------------------------------------------------------- code text

void prog_merge_code_from_tabs() {
  // Nothing edits the tabs in this system, so they are taken from the
  // loaded cart's code first: the merge then only normalises it (trailing
  // empty tabs, text after an eighth separator).
  zurkel_cart* c = prog_loaded_cart();
  if (!c || !c->code) return;
  split_code_to_tabs(c);
  merge_code_from_tabs(c);
}

int prog_count_tokens(const char* code) { return count_tokens(code); }

bool prog_preprocess(const char* src, char* out, int cap) {
  std::string text;
  if (!zurkel_preprocess(src, text)) return false;
  if (static_cast<int>(text.size()) + 1 > cap) return false;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

int prog_find_tab_line(int line, int* tab) { return find_tab_line(line, tab); }

void prog_add_api_function_name(const char* name) { add_api_function_name(name); }
void prog_init_api_function_names() { init_api_function_names(); }

// ---------------------------------------------------------------- cartridges

zurkel_cart* prog_loaded_cart() {
  if (!loaded_cart) prepare_loaded_cart(brim_create_zurkel_cart(), "");
  return loaded_cart;
}
const char* prog_loaded_cart_filename() { return loaded_cart_name; }
void prog_reload_rom() {
  // The ROM part of the loaded cart becomes the machine's (and the live cart's).
  if (!pstate || !loaded_cart) return;
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    zurkel_poke(pstate, pstate->cart, a, zurkel_peek(nullptr, loaded_cart, a));
}
void prog_forget_other_cart() { forget_last_other_file(); }
void prog_clear_cstore_list() { clear_cstore_file_list(); }
void prog_clear_cartdata_id() { cartdata_clear_id(); }
void prog_save_cartdata() { save_cdata(); }
bool prog_cartdata_dirty() { return pstate && pstate->cartdata_dirty; }

// ---------------------------------------------------------------- drawing

void prog_reset_draw_state() {
  if (pstate) gfx_reset_draw_state(pstate);
}

int prog_draw_console_text(const char* text, int x, int y, int flags, int colour) {
  if (!pstate || !pstate->screen) return y;
  return brim_draw_text_ex(pstate->screen, text, zurkel_console_font, x, y, flags,
                           static_cast<uint32_t>(colour));
}

void prog_fill_rect(int x0, int y0, int x1, int y1, int colour) {
  brim_bitmap* s = pstate ? pstate->screen : nullptr;
  if (!s) return;
  for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < s->h; y++)
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < s->w; x++) s->line[y][x] = static_cast<uint8_t>(colour);
}

// ---------------------------------------------------------------- input, sound, host

void prog_poll_buttons() { zurkel_poll_buttons(); }
void prog_block_buttons() { block_buttons(); }
void prog_drain_keypresses() { brim_drain_keys(); }
void prog_stop_all_sound() {
  cmusic_stop(0);
  brim_stop_all_sounds();
}
void prog_set_audio_pause(int state) { link_set_audio_pause(state); }
int prog_sound_stat(int n) { return zurkel_sound_stat(n); }
void prog_seed_rng(uint32_t seed) { link_seed_machine_rng(seed); }
uint64_t prog_time_ms() { return brim_get_time(); }
// Under the virtual clock the host is taken to keep up at 60 (the loop
// runs one iteration per update period, so its measured rate would only
// echo the target and a dropped rate could never come back).
int prog_host_fps() { return zopts.fast ? 60 : brim_get_fps(); }
bool prog_window_active() { return brim_window_active(); }
int prog_sleep_ms() { return brim_configured_sleep_ms(); }
int prog_last_draw_ms() { return zcon.last_draw_ms; }
void prog_show_message(const char* text, int ms) { show_message(text, ms); }
void prog_set_quit() { brim_quit = 1; }
void prog_open_io_pins() {}
void prog_reset_browser_animation() {}
int prog_mouse(int what) { return zurkel_mouse_stat(what); }
const char* prog_paste_buffer() { return zurkel_paste_buffer(); }

int prog_peek(int addr) { return pstate ? zurkel_peek(pstate, pstate->cart, addr) : 0; }

const char* prog_root_path() { return console_config.root_path; }

const char* prog_bbs_path() {
  static char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("bbs/", path);
  return path;
}

bool prog_execute_mode() { return zopts.exec != 0; }
bool prog_command_line_cart() { return zopts.auto_load_fn[0] != 0; }
bool prog_host_framerate_control() { return console_config.host_framerate_control != 0; }

uint32_t prog_clock_seed() {
  if (zopts.seed_given) return zopts.seed;
  return static_cast<uint32_t>(std::time(nullptr)) + static_cast<uint32_t>(prog_time_ms());
}

void prog_draw_text_centred(const char* text, int x, int y, int colour) {
  prog_draw_console_text(text, x, y, 3, colour);
}

void prog_call_print(lua_State* L) { zk_print_impl(L, true); }

// ---------------------------------------------------------------- shell services

bool prog_load_working_cart(const char* name) { return load_working_cart(name) == 0; }
bool prog_load_clipboard_cart(int* code_len) { return load_cart_from_clipboard(code_len); }
bool prog_save_working_cart(const char* path) { return save_working_cart(path) == 0; }
int prog_save_clipboard_cart(bool* blank_label) { return save_cart_to_clipboard(blank_label); }
void prog_set_loaded_cart_filename(const char* path) {
  std::snprintf(loaded_cart_name, sizeof loaded_cart_name, "%s", path ? path : "");
}
bool prog_loaded_cart_unsaved() { return false; }
int prog_compressed_code_size(const char* code) { return compressed_code_size(code ? code : ""); }

void prog_open_folder(const char* path) {
  // The desktop's folder opener, started without a shell so the path is
  // passed as one argument whatever it contains.
  if (cconfig.headless || !path) return;
  pid_t pid = 0;
  char opener[] = "xdg-open";
  char* argv[] = {opener, const_cast<char*>(path), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&pid, opener, &actions, nullptr, argv, environ) == 0) {
    int status = 0;
    waitpid(pid, &status, WNOHANG);
  }
  posix_spawn_file_actions_destroy(&actions);
}

void prog_install_demos(const char* folder, void (*each)(const char*)) {
  install_demo_carts(folder, each);
}
void prog_install_games() {}
void prog_set_disk_pause(int frames) {
  if (pstate) pstate->disk_pause = frames;
}
