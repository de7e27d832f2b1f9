// Text on the machine screen: the script's print and the console printer's
// layout, both drawn with the console font.
#pragma once
#include <optional>

struct zurkel_machine;
struct brim_font;

// The console font (data.pod item 2); null until the console loads it.
extern brim_font* zurkel_console_font;

constexpr int GFX_SCROLL_COST = 65536;

// Cursor y += 6; past row 122 the cursor stays and the screen scrolls up
// one line instead (rows 6-127 to 0-121, rows 122-127 cleared), charged
// 65,536 cycles.
void cursor_cr(zurkel_machine* m);
// Cursor y -= 6, and the same scroll and charge.
void scroll_immediate_mode_screen(zurkel_machine* m);
// The scroll alone (no charge).
void gfx_scroll_screen(zurkel_machine* m);

// print(text, [x, y], [c]) once its text is known.
// `nargs` is the script's argument count (1 = advance the cursor with
// cursor_cr, which charges its own scrolling). `stopping` wraps lines, as
// while a program is being stopped. Returns the cycles to charge.
struct gfx_print_args {
  int nargs = 1;
  int x = 0, y = 0;  // used with nargs > 2
  int c = 0;         // used with nargs > 3
  bool stopping = false;
};
int gfx_print(zurkel_machine* m, const char* text, const gfx_print_args& a);
