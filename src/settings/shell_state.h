// The console shell's working state: the current folder under the
// cartridge folder, and path resolution for the shell functions.
#pragma once
#include <string>

// The current folder, relative to root_path: empty at the top, otherwise
// ending in "/"; at most 1,023 characters.
const char* shell_current_folder();
void shell_set_current_folder(const char* folder);

// Drops "." components, lets ".." remove the previous one and expands a
// leading "~" to the home folder. Keeps a trailing "/" when given.
std::string shell_normalise_path(const std::string& path);
// A folder argument: from root_path when it starts with "/", otherwise from
// root_path plus the current folder; normalised.
std::string shell_resolve(const char* root_path, const char* name);
