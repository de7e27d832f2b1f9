// The desktop around the console.
#pragma once

// Opens a folder in the desktop's file manager (nothing without a desktop).
void host_open_folder(const char* path);
