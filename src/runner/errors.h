// The console reports of a program's errors.
#pragma once

struct lua_State;
struct zurkel_machine;

// Reports an interpreter error message (runtime).
void extract_runtime_error(zurkel_machine* m, const char* message);
// Reports a compiler message; returns the text to print after it, or null
// when nothing more is printed. out receives at most 1,023 characters.
const char* extract_syntax_error(zurkel_machine* m, const char* message, char* out, int cap);
// Prints "in %s line %d (tab %d)" for each script frame of the traceback.
void print_traceback(zurkel_machine* m, lua_State* L);
// Line n (0-based) of text without its line break; "<eof>" past the end.
void get_nth_line(const char* text, int n, char* out, int cap);
