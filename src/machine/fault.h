// The runtime-fault record: the error a host function raised for the main
// loop to report, and the message of the last failing assert.
#pragma once

struct zurkel_machine;

struct zurkel_fault {
  char error_text[512] = {};      // pending console-side runtime error
  char assert_message[256] = {};  // at most 254 characters kept
};

// Records the message and asks the main loop to stop the program and show
// it (pending_command 4); the calling API function then yields. Ignored
// without a machine and during the reset effect.
void zurkel_runtime_error(zurkel_machine* m, const char* message);
// The pending console-side error text.
const char* zurkel_runtime_error_text(const zurkel_machine* m);
// Records the message given to a failing assert (null clears it).
void zurkel_assert_message(zurkel_machine* m, const char* text);
