// Runtime errors and their console reports.
#pragma once

struct lua_State;

// Records the message and asks the main loop to stop the program and show
// it; the calling API function then yields. Ignored during the reset effect.
void zurkel_runtime_error(const char* message);
// Records the message given to a failing assert (null clears it).
void zurkel_assert_message(const char* text);

// Reports an interpreter error message (runtime).
void extract_runtime_error(const char* message);
// Reports a compiler message; returns the text to print after it, or null
// when nothing more is printed. out receives at most 1,023 characters.
const char* extract_syntax_error(const char* message, char* out, int cap);
// Prints "in %s line %d (tab %d)" for each script frame of the traceback.
void print_traceback(lua_State* L);
// Line n (0-based) of text without its line break; "<eof>" past the end.
void get_nth_line(const char* text, int n, char* out, int cap);
