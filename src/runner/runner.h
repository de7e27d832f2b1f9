// The program runner: turns the loaded cart into a running program, resumes
// it once per update step and reports every way it can end.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lang/tokens_limits.h"  // ZURKEL_TOKEN_LIMIT

struct lua_State;

constexpr int ZURKEL_CODE_CHAR_LIMIT = 65536;
constexpr int ZURKEL_LUA_CODE_BUFFER = 81920;
constexpr int ZURKEL_MAX_SECTIONS = 1024;       // slice sections per update step
constexpr int ZURKEL_RUN_CHAIN_MAX = 2047;

// Why the last program ended (read by the host for exit statuses).
enum zurkel_end_reason {
  ZK_END_NONE = 0,         // still running or never run
  ZK_END_NORMAL,           // finished, stop(), or a stop request
  ZK_END_SYNTAX_ERROR,     // failed to compile
  ZK_END_SIZE_LIMIT,       // refused: too many characters or tokens
  ZK_END_RUNTIME_ERROR,    // a script or console-side runtime error
  ZK_END_OUT_OF_MEMORY,    // the heap stayed over budget after collections
};

struct zurkel_run_chain_item {
  char file[256];
  char label[32];
  char params[1025];
  int pending;
};

struct zurkel_runner {
  bool program_started = false;      // set by the first successful run, never cleared
  char current_params[1025] = {};    // stat(6)
  char error_text[512] = {};         // pending console-side runtime error
  char assert_message[256] = {};     // at most 254 characters kept
  char cart_identity[1024] = {};     // board id, path under root_path, or full path
  char menu_labels[6][64] = {};      // slots 1-5 set by menuitem; 0 unused
  uint8_t menu_selected[6] = {};     // set by the pause menu, cleared when read
  int finished_notice = 0;           // 1 stopped / failed to compile, 2 exit to splore
  int mainloop_exists = 0;           // 0 none, 1 own _mainloop, 2 generated loop
  int time_counter = 0;              // _update_buttons calls since reset
  int section_count = 0;             // every slice section
  int paused_word = 0;               // set by _set_paused
  bool devkit_notice_shown = false;  // "devkit mouse enabled" shown this run
  bool oom_reported = false;         // out-of-memory report mark
  int end_reason = ZK_END_NONE;
  zurkel_run_chain_item* run_chain = nullptr;  // ZURKEL_RUN_CHAIN_MAX entries
  int run_chain_items = 0;
};

extern zurkel_runner zrun;

// pending_command 1: start the loaded cart.
void run_cart();
// Assemble, compile and arm a program; true when armed.
bool run_program(const char* text);
// As run_program; a run (is_run) also resets the draw state and counters.
// run_cart always starts its program this way, whatever pending_command holds.
bool run_program_as(const char* text, bool is_run);
// One update step of the running program.
void run_slice();
// One resume with the collection policy in front; true when the section
// ended under memory pressure (the caller runs another).
bool run_slice_section();
// Stop the program and return to the console.
void suspend_program();
// Draw state, counters and the assert message back to their start values.
void reset_runtime_state();
// Close the script machine if any and create a new one with the API.
void reset_lua_machine();
// Register every API table as globals and in the API name list.
void add_c_functions(lua_State* L);

// pending_command 4, carried out by the main loop: stop, fresh machine,
// an empty line and the error text.
void zurkel_show_runtime_error();
// The pending console-side error text.
const char* zurkel_runtime_error_text();

// Run chain.
void reset_run_chain();
void add_run_chain_item(const char* file, const char* label, int pending);
void pop_run_chain();
const char* get_run_chain_filename();   // null when empty
const char* get_run_chain_label();      // null when empty
const char* get_run_chain_param_str();  // null when empty
int run_chain_cancel_pending();
void run_chain_confirm_pending();

// The cart identity from a file name, given the cart and board folders.
void derive_cart_identity(const char* filename, const char* root_path, const char* bbs_path,
                          char* out, int cap);

// Copies at most keep characters of src (null reads as "") into dst and
// ends it with a zero; dst holds keep + 1 bytes.
void zurkel_copy_cut(char* dst, const char* src, size_t keep);
