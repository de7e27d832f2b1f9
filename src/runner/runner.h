// The program runner: turns the loaded cart into a running program, resumes
// it once per update step and reports every way it can end.
#pragma once
#include <cstdint>

#include "script/tokens_limits.h"  // ZURKEL_TOKEN_LIMIT

struct lua_State;
struct zurkel_machine;

constexpr int ZURKEL_CODE_CHAR_LIMIT = 65536;
constexpr int ZURKEL_LUA_CODE_BUFFER = 81920;
constexpr int ZURKEL_MAX_SECTIONS = 1024;       // slice sections per update step

// pending_command 1: start the loaded cart.
void run_cart(zurkel_machine* m);
// Assemble, compile and arm a program; true when armed.
bool run_program(zurkel_machine* m, const char* text);
// As run_program; a run (is_run) also resets the draw state and counters.
// run_cart always starts its program this way, whatever pending_command holds.
bool run_program_as(zurkel_machine* m, const char* text, bool is_run);
// One update step of the running program.
void run_slice(zurkel_machine* m);
// One resume with the collection policy in front; true when the section
// ended under memory pressure (the caller runs another).
bool run_slice_section(zurkel_machine* m);
// Stop the program and return to the console.
void suspend_program(zurkel_machine* m);
// Close the script machine if any and create a new one with the API.
void reset_lua_machine(zurkel_machine* m);
// Register every API table as globals and in the API name list.
void add_c_functions(lua_State* L);

// pending_command 4, carried out by the main loop: stop, fresh machine,
// an empty line and the error text.
void zurkel_show_runtime_error(zurkel_machine* m);

// The cart identity from a file name, given the cart and board folders.
void derive_cart_identity(const char* filename, const char* root_path, const char* bbs_path,
                          char* out, int cap);

