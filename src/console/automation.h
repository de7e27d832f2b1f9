// Scripted runs: button masks from a file, a step limit, screen and audio
// dumps at exit, and the exit status of execute mode.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct brim_bitmap;
struct zurkel_machine;

struct input_script_line {
  int64_t step;
  std::vector<int> masks;   // players 0, 1, ...
};

// Parses "STEP MASK0 MASK1 ..." lines (decimal step, hexadecimal masks);
// blank lines and lines starting with '#' are skipped, bad lines too.
std::vector<input_script_line> parse_input_script(const std::string& text);

// Typed input in the same file: "STEP text TEXT" types TEXT (the rest of
// the line after one space, at most 32 characters) and "STEP key NAME"
// presses and releases one key (enter, backspace, tab, escape, left, right,
// up, down, delete, f1-f12, a-z, 0-9; "ctrl+" in front holds Ctrl) at
// update step STEP. The mask lines ignore them.
struct input_key_event {
  int64_t step;
  std::string text;     // characters to type; empty for a key
  int scancode;         // the key; 0 for text
  bool ctrl;
};
std::vector<input_key_event> parse_input_keys(const std::string& text);
// The scancode of a key name of the input script, or 0.
int input_key_scancode(const std::string& name);

// Reads the files the options name; false (with a message) when -input
// names a file that cannot be read.
bool automation_init();
// Before an update step: the scripted masks for this step.
void automation_step_begin(int64_t step);
// After an update step at rate steps per second: the step's audio samples.
void automation_step_end(const zurkel_machine* m, int rate);
// At exit: the screen and audio dumps.
void automation_finish(const zurkel_machine* m);

// Writes a 128 x 128 8-bit bitmap as an RGB PNG through a 768-byte palette.
bool write_bitmap_png(const char* path, const brim_bitmap* b, const uint8_t* palette);
// Writes mono 16-bit PCM at 22,050 Hz.
bool write_wav(const char* path, const std::vector<int16_t>& samples);

// Exit status of the program: 0 unless a failure set it.
void automation_set_exit_status(int status);
int automation_exit_status();
