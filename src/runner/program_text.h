// The fixed texts around every cartridge program: the runtime header (two
// lines, so interpreter line L is program line L - 2) and the main-loop tail.
#pragma once

extern const char zurkel_runtime_header[];
extern const char zurkel_main_loop_tail[];

// Builds the program text in out (cap bytes): header, board fix-up, the
// preprocessed code and the tail, or a shell-command substitution.
// Returns the length, or -1 when it does not fit.
int assemble_program(const char* code, bool board_fixup, char* out, int cap);
// A line typed at the prompt: a shell-command substitution, or else the
// preprocessed line alone (no header, no tail: it acts on the machine as it
// is). Returns the length, or -1 when it does not fit.
int assemble_typed_line(const char* code, char* out, int cap);
