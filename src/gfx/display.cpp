#include "gfx/display.h"

#include <cstring>

#include "machine/memory.h"
#include "machine/machine.h"

bool gfx_extended_palette_unlocked(const zurkel_machine* m) { return zurkel_ext_palette_unlocked(m); }

void apply_draw_mode(brim_bitmap* b, int mode) {
  if (!b || b->depth != 8) return;
  const int w = b->w, h = b->h;
  auto stretch_x = [&] {
    for (int y = 0; y < h; y++)
      for (int x = w - 1; x >= 0; x--) b->line[y][x] = b->line[y][x / 2];
  };
  auto stretch_y = [&] {
    for (int y = h - 1; y >= 0; y--) std::memmove(b->line[y], b->line[y / 2], static_cast<size_t>(w));
  };
  auto mirror_x = [&] {
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w / 2; x++) b->line[y][w - 1 - x] = b->line[y][x];
  };
  auto mirror_y = [&] {
    for (int y = 0; y < h / 2; y++) std::memcpy(b->line[h - 1 - y], b->line[y], static_cast<size_t>(w));
  };
  switch (mode) {
    case 1: stretch_x(); break;
    case 2: stretch_y(); break;
    case 3: stretch_x(); stretch_y(); break;
    case 5: mirror_x(); break;
    case 6: mirror_y(); break;
    case 7: mirror_x(); mirror_y(); break;
    default: break;
  }
}

void gfx_present_screen(zurkel_machine* m, bool cart_running) {
  if (!m->screen || !m->display) return;
  const int mask = gfx_extended_palette_unlocked(m) ? 0x8F : 0x0F;
  uint8_t table[16];
  for (int i = 0; i < 16; i++) {
    m->draw[DS_SCREEN_PAL + i] &= mask;
    table[i] = static_cast<uint8_t>(m->draw[DS_SCREEN_PAL + i]);
  }
  brim_bitmap* s = m->screen;
  brim_bitmap* d = m->display;
  const int w = s->w < d->w ? s->w : d->w, h = s->h < d->h ? s->h : d->h;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) d->line[y][x] = table[s->line[y][x] & 15];
  if (cart_running) apply_draw_mode(d, m->draw[DS_SCREEN_MODE]);
}
