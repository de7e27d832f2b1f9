// Runtime errors raised by API functions and machine routines.
#pragma once

// Records the message and asks the main loop to stop the program and show
// it; the calling API function then yields.
void zurkel_runtime_error(const char* message);
