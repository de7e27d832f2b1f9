// Whole-file reads and safe writes for cartridge files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file (at most max_size bytes; larger files fail). False when
// it cannot be opened or is too large.
bool cart_read_file(const std::string& path, std::vector<uint8_t>& data,
                    size_t max_size = 64u << 20);

// Writes data to a temporary file beside path, then renames it over path,
// so an interrupted write never leaves a half-written cartridge. False on
// any failure (the target is then untouched).
bool cart_write_file(const std::string& path, const void* data, size_t size);

bool cart_file_exists(const std::string& path);

// Base name with extension: "carts/game.zk" -> "game.zk".
std::string cart_base_name(const std::string& path);

// Reads a whole file, falling back to the virtual disk like every cart
// reader (at most max_size bytes).
bool cart_read_any(const std::string& path, std::vector<uint8_t>& data,
                   size_t max_size = 64u << 20);

// The per-user data folder, ending in "/".
std::string cart_data_folder();
// The cartridge folder plus the shell's current folder, ending in "/".
std::string cart_current_folder();

// Where a cart name is looked for: a relative name in the cartridge folder
// plus the current folder first, then as given; opening either also falls
// back to the virtual disk, where embedded carts live.
std::vector<std::string> cart_search_paths(const std::string& name);

// Names a running cart gives (load, save, mkdir) are taken against the
// cartridge folder and the shell's current folder, never elsewhere: the
// resolved path, or "" when it would lie outside the cartridge folder,
// whether through "..", a symbolic link or a folder above it.
std::string cart_script_path(const std::string& name);
// True when path (existing or not) lies inside folder (never the file
// system's root), both as written and after following the links of the part
// that exists; cart_path_inside_root for the cartridge folder.
bool cart_path_inside(const std::string& folder, const std::string& path);
bool cart_path_inside_root(const std::string& path);
// The folder of the cart named on the command line (real path, ending in
// "/"), or "" when none: its neighbours may be loaded by name too.
std::string cart_command_line_folder();

// Modification time (nanoseconds) and size of a file; false (both -1) when
// it does not exist.
bool cart_file_stamp(const std::string& path, long long* mtime_ns, long long* size);
