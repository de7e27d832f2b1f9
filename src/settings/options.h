// Command-line options. One table lists every option with the parser that
// reads it: the engine's parser (prefix match, always one value, run before
// and again after config.txt is read) and the console's (exact match).
#pragma once
#include <cstdint>
#include <cstdio>

#include "settings/config.h"

struct zurkel_options {
  int run;                         // -run: run the command-line cart after boot
  int splore;                      // -splore: boot into the browser
  int glitch_test;                 // -glitch_test frames; 0 off
  int exec;                        // -x / -exec: execute mode
  int params_given;                // -p was given
  char params[1025];               // -p text, at most 1,024 characters
  char auto_load_fn[BRIM_PATH_MAX];  // the cartridge file named on the command line
  // Automation (scripted runs, reproducible output).
  int64_t frames;                  // -frames N: end after N update steps; -1 off
  int fast;                        // -fast: virtual clock, one update period per iteration
  int seed_given;                  // -seed S: every clock-taken seed uses S
  uint32_t seed;
  char dump_screen[BRIM_PATH_MAX];   // -dump_screen FILE: PNG of the display at exit
  char input_file[BRIM_PATH_MAX];    // -input FILE: scripted button masks
  char dump_audio[BRIM_PATH_MAX];    // -dump_audio FILE: WAV of the mixed output
  // The cart author's loop.
  int watch;                         // -watch: rerun the command-line cart when its file changes
  char record_file[BRIM_PATH_MAX];   // -record FILE: the session's buttons in the -input form
  int help;                          // -h / --help: print the usage and exit
};

extern zurkel_options zopts;

void zurkel_options_default();
// The seed every clock-taken seed uses (boot, each run): -seed S, else the
// time of day plus the millisecond clock.
uint32_t brim_clock_seed();
// Engine options into cconfig.
void brim_process_arguments(int argc, char** argv);
// Console options into zopts and console_config.
void process_arguments(int argc, char** argv);
// The usage, one line per row of the options table.
void print_usage(FILE* f);
// True for an option that takes no value (-fast, -run, -x, ...): the web
// page's URL query gives every option a value, which such a flag drops.
bool zurkel_option_is_flag(const char* name);
