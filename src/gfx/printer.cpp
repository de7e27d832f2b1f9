#include "gfx/printer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/bitmap.h"
#include "machine/machine.h"
#include "runner/cpu.h"
#include "runner/links.h"
#include "runner/runner.h"

namespace {
zurkel_print_listener g_listener = nullptr;

void scroll_screen() {
  brim_bitmap* s = pstate->screen;
  if (s && s->h == 128) {
    for (int y = 0; y < 122; y++) std::memcpy(s->line[y], s->line[y + 6], s->w * (s->depth / 8));
    for (int y = 122; y < 128; y++) std::memset(s->line[y], 0, s->w * (s->depth / 8));
  }
  spend_cpu(65536);
}

// The text cursor's line feed (the drawing code's cursor_cr once it is in).
void line_feed() {
  int32_t& y = pstate->draw[DS_CURSOR_Y];
  if (y + 6 > 122) scroll_screen();
  else y += 6;
}
}  // namespace

void zurkel_set_print_listener(zurkel_print_listener fn) { g_listener = fn; }


void zurkel_print_col(const char* text, int colour) {
  if (!text) text = "";
  if (g_listener) g_listener(text, colour);
  if (!pstate || (prog_execute_mode() && pstate->mode != 1)) {
    std::printf("** %s\n", text);
    std::fflush(stdout);
    return;
  }
  int len = static_cast<int>(std::strlen(text));
  int extra = len > 0 ? (len - 1) / 32 : 0;
  for (int i = 0; i < extra; i++) line_feed();
  int32_t& cy = pstate->draw[DS_CURSOR_Y];
  int y = cy - 6 * extra;
  prog_fill_rect(0, y, 127, y + 6 * extra + 5, 0);
  prog_draw_console_text(text, pstate->draw[DS_CURSOR_X], y, 0x11, colour);
  cy = y + 6 * extra;
  line_feed();
}

void zurkel_print(const char* text) { zurkel_print_col(text, 6); }

void zurkel_print_2_col(const char* format, int a, int b, int colour) {
  char buf[4096];
  std::snprintf(buf, sizeof buf, format, a, b);
  zurkel_print_col(buf, colour);
}

void zurkel_print_2(const char* format, int a, int b) { zurkel_print_2_col(format, a, b, 6); }
