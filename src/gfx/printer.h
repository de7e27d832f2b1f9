// The console printer: system messages on the machine screen, 32 characters
// per line, 6 pixels per line, scrolling at the bottom. Without a machine,
// or in execute mode while no program runs, lines go to standard output
// instead. Every line also goes to the machine's print listener when set.
#pragma once

struct zurkel_machine;

void zurkel_print_col(zurkel_machine* m, const char* text, int colour);
void zurkel_print(zurkel_machine* m, const char* text);   // colour 6
// Formats with two integers (4,096-byte buffer), then prints.
void zurkel_print_2(zurkel_machine* m, const char* format, int a, int b);
void zurkel_print_2_col(zurkel_machine* m, const char* format, int a, int b, int colour);

// A failure the user must hear of: the console line (colour 8), the log,
// and in execute mode standard error too ("zurkel: %s"), because there the
// screen of a running cart is seen by no one.
void zurkel_report_failure(zurkel_machine* m, const char* text);

// The text cursor's line feed and scroll, cursor_cr() and
// scroll_immediate_mode_screen(), belong to the drawing code (gfx/print.h).
