// The console printer: system messages on the machine screen, 32 characters
// per line, 6 pixels per line, scrolling at the bottom. In execute mode
// while no program runs, lines go to standard output instead.
#pragma once

void zurkel_print_col(const char* text, int colour);
void zurkel_print(const char* text);   // colour 6
// Formats with two integers (4,096-byte buffer), then prints.
void zurkel_print_2(const char* format, int a, int b);
void zurkel_print_2_col(const char* format, int a, int b, int colour);

// The text cursor's line feed and scroll, cursor_cr() and
// scroll_immediate_mode_screen(), belong to the drawing code (gfx/print.h).

// Every printed line also goes to this listener (tests, logs); null stops.
using zurkel_print_listener = void (*)(const char* text, int colour);
void zurkel_set_print_listener(zurkel_print_listener fn);
