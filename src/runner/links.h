// The runner's calls into neighbouring subsystems (interpreter, tabs and
// tokens, drawing, input, sound, cartridge files, host). Each is a thin
// forwarder so the runner's own logic can be tested without the rest.
#pragma once
#include <cstdint>

struct lua_State;
struct zurkel_cart;

// --- interpreter
lua_State* prog_new_lua_state();            // allocator + base globals
void prog_close_lua_state(lua_State* L);
lua_State* prog_machine();                  // the one script machine or null
void prog_set_machine(lua_State* L);
int prog_runtime_line();
void prog_clear_runtime_line();                    // line of the last runtime error
int prog_last_line_number();                // last line the parser reached
void prog_reset_call_state(lua_State* L);
int prog_lua_spend_cpu(lua_State* L, int units);  // shortens the hook countdown

// --- code text
void prog_merge_code_from_tabs();
int prog_count_tokens(const char* code);
// Preprocesses src into out (cap bytes); false when it does not fit.
bool prog_preprocess(const char* src, char* out, int cap);
// 0-based line of the merged code -> line within its tab; -1 past tab 7.
int prog_find_tab_line(int line, int* tab);
void prog_add_api_function_name(const char* name);
void prog_init_api_function_names();

// --- cartridges
zurkel_cart* prog_loaded_cart();
const char* prog_loaded_cart_filename();    // "" when none
void prog_reload_rom();                     // ROM part of the loaded cart into the machine
void prog_forget_other_cart();
void prog_clear_cstore_list();
void prog_clear_cartdata_id();
void prog_save_cartdata();
bool prog_cartdata_dirty();

// --- drawing
void prog_reset_draw_state();               // draw-state part of reset_runtime_state
// Draws text with the console font; returns the y of the last line.
int prog_draw_console_text(const char* text, int x, int y, int flags, int colour);
void prog_fill_rect(int x0, int y0, int x1, int y1, int colour);

// --- input, sound, host
void prog_poll_buttons();
void prog_block_buttons();
void prog_drain_keypresses();
void prog_stop_all_sound();
void prog_set_audio_pause(int state);
int prog_sound_stat(int n);                 // stat(16..26)
void prog_seed_rng(uint32_t seed);
uint64_t prog_time_ms();
int prog_host_fps();
bool prog_window_active();
int prog_sleep_ms();                        // configured sleep for this frame
int prog_last_draw_ms();
void prog_show_message(const char* text, int ms);
void prog_set_quit();
void prog_open_io_pins();
void prog_reset_browser_animation();
int prog_mouse(int what);                   // 0 x, 1 y, 2 buttons, 3 wheel x, 4 wheel y
const char* prog_paste_buffer();            // null when none
int prog_peek(int addr);

// --- folders and modes (host)
const char* prog_root_path();               // cartridge folder, ends in "/"
const char* prog_bbs_path();                // board folder, ends in "/"
// Draws text with the console font centred on x in one colour.
void prog_draw_text_centred(const char* text, int x, int y, int colour);
// Calls the script-visible print with the arguments on the stack (stop).
void prog_call_print(lua_State* L);
bool prog_execute_mode();                   // -x: the process ends with the program
bool prog_command_line_cart();              // a cart was named on the command line
bool prog_host_framerate_control();         // console setting, on by default
uint32_t prog_clock_seed();                 // time of day + ms clock (or -seed)

// --- shell services (cartridge files, browser, pods)
// Loads a cart by name as the working cart (the loader tries its
// extensions and the carts mounted from data.pod); false on failure.
bool prog_load_working_cart(const char* name);
// Execute mode: the clipboard's hex PNG cart into "_clip.zk.png", loaded;
// code_len receives the code length.
bool prog_load_clipboard_cart(int* code_len);
// Execute mode: saves the loaded cart to path ("extension" is added by the
// caller); true on success.
bool prog_save_working_cart(const char* path);
// Saves the loaded cart to the clipboard as hex PNG text; 0 ok, 1 failed,
// and *blank_label is set when the cart has no label.
int prog_save_clipboard_cart(bool* blank_label);
void prog_set_loaded_cart_filename(const char* path);
bool prog_loaded_cart_unsaved();
int prog_compressed_code_size(const char* code);
void prog_open_folder(const char* path);
// Installs the demo carts; calls back with each name written.
void prog_install_demos(const char* folder, void (*each)(const char* name));
void prog_install_games();
void prog_set_disk_pause(int frames);
