#include "runner/runner.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "machine/heap.h"
#include "api/registry.h"
#include "lauxlib.h"
#include "lstate.h"
#include "lua.h"
#include "machine/cart.h"
#include "base/debug.h"
#include "machine/machine.h"
#include "runner/cpu.h"
#include "runner/errors.h"
#include "runner/links.h"
#include "runner/program_text.h"
#include "gfx/printer.h"

zurkel_runner zrun;

namespace {
std::vector<char> g_code_buffer(ZURKEL_LUA_CODE_BUFFER);
uint64_t g_last_cartdata_save = 0;


int count_lines(const char* text) {
  int n = 1;
  for (const char* p = text; *p; p++) n += *p == '\n';
  return n;
}

// A failed start ends the program the way a stop does, so a run requested
// by a running cart never leaves a machine with nothing to resume.
void refuse_start(int reason) {
  zrun.end_reason = reason;
  suspend_program();
}

void report_syntax_error(const char* text, const char* message) {
  pstate->draw[DS_PEN] = 6;
  int last = prog_last_line_number();
  int m = last - 3;
  int lines = count_lines(text);
  if (m > lines + 1) m = lines + 1;
  int tab = 0;
  int tab_line = prog_find_tab_line(m, &tab);
  char line[128];
  std::snprintf(line, sizeof line, "syntax error line %d (tab %d)", tab_line + 1, tab);
  zurkel_print_col(line, 14);
  char source[1024];
  get_nth_line(text, last - 3, source, sizeof source);
  zurkel_print_col(source, 7);
  char detail[1024];
  const char* said = extract_syntax_error(message, detail, sizeof detail);
  if (said) {
    if (std::strcmp(said, "unexpected symbol near 'end'") == 0 && !std::strstr(source, "end"))
      said = "unexpected end of line";
    zurkel_print_col(said, 6);
  }
  zrun.finished_notice = 1;
}

void report_runtime_error(lua_State* L, const char* message, bool traceback = true) {
  int line = prog_runtime_line();
  if (line > 2) {
    int tab = 0;
    int tab_line = prog_find_tab_line(line - 3, &tab);
    char head[128];
    std::snprintf(head, sizeof head, "runtime error line %d tab %d", tab_line + 1, tab);
    zurkel_print_col(head, 14);
    char source[1024];
    zurkel_cart* c = prog_loaded_cart();
    get_nth_line(c && c->code ? c->code : "", line - 3, source, sizeof source);
    zurkel_print_col(source, 7);
  }
  extract_runtime_error(message);
  if (zrun.assert_message[0]) zurkel_print_col(zrun.assert_message, 6);
  if (pstate->heap_refused) {
    pstate->heap_refused = 0;
  } else if (traceback) {
    print_traceback(L);
  }
}

// Collections run finalizers (__gc), which are script code and may fail;
// an error there, outside any protected call, would end the whole host.
// When the machine has objects with finalizers, a full collection runs
// first on a helper thread under protection (the main thread may be
// suspended mid-frame), repeated until one completes: each failure removes
// the finalizer that failed. The first failure is kept for the report.
lua_State* g_gc_thread = nullptr;
std::string g_gc_error;

int gc_collect(lua_State* L) {
  lua_gc(L, LUA_GCCOLLECT, 0);
  return 0;
}

bool finalizers_pending(lua_State* L) {
  global_State* g = G(L);
  return g->finobj != nullptr || g->tobefnz != nullptr;
}

void run_finalizers_protected(lua_State* L) {
  lua_State* T = g_gc_thread;
  if (!T || !finalizers_pending(L)) return;
  // Finalizers are script code under the CPU budget: one that never returns
  // is stopped by the limiter (it cannot yield here) and fails like an error.
  lua_sethook(T, instruction_limiter, LUA_MASKCOUNT, ZURKEL_HOOK_INSTRUCTIONS);
  for (int attempt = 0; attempt < 4096; attempt++) {
    lua_settop(T, 0);
    lua_pushcfunction(T, gc_collect);
    int status = lua_pcall(T, 0, 0, 0);
    if (status != LUA_OK && g_gc_error.empty()) {
      const char* m = lua_tostring(T, -1);
      g_gc_error = m ? m : "error in __gc metamethod";
    }
    lua_settop(T, 0);
    if (status == LUA_OK) return;
  }
}
}  // namespace

void zurkel_copy_cut(char* dst, const char* src, size_t keep) {
  size_t n = src ? std::strlen(src) : 0;
  if (n > keep) n = keep;
  if (n) std::memcpy(dst, src, n);
  dst[n] = 0;
}

void add_c_functions(lua_State* L) {
  prog_init_api_function_names();
  for (const zk_api_entry* const* t = zk_api_tables; *t; t++) {
    for (const zk_api_entry* e = *t; e->name; e++) {
      lua_register(L, e->name, e->fn);
      prog_add_api_function_name(e->name);
    }
  }
}

void reset_lua_machine() {
  lua_State* old = prog_machine();
  g_gc_thread = nullptr;
  prog_set_machine(nullptr);
  prog_close_lua_state(old);
  // A new machine has raised no error yet: an error from a host function
  // (which stores no line) must not show the old machine's last line.
  prog_clear_runtime_line();
  lua_State* L = prog_new_lua_state();
  if (L) {
    add_c_functions(L);
    g_gc_thread = lua_newthread(L);
    luaL_ref(L, LUA_REGISTRYINDEX);
  }
  prog_set_machine(L);
}

void reset_runtime_state() {
  prog_reset_draw_state();
  prog_open_io_pins();
  zurkel_assert_message(nullptr);
  zrun.section_count = 0;
  cpu_reset_penalty();
  zrun.time_counter = 0;
}

void derive_cart_identity(const char* filename, const char* root_path, const char* bbs_path,
                          char* out, int cap) {
  out[0] = 0;
  if (!filename || !*filename) return;
  size_t rl = root_path ? std::strlen(root_path) : 0;
  size_t bl = bbs_path ? std::strlen(bbs_path) : 0;
  if (rl && std::strncmp(filename, root_path, rl) == 0) {
    zurkel_copy_cut(out, filename + rl, cap - 1);
    return;
  }
  if (bl && std::strncmp(filename, bbs_path, bl) == 0) {
    const char* name = filename + bl;
    const char* slash = std::strrchr(name, '/');
    if (slash) name = slash + 1;
    const char* ext = std::strstr(name, ".zk");
    if (!ext) ext = name + std::strlen(name);
    const char* start = ext;
    while (start > name) {
      char c = start[-1];
      if (c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) start--;
      else break;
    }
    size_t n = static_cast<size_t>(ext - start);
    if (n > static_cast<size_t>(cap - 1)) n = cap - 1;
    std::memcpy(out, start, n);
    out[n] = 0;
    return;
  }
  zurkel_copy_cut(out, filename, cap - 1);
}

void run_cart() {
  if (!pstate) return;
  // A restart (run(), "reset cart") replaces the program without stopping
  // it: data it changed since the last write-out is written now, before
  // the slot closes, or the new run would read the old file.
  if (prog_cartdata_dirty()) prog_save_cartdata();
  prog_merge_code_from_tabs();
  zurkel_copy_cut(zrun.current_params, pstate->run_args, 1024);
  pstate->run_args[0] = 0;
  zrun.cart_identity[0] = 0;
  zrun.devkit_notice_shown = false;
  zrun.finished_notice = 0;
  zrun.end_reason = ZK_END_NONE;
  derive_cart_identity(prog_loaded_cart_filename(), prog_root_path(), prog_bbs_path(),
                       zrun.cart_identity, sizeof zrun.cart_identity);
  prog_forget_other_cart();
  reset_lua_machine();
  prog_reload_rom();
  prog_clear_cartdata_id();
  for (int i = 0; i < 6; i++) {
    zrun.menu_labels[i][0] = 0;
    zrun.menu_selected[i] = 0;
  }
  prog_seed_rng(prog_clock_seed());
  zurkel_cart* cart = prog_loaded_cart();
  run_program_as(cart && cart->code ? cart->code : "", true);
  prog_stop_all_sound();
  for (int& fx : pstate->audio_fx) fx = 0;
  pstate->fps_target = 30;
  prog_block_buttons();
}

bool run_program(const char* text) { return run_program_as(text, pstate && pstate->pending_command == 1); }

bool run_program_as(const char* text, bool is_run) {
  if (!pstate) return false;
  if (!text) text = "";
  zrun.mainloop_exists = 0;
  zrun.paused_word = 0;
  prog_set_audio_pause(0);
  if (!zrun.program_started) prog_clear_cstore_list();

  int chars = static_cast<int>(std::strlen(text));
  if (chars > ZURKEL_CODE_CHAR_LIMIT) {
    zurkel_print_col("program exceeds char limit", 6);
    zurkel_print_2_col("%d / %d chars\n", chars, ZURKEL_CODE_CHAR_LIMIT, 6);
    refuse_start(ZK_END_SIZE_LIMIT);
    return false;
  }
  zurkel_cart* cart = prog_loaded_cart();
  int tokens = prog_count_tokens(cart && cart->code ? cart->code : "");
  if (tokens > ZURKEL_TOKEN_LIMIT) {
    zurkel_print_col("program too large", 6);
    zurkel_print_2_col("%d / %d tokens\n", tokens, ZURKEL_TOKEN_LIMIT, 6);
    refuse_start(ZK_END_SIZE_LIMIT);
    return false;
  }

  lua_State* L = prog_machine();
  if (!L) {
    zurkel_print_col("out of memory", 6);
    refuse_start(ZK_END_OUT_OF_MEMORY);
    return false;
  }
  prog_reset_call_state(L);

  bool fixup = std::strcmp(zrun.cart_identity, "19488") == 0 || std::strcmp(zrun.cart_identity, "10388") == 0;
  char* buf = g_code_buffer.data();
  int len = assemble_program(text, fixup, buf, ZURKEL_LUA_CODE_BUFFER);
  if (len < 0) {
    // The assembled text (header, preprocessed code, tail) must fit the
    // code buffer; a cart whose expansion does not is refused like one over
    // the character limit.
    zurkel_print_col("program exceeds char limit", 6);
    zurkel_print_2_col("%d / %d chars\n", chars, ZURKEL_CODE_CHAR_LIMIT, 6);
    refuse_start(ZK_END_SIZE_LIMIT);
    return false;
  }

  pstate->heap_compiling = 1;
  int status = luaL_loadbuffer(L, buf, static_cast<size_t>(len), buf);
  pstate->heap_compiling = 0;
  pstate->code_allowance = 16 * tokens;

  if (status != LUA_OK) {
    const char* msg = lua_tostring(L, -1);
    std::string message = msg ? msg : "";
    lua_pop(L, 1);
    if (status == LUA_ERRMEM) {
      zurkel_print_col("out of memory", 6);
      zrun.finished_notice = 1;
      refuse_start(ZK_END_OUT_OF_MEMORY);
      return false;
    }
    report_syntax_error(text, message.c_str());
    refuse_start(ZK_END_SYNTAX_ERROR);
    return false;
  }
  lua_setglobal(L, "_zk_program");
  prog_block_buttons();
  zrun.oom_reported = false;
  if (is_run) reset_runtime_state();
  pstate->mode = 1;
  zrun.program_started = true;
  return true;
}

void suspend_program() {
  if (!pstate || pstate->reset_glitch) return;
  if (zrun.program_started) {
    prog_stop_all_sound();
    zrun.paused_word = 0;
    prog_set_audio_pause(0);
    prog_save_cartdata();
    if (prog_peek(0x5F2E) != 1)
      for (int i = 0; i < 16; i++) pstate->draw[DS_SCREEN_PAL + i] = i;
    if (prog_peek(0x5F44) == 0)
      for (int& fx : pstate->audio_fx) fx = 0;
    prog_reset_browser_animation();
    if (zrun.finished_notice == 0) zrun.finished_notice = 1;
  }
  if (zrun.end_reason == ZK_END_NONE) zrun.end_reason = ZK_END_NORMAL;
  pstate->mode = 0;
  pstate->hold_frame = false;
  int32_t* d = pstate->draw;
  d[DS_CAMERA_X] = 0;
  d[DS_CAMERA_Y] = 0;
  d[DS_CLIP_LEFT] = 0;
  d[DS_CLIP_TOP] = 0;
  d[DS_CLIP_RIGHT] = 128;
  d[DS_CLIP_BOTTOM] = 128;
  if (pstate->screen) brim_reset_clip(pstate->screen);
  d[DS_CURSOR_X] = 0;
  if (d[DS_CURSOR_Y] < 0) d[DS_CURSOR_Y] = 0;
  if (d[DS_CURSOR_Y] > 120) d[DS_CURSOR_Y] = 120;
  prog_drain_keypresses();
  if (prog_execute_mode()) prog_set_quit();
}

void zurkel_show_runtime_error() {
  zrun.end_reason = ZK_END_RUNTIME_ERROR;
  suspend_program();
  reset_lua_machine();
  zurkel_print_col("", 6);
  zurkel_print_col(zrun.error_text, 6);
}

bool run_slice_section() {
  lua_State* L = prog_machine();
  if (!pstate || !L) return false;
  zrun.section_count++;
  pstate->heap_over_budget = 0;

  g_gc_error.clear();
  run_finalizers_protected(L);
  if (!zurkel_heap_collect_for_slice(L)) {
    zrun.end_reason = ZK_END_OUT_OF_MEMORY;
    reset_lua_machine();
    suspend_program();
    zurkel_print_col("out of memory", 6);
    return false;
  }
  if (!g_gc_error.empty() && pstate->mode == 1 && !pstate->reset_glitch) {
    // A failing finalizer ends the program like any runtime error; there
    // is no useful traceback (the program is only suspended).
    std::string message = g_gc_error;
    zrun.end_reason = ZK_END_RUNTIME_ERROR;
    suspend_program();
    report_runtime_error(L, message.c_str(), false);
    return false;
  }

  if (pstate->mode == 1) {
    int before = lua_status(L);
    if (before != LUA_OK && before != LUA_YIELD) {
      // A machine that already failed has nothing left to resume.
      suspend_program();
      return false;
    }
    if (before != LUA_YIELD) {
      lua_settop(L, 0);
      lua_getglobal(L, "_zk_program");
    }
    cpu_clear_remainder();
    lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, ZURKEL_HOOK_INSTRUCTIONS);
    int status = lua_resume(L, nullptr, 0);
    if (status == LUA_OK) {
      lua_settop(L, 0);
      suspend_program();
    } else if (status != LUA_YIELD && !pstate->reset_glitch) {
      const char* msg = lua_tostring(L, -1);
      std::string message = msg ? msg : "";
      bool oom = status == LUA_ERRMEM || message == "not enough memory";
      zrun.end_reason = oom ? ZK_END_OUT_OF_MEMORY : ZK_END_RUNTIME_ERROR;
      suspend_program();
      report_runtime_error(L, message.c_str());
    }
  }

  if (prog_cartdata_dirty()) {
    uint64_t now = prog_time_ms();
    if (now - g_last_cartdata_save > 1000) {
      prog_save_cartdata();
      g_last_cartdata_save = now;
    }
  }
  return pstate->heap_over_budget != 0 && pstate->mode == 1;
}

void run_slice() {
  for (int i = 0; i < ZURKEL_MAX_SECTIONS; i++)
    if (!run_slice_section()) break;
}
