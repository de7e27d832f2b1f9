// Game-controller mapping strings: the built-in set and the user's
// "sdl_controllers.txt" files. The host layer supplies the database call.
#pragma once

// Adds one mapping to the host's controller database: 1 added, 0 an
// existing mapping replaced, -1 failed.
using brim_add_mapping_fn = int (*)(const char* mapping);

// The built-in mapping strings. The set is deliberately empty: the host
// library carries its own maintained database of common controllers, and a
// string we cannot test against real hardware would only risk overriding a
// correct mapping. Users add mappings through sdl_controllers.txt.
extern const char* const brim_builtin_mappings[];
extern const int brim_builtin_mapping_count;

constexpr int BRIM_MAPPING_LINE_MAX = 1023;

// Logs "Reading controller mappings: PATH" and adds every line (trimmed,
// at most 1,023 characters; empty lines and lines starting with '/' are
// skipped), logging each result. False when the file cannot be opened.
bool brim_read_controller_file(const char* path, brim_add_mapping_fn add);
// The program folder's file, then the user data folder's; the latter is
// created with a comment line when missing.
void brim_add_controller_files(const char* program_file, const char* user_file,
                               brim_add_mapping_fn add);
// Both files at their usual places.
void add_sdl_controllers_with(brim_add_mapping_fn add);
