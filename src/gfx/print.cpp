#include "gfx/print.h"

#include <algorithm>
#include <climits>

#include <cstring>

#include "gfx/draw_state.h"
#include "gfx/font.h"
#include "machine/machine.h"
#include "machine/cpu.h"

brim_font* zurkel_console_font = nullptr;

void gfx_scroll_screen(zurkel_machine* m) {
  brim_bitmap* s = m->screen;
  if (!s || s->depth != 8) return;
  for (int y = 0; y + 6 < s->h; y++) std::memcpy(s->line[y], s->line[y + 6], static_cast<size_t>(s->w));
  for (int y = s->h - 6; y < s->h; y++)
    if (y >= 0) std::memset(s->line[y], 0, static_cast<size_t>(s->w));
}

void cursor_cr(zurkel_machine* m) {
  int32_t& y = m->draw[DS_CURSOR_Y];
  if (y + 6 <= 122) {
    y += 6;
    return;
  }
  gfx_scroll_screen(m);
  spend_cpu(m, GFX_SCROLL_COST);
}

void scroll_immediate_mode_screen(zurkel_machine* m) {
  m->draw[DS_CURSOR_Y] -= 6;
  gfx_scroll_screen(m);
  spend_cpu(m, GFX_SCROLL_COST);
}

int gfx_print(zurkel_machine* m, const char* text, const gfx_print_args& a) {
  if (a.nargs > 2) {
    m->draw[DS_CURSOR_X] = a.x;
    m->draw[DS_CURSOR_Y] = a.y;
  }
  int colour = gfx_colour_byte(m, a.nargs > 3 ? std::optional<int>(a.c) : std::nullopt) & 15;
  int x0 = m->draw[DS_CURSOR_X] - gfx_camera_x(m);
  int y0 = m->draw[DS_CURSOR_Y] - gfx_camera_y(m);
  int flags = BRIM_TEXT_COLOUR | (a.stopping ? BRIM_TEXT_WRAP : 0);
  int y1 = y0;
  if (m->screen && zurkel_console_font)
    y1 = brim_draw_text_ex(m->screen, text, zurkel_console_font, x0, y0, flags,
                           static_cast<uint32_t>(colour));
  if (a.nargs == 1)
    for (int i = (y1 - y0) / 6 + 1; i > 0; i--) cursor_cr(m);
  // A text of hundreds of megabytes must not overflow the charge.
  size_t chars = std::min<size_t>(std::strlen(text), (INT32_MAX - 2) / 8);
  return 8 * static_cast<int>(chars) + 2;
}
