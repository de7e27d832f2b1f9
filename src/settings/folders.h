// The per-user data folder, the desktop folder and the program's folder,
// and the small file helpers built on them.
#pragma once
#include <cstdio>

// Remembers argv[0]; the program's folder is its folder (or, when argv[0]
// names no folder, the folder of the running executable).
void brim_set_program_path(const char* argv0);

// Works out the per-user data folder: the -home folder when given (created
// 0755 when missing), else $XDG_DATA_HOME/zurkel/ or ~/.local/share/zurkel/
// (created); without HOME, names stay relative to the working folder.
void brim_init_appdata_folder(const char* home_option);
const char* brim_appdata_folder();
// Sets the per-user data folder as given ("/" appended to a non-empty one),
// creating nothing.
void brim_set_appdata_folder(const char* folder);

// Works out the desktop folder: desktop_path when set and not starting with
// a space (created, "/" appended), else the XDG desktop folder named in
// user-dirs.dirs, else $HOME/Desktop/.
void brim_init_desktop_folder(const char* desktop_path);
const char* brim_desktop_folder();

// out receives folder + name, at most 1,023 characters (BRIM_PATH_MAX).
void brim_prefix_with_appdata_path(const char* name, char* out);
void brim_prefix_with_desktop_path(const char* name, char* out);
void brim_prefix_with_program_path(const char* name, char* out);

// Creates a folder and its parents (0755); true if it exists afterwards.
bool brim_make_folder(const char* path);
bool brim_file_exists(const char* path);
bool brim_folder_exists(const char* path);
// True for a folder holding at least one entry.
bool brim_folder_has_entries(const char* path);
