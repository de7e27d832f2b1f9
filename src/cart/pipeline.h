// The cartridge load/save pipeline: finds a cart under its name variants in
// either format, upgrades it, makes it the machine's loaded cart
// (machine/loaded_cart.h) with its file name and hash, and saves it back with size checks, name
// completion and backups. Also the quick save/load keys, the clipboard form,
// and the partial reads and writes of other cart files behind reload and
// cstore.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/cart.h"

struct zurkel_machine;

// 0 when some variant of name loads (it is then the loaded cart), else 1.
// Tried in order, each as PNG then text: name, its completed form
// (inject_zk_extention), the completed form + ".png", name + ".png". A
// relative name is looked for in the cartridge folder plus the current
// folder, then as given (the virtual disk of embedded carts included).
int load_working_cart(zurkel_machine* m, const char* name);
// load() from a running cart: the name is taken in the cartridge folder and
// the current folder, then beside the cart named on the command line, never
// in the working folder. 0 loaded, 1 no variant loads, 2 refused: the name
// lies outside the cartridge folder (and outside the command-line cart's).
int load_script_cart(zurkel_machine* m, const char* name);

// A new record from a file (real or on the virtual disk): PNG (with its
// label) first, then text; null when neither reads. Console lines go to m.
zurkel_cart* load_zurkel_cart_any_format(zurkel_machine* m, const char* path);

// Makes cart the loaded cart: legacy upgrades; code tabs split and merged;
// set_loaded_cart; the sandboxed cstore file's ROM part laid over the cart
// when it exists; name (the sandboxed file's name when null); editing state
// reset. A null cart is ignored.
void prepare_loaded_cart(zurkel_machine* m, zurkel_cart* cart, const char* name);
// The plain form: the previous loaded cart is destroyed, the shared sprite/map region settled, the name recorded
// (null or empty: no file) and the hash taken. A null cart is ignored.
void set_loaded_cart(zurkel_machine* m, zurkel_cart* cart, const char* name);
// The loaded cart; a new empty one is made the loaded cart when there is none.
zurkel_cart* get_loaded_cart(zurkel_machine* m);
// The same with its code put through the code tabs: nothing edits the tabs,
// so they are split from the code first and the merge only normalises it
// (trailing empty tabs, text after an eighth separator).
zurkel_cart* merge_loaded_cart_tabs(zurkel_machine* m);

// Saves the loaded cart under name; 0 on success, 1 on failure. Messages
// and banners as the console shows them.
int save_working_cart(zurkel_machine* m, const char* name);

// Keeps a copy in "backup/" of the data folder: the file name itself (at
// most 1 MiB, byte for byte) when copy_file is set, else the loaded cart.
int save_backup(zurkel_machine* m, const char* name, int copy_file);

// Ctrl+S and Ctrl+R (reloading external changes); their banners go through
// the machine's host.
void do_quick_save(zurkel_machine* m);
void do_quick_load(zurkel_machine* m);

// "cstore/" in the data folder + "__" + hash + ".zk".
std::string get_sandboxed_cstore_filename(const char* hash);

// Writes count bytes of the running machine's memory from src into the
// ROM part of the cart file at dest (and of the loaded cart with
// also_loaded). 0, 2 when the file cannot be written, 3 when the list of
// files written this session is full (256).
int cstore_cart_partial(zurkel_machine* m, const char* file, int dest, int src, int count,
                        int also_loaded);
// Reads count ROM bytes of a cart file from src into the machine at dest.
// 0, or 1 when the file reads in no format. Both note the file as the other
// cart read last (zurkel_reload forgets it) and hold the program for a
// 30-frame disk pause.
int reload_cart_partial(zurkel_machine* m, const char* file, int dest, int src, int count);
// Forget the cstore file list (a new program session) and the last other file.
void clear_cstore_file_list(zurkel_machine* m);
void forget_last_other_file(zurkel_machine* m);
int cstore_file_count(const zurkel_machine* m);

// A record whose ROM part is the first 17,152 bytes of the file.
zurkel_cart* load_zurkel_cart_bin(const char* path);

// The clipboard form of a cart: "[cart]" + the PNG cart's bytes as lowercase
// hex + "[/cart]". Saving reports a missing label through blank_label and
// returns 0 or 1; the caller prints. Loading returns false when nothing
// usable was on the clipboard, and gives the code length.
int save_cart_to_clipboard(zurkel_machine* m, bool* blank_label);
bool load_cart_from_clipboard(zurkel_machine* m, int* code_len);
// The text conversions themselves.
std::string cart_clipboard_text(const std::vector<uint8_t>& png);
std::vector<uint8_t> cart_clipboard_bytes(const std::string& text);
