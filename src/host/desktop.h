// The desktop around the console.
#pragma once

// Opens a folder in the desktop's file manager (nothing without a desktop).
void host_open_folder(const char* path);

// A file the user just saved (a screenshot, a recording): a desktop has it
// in its folder already; the web page offers it as a download.
void host_offer_file(const char* path);
