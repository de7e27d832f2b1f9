// Line-by-line reading of the console's small text files (config.txt,
// sdl_controllers.txt).
#pragma once
#include <cstdio>

// Reads one line into out (max characters kept, then a terminating zero);
// the rest of a longer line is skipped so it cannot pose as a line of its
// own. The line break is not kept. False at the end of the file.
bool brim_read_line(FILE* f, char* out, int max);
