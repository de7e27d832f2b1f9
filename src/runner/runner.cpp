#include "runner/runner.h"

#include "base/startup_report.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/cartdata.h"
#include "api/registry.h"
#include "api/runner_api.h"
#include "audio/audio.h"
#include "base/debug.h"
#include "base/strings.h"
#include "cart/pipeline.h"
#include "gfx/printer.h"
#include "host/time.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "lang/fixed.h"
#include "script/interp.h"
#include "script/tabs.h"
#include "script/tokens.h"
#include "lauxlib.h"
#include "lstate.h"
#include "lua.h"
#include "machine/cart.h"
#include "machine/cpu.h"
#include "machine/heap.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "runner/errors.h"
#include "runner/program_text.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"

namespace {

int count_lines(const char* text) {
  int n = 1;
  for (const char* p = text; *p; p++) n += *p == '\n';
  return n;
}

void stop_all_sound() {
  cmusic_stop(0);
  brim_stop_all_sounds();
}

// A failed start ends the program the way a stop does, so a run requested
// by a running cart never leaves a machine with nothing to resume.
void refuse_start(zurkel_machine* m, int reason) {
  m->run.end_reason = reason;
  suspend_program(m);
}

void report_syntax_error(zurkel_machine* m, const char* text, const char* message) {
  m->draw[DS_PEN] = 6;
  char detail[1024];
  if (m->run.typed_command) {
    // A typed line has no tabs or program lines to point at.
    if (const char* said = extract_syntax_error(m, message, detail, sizeof detail)) zurkel_print_col(m, said, 6);
    return;
  }
  int last = zurkel_last_line_number;
  int first = last - 3;
  int lines = count_lines(text);
  if (first > lines + 1) first = lines + 1;
  int tab = 0;
  int tab_line = find_tab_line(first, &tab);
  // A line outside every tab (past the last, or before the first: a short
  // command that replaced the whole program) is shown as line 0 of tab 0.
  if (tab_line < 0) {
    tab_line = -1;
    tab = 0;
  }
  char line[128];
  std::snprintf(line, sizeof line, "syntax error line %d (tab %d)", tab_line + 1, tab);
  zurkel_print_col(m, line, 14);
  char source[1024];
  get_nth_line(text, last - 3, source, sizeof source);
  zurkel_print_col(m, source, 7);
  const char* said = extract_syntax_error(m, message, detail, sizeof detail);
  if (said) {
    if (std::strcmp(said, "unexpected symbol near 'end'") == 0 && !std::strstr(source, "end"))
      said = "unexpected end of line";
    zurkel_print_col(m, said, 6);
  }
  m->run.finished_notice = 1;
}

void report_runtime_error(zurkel_machine* m, lua_State* L, const char* message, bool traceback = true) {
  int line = zurkel_runtime_line;
  if (line > 2) {
    int tab = 0;
    int tab_line = find_tab_line(line - 3, &tab);
    char head[128];
    std::snprintf(head, sizeof head, "runtime error line %d tab %d", tab_line + 1, tab);
    zurkel_print_col(m, head, 14);
    char source[1024];
    zurkel_cart* c = get_loaded_cart(m);
    get_nth_line(c->code ? c->code : "", line - 3, source, sizeof source);
    zurkel_print_col(m, source, 7);
  }
  extract_runtime_error(m, message);
  // The interpreter's memory error is not printed as such; without a word
  // the cart would seem to end for no reason.
  if (std::strcmp(message, "not enough memory") == 0) zurkel_print_col(m, "out of memory", 6);
  if (m->fault.assert_message[0]) zurkel_print_col(m, m->fault.assert_message, 6);
  if (m->heap_refused) {
    m->heap_refused = 0;
  } else if (traceback) {
    print_traceback(m, L);
  }
}

std::string bbs_path() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("bbs/", path);
  return path;
}
}  // namespace

void add_c_functions(lua_State* L) {
  init_api_function_names();
  for (const zk_api_entry* const* t = zk_api_tables; *t; t++) {
    for (const zk_api_entry* e = *t; e->name; e++) {
      lua_register(L, e->name, e->fn);
      add_api_function_name(e->name);
    }
  }
}

void reset_lua_machine(zurkel_machine* m) {
  lua_State* old = m->L;
  m->gc_thread = nullptr;
  m->L = nullptr;
  if (old) lua_close(old);
  // A new machine has raised no error yet: an error from a host function
  // (which stores no line) must not show the old machine's last line.
  zurkel_runtime_line = 0;
  double t = brim_startup_now_ms();
  lua_State* L = zurkel_new_machine_state(m);
  if (L) {
    add_c_functions(L);
    m->gc_thread = lua_newthread(L);
    luaL_ref(L, LUA_REGISTRYINDEX);
  }
  m->L = L;
  brim_startup_part("interpreter", t);
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

void run_cart(zurkel_machine* m) {
  if (!m) return;
  zurkel_program& r = m->run;
  r.typed_command = false;
  // A restart (run(), "reset cart") replaces the program without stopping
  // it: data it changed since the last write-out is written now, before
  // the slot closes, or the new run would read the old file.
  if (m->cartdata_dirty) save_cdata(m);
  merge_loaded_cart_tabs(m);
  zurkel_copy_cut(r.current_params, m->run_args, 1024);
  m->run_args[0] = 0;
  r.cart_identity[0] = 0;
  r.devkit_notice_shown = false;
  r.finished_notice = 0;
  r.end_reason = ZK_END_NONE;
  derive_cart_identity(m->loaded.name, console_config.root_path, bbs_path().c_str(), r.cart_identity,
                       sizeof r.cart_identity);
  forget_last_other_file(m);
  reset_lua_machine(m);
  zurkel_reload_rom(m);
  cartdata_clear_id(m);
  for (int i = 0; i < 6; i++) {
    r.menu_labels[i][0] = 0;
    r.menu_selected[i] = 0;
  }
  zurkel_srand(brim_clock_seed());
  zurkel_cart* cart = get_loaded_cart(m);
  run_program_as(m, cart->code ? cart->code : "", true);
  stop_all_sound();
  for (int& fx : m->audio_fx) fx = 0;
  m->fps_target = 30;
  block_buttons();
}

bool run_program(zurkel_machine* m, const char* text) {
  return run_program_as(m, text, m && m->pending_command == 1);
}

bool run_program_as(zurkel_machine* m, const char* text, bool is_run) {
  if (!m) return false;
  if (!text) text = "";
  m->run.mainloop_exists = 0;
  m->run.paused_word = 0;
  zurkel_set_audio_pause(0);
  if (!m->run.program_started) clear_cstore_file_list(m);

  int chars = static_cast<int>(std::strlen(text));
  if (chars > ZURKEL_CODE_CHAR_LIMIT) {
    zurkel_print_col(m, "program exceeds char limit", 6);
    zurkel_print_2_col(m, "%d / %d chars\n", chars, ZURKEL_CODE_CHAR_LIMIT, 6);
    refuse_start(m, ZK_END_SIZE_LIMIT);
    return false;
  }
  zurkel_cart* cart = get_loaded_cart(m);
  int tokens = count_tokens(cart->code ? cart->code : "");
  // A typed line is not the cart: a cart over the limit must not lock the
  // prompt (it could not even load another one).
  if (tokens > ZURKEL_TOKEN_LIMIT && !m->run.typed_command) {
    zurkel_print_col(m, "program too large", 6);
    zurkel_print_2_col(m, "%d / %d tokens\n", tokens, ZURKEL_TOKEN_LIMIT, 6);
    refuse_start(m, ZK_END_SIZE_LIMIT);
    return false;
  }

  lua_State* L = m->L;
  if (!L) {
    zurkel_print_col(m, "out of memory", 6);
    refuse_start(m, ZK_END_OUT_OF_MEMORY);
    return false;
  }
  lua_reset_call_state_zurkel(L);

  const char* id = m->run.cart_identity;
  bool fixup = std::strcmp(id, "19488") == 0 || std::strcmp(id, "10388") == 0;
  std::vector<char> code(ZURKEL_LUA_CODE_BUFFER);
  char* buf = code.data();
  int len = m->run.typed_command ? assemble_typed_line(text, buf, ZURKEL_LUA_CODE_BUFFER)
                                  : assemble_program(text, fixup, buf, ZURKEL_LUA_CODE_BUFFER);
  if (len < 0) {
    // The assembled text (header, preprocessed code, tail) must fit the
    // code buffer; a cart whose expansion does not is refused like one over
    // the character limit.
    zurkel_print_col(m, "program exceeds char limit", 6);
    zurkel_print_2_col(m, "%d / %d chars\n", chars, ZURKEL_CODE_CHAR_LIMIT, 6);
    refuse_start(m, ZK_END_SIZE_LIMIT);
    return false;
  }

  m->heap_compiling = 1;
  int status = luaL_loadbuffer(L, buf, static_cast<size_t>(len), buf);
  m->heap_compiling = 0;
  m->code_allowance = 16 * tokens;

  if (status != LUA_OK) {
    const char* msg = lua_tostring(L, -1);
    std::string message = msg ? msg : "";
    lua_pop(L, 1);
    if (status == LUA_ERRMEM) {
      zurkel_print_col(m, "out of memory", 6);
      m->run.finished_notice = 1;
      refuse_start(m, ZK_END_OUT_OF_MEMORY);
      return false;
    }
    report_syntax_error(m, text, message.c_str());
    refuse_start(m, ZK_END_SYNTAX_ERROR);
    return false;
  }
  lua_setglobal(L, "_zk_program");
  block_buttons();
  m->run.oom_reported = false;
  if (is_run) reset_runtime_state(m);
  m->mode = 1;
  m->run.program_started = true;
  return true;
}

void suspend_program(zurkel_machine* m) {
  if (!m || m->reset_glitch) return;
  if (m->run.program_started) {
    stop_all_sound();
    m->run.paused_word = 0;
    zurkel_set_audio_pause(0);
    save_cdata(m);
    if (zurkel_peek(m, m->cart, 0x5F2E) != 1)
      for (int i = 0; i < 16; i++) m->draw[DS_SCREEN_PAL + i] = i;
    if (zurkel_peek(m, m->cart, 0x5F44) == 0)
      for (int& fx : m->audio_fx) fx = 0;
    if (m->run.finished_notice == 0 && !m->run.typed_command) m->run.finished_notice = 1;
  }
  m->run.typed_command = false;
  if (m->run.end_reason == ZK_END_NONE) m->run.end_reason = ZK_END_NORMAL;
  m->mode = 0;
  m->hold_frame = false;
  int32_t* d = m->draw;
  d[DS_CAMERA_X] = 0;
  d[DS_CAMERA_Y] = 0;
  d[DS_CLIP_LEFT] = 0;
  d[DS_CLIP_TOP] = 0;
  d[DS_CLIP_RIGHT] = 128;
  d[DS_CLIP_BOTTOM] = 128;
  if (m->screen) brim_reset_clip(m->screen);
  d[DS_CURSOR_X] = 0;
  if (d[DS_CURSOR_Y] < 0) d[DS_CURSOR_Y] = 0;
  if (d[DS_CURSOR_Y] > 120) d[DS_CURSOR_Y] = 120;
  brim_drain_keys();
  if (zopts.exec) m->host->quit();
}

void zurkel_show_runtime_error(zurkel_machine* m) {
  m->run.end_reason = ZK_END_RUNTIME_ERROR;
  suspend_program(m);
  reset_lua_machine(m);
  zurkel_print_col(m, "", 6);
  zurkel_print_col(m, m->fault.error_text, 6);
}

bool run_slice_section(zurkel_machine* m) {
  lua_State* L = m ? m->L : nullptr;
  if (!L) return false;
  m->run.section_count++;
  m->heap_over_budget = 0;

  std::string gc_error;
  if (!zurkel_heap_collect_for_slice(m, &gc_error)) {
    m->run.end_reason = ZK_END_OUT_OF_MEMORY;
    reset_lua_machine(m);
    suspend_program(m);
    zurkel_print_col(m, "out of memory", 6);
    return false;
  }
  if (!gc_error.empty() && m->mode == 1 && !m->reset_glitch) {
    // A failing finalizer ends the program like any runtime error; there
    // is no useful traceback (the program is only suspended).
    m->run.end_reason = ZK_END_RUNTIME_ERROR;
    suspend_program(m);
    report_runtime_error(m, L, gc_error.c_str(), false);
    return false;
  }

  if (m->mode == 1) {
    int before = lua_status(L);
    if (before != LUA_OK && before != LUA_YIELD) {
      // A machine that already failed has nothing left to resume.
      suspend_program(m);
      return false;
    }
    if (before != LUA_YIELD) {
      lua_settop(L, 0);
      lua_getglobal(L, "_zk_program");
    }
    cpu_clear_remainder(m);
    lua_sethook(L, instruction_limiter, LUA_MASKCOUNT, ZURKEL_HOOK_INSTRUCTIONS);
    int status = lua_resume(L, nullptr, 0);
    if (status == LUA_OK) {
      lua_settop(L, 0);
      suspend_program(m);
    } else if (status != LUA_YIELD && !m->reset_glitch) {
      const char* msg = lua_tostring(L, -1);
      std::string message = msg ? msg : "";
      bool oom = status == LUA_ERRMEM || message == "not enough memory";
      m->run.end_reason = oom ? ZK_END_OUT_OF_MEMORY : ZK_END_RUNTIME_ERROR;
      suspend_program(m);
      report_runtime_error(m, L, message.c_str());
    }
  }

  if (m->cartdata_dirty) {
    uint64_t now = host_ticks_ms();
    if (now - m->run.cartdata_saved_ms > 1000) {
      save_cdata(m);
      m->run.cartdata_saved_ms = now;
    }
  }
  return m->heap_over_budget != 0 && m->mode == 1;
}

void run_slice(zurkel_machine* m) {
  for (int i = 0; i < ZURKEL_MAX_SECTIONS; i++)
    if (!run_slice_section(m)) break;
}
