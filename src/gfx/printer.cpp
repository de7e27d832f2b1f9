#include "gfx/printer.h"

#include "base/debug.h"

#include <cstdio>
#include <cstring>

#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "machine/cpu.h"
#include "machine/machine.h"
#include "settings/options.h"

namespace {
void scroll_screen(zurkel_machine* m) {
  brim_bitmap* s = m->screen;
  if (s && s->h == 128) {
    for (int y = 0; y < 122; y++) std::memcpy(s->line[y], s->line[y + 6], s->w * (s->depth / 8));
    for (int y = 122; y < 128; y++) std::memset(s->line[y], 0, s->w * (s->depth / 8));
  }
  spend_cpu(m, 65536);
}

// The text cursor's line feed (the drawing code's cursor_cr once it is in).
void line_feed(zurkel_machine* m) {
  int32_t& y = m->draw[DS_CURSOR_Y];
  if (y + 6 > 122) scroll_screen(m);
  else y += 6;
}

}  // namespace

void zurkel_print_col(zurkel_machine* m, const char* text, int colour) {
  if (!text) text = "";
  if (m && m->print_listener) m->print_listener(text, colour);
  if (!m || (zopts.exec && m->mode != 1)) {
    std::printf("** %s\n", text);
    std::fflush(stdout);
    return;
  }
  int len = static_cast<int>(std::strlen(text));
  int extra = len > 0 ? (len - 1) / 32 : 0;
  for (int i = 0; i < extra; i++) line_feed(m);
  int32_t& cy = m->draw[DS_CURSOR_Y];
  int y = cy - 6 * extra;
  if (m->screen) {
    brim_fill_rect(m->screen, 0, y, 127, y + 6 * extra + 5, 0);
    brim_draw_text_ex(m->screen, text, zurkel_console_font, m->draw[DS_CURSOR_X], y, 0x11,
                      static_cast<uint32_t>(colour));
  }
  cy = y + 6 * extra;
  line_feed(m);
}

void zurkel_print(zurkel_machine* m, const char* text) { zurkel_print_col(m, text, 6); }

void zurkel_report_failure(zurkel_machine* m, const char* text) {
  if (!text) text = "";
  brim_debugf("%.500s\n", text);
  if (zopts.exec) {
    std::fprintf(stderr, "zurkel: %s\n", text);
    std::fflush(stderr);
  }
  zurkel_print_col(m, text, 8);
}

void zurkel_print_2_col(zurkel_machine* m, const char* format, int a, int b, int colour) {
  char buf[4096];
  std::snprintf(buf, sizeof buf, format, a, b);
  zurkel_print_col(m, buf, colour);
}

void zurkel_print_2(zurkel_machine* m, const char* format, int a, int b) {
  zurkel_print_2_col(m, format, a, b, 6);
}
