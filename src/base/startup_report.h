// Start-up timings. With the engine option "-startup_report 1" each
// measured part of start-up writes one line to standard error:
//   startup: PART MS ms (at MS ms)
// the time the part took and when it ended, in milliseconds since the
// process started; one-off moments (the first presented frame, the head
// cart's first frame) write "startup: NAME at MS ms" once. The
// bench/startup.sh benchmark reads these lines.
#pragma once

void brim_startup_report_enable(bool on);
bool brim_startup_report_enabled();
// Milliseconds since the process started (the program's first static
// initialisation, just after the loader mapped it).
double brim_startup_now_ms();
// A part that began at `since_ms` (a brim_startup_now_ms value) ends now.
void brim_startup_part(const char* part, double since_ms);
// A moment, reported only the first time it is named (names must be
// string literals: the pointer is remembered).
void brim_startup_moment(const char* name);
