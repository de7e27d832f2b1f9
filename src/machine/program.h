// The running program's state: what the runner sets when it starts and stops
// a program, and what the program's script functions read and change. Also
// the run chain, the carts a program loaded with a breadcrumb, to return to
// from the pause menu with the parameters each was running with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct zurkel_machine;

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

struct zurkel_program {
  bool program_started = false;      // set by the first successful run, never cleared
  char current_params[1025] = {};    // stat(6)
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
  bool typed_command = false;        // the program is a line typed at the prompt
  uint64_t cartdata_saved_ms = 0;    // when the slices last wrote dirty cart data
  // Cart files other than the loaded one: the one a program read last
  // (reload and cstore; "" none), and "|" + name of every file cstore wrote
  // this session.
  std::string other_cart_file;
  std::string cstore_files;
  int cstore_count = 0;
  std::vector<zurkel_run_chain_item> run_chain;  // at most ZURKEL_RUN_CHAIN_MAX
};

// Run chain.
void reset_run_chain(zurkel_machine* m);
// Remembers file and label with the current parameters (at most 2,047 entries).
void add_run_chain_item(zurkel_machine* m, const char* file, const char* label, int pending);
void pop_run_chain(zurkel_machine* m);
const char* get_run_chain_filename(const zurkel_machine* m);   // null when empty
const char* get_run_chain_label(const zurkel_machine* m);      // null when empty
const char* get_run_chain_param_str(const zurkel_machine* m);  // null when empty
int run_chain_cancel_pending(zurkel_machine* m);
void run_chain_confirm_pending(zurkel_machine* m);
