#include "gfx/draw_state.h"

#include <algorithm>

#include "machine/machine.h"

void gfx_pal_reset(zurkel_machine* m) {
  for (int i = 0; i < 16; i++) {
    m->draw[DS_PAL + i] = i;
    m->draw[DS_SCREEN_PAL + i] = i;
  }
  m->draw[DS_PAL] = GFX_TRANSPARENT;
}

void gfx_apply_clip_registers(zurkel_machine* m) {
  if (!m->screen) return;
  brim_set_clip(m->screen, m->draw[DS_CLIP_LEFT], m->draw[DS_CLIP_TOP],
                m->draw[DS_CLIP_RIGHT], m->draw[DS_CLIP_BOTTOM]);
}

static void set_clip_registers(zurkel_machine* m, int l, int t, int r, int b) {
  m->draw[DS_CLIP_LEFT] = l;
  m->draw[DS_CLIP_TOP] = t;
  m->draw[DS_CLIP_RIGHT] = r;
  m->draw[DS_CLIP_BOTTOM] = b;
}

void gfx_reset_draw_state(zurkel_machine* m) {
  m->draw[DS_PEN] = 6;
  m->draw[DS_CURSOR_X] = 0;
  m->draw[DS_CAMERA_X] = 0;
  m->draw[DS_CAMERA_Y] = 0;
  gfx_pal_reset(m);
  m->draw[DS_SCREEN_MODE] = 0;
  set_clip_registers(m, 0, 0, 128, 128);
  if (m->screen) brim_reset_clip(m->screen);
  m->draw[DS_FILLP] = 0;
}

void gfx_suspend_draw_state(zurkel_machine* m, bool cart_program) {
  m->draw[DS_CAMERA_X] = 0;
  m->draw[DS_CAMERA_Y] = 0;
  if (m->screen) brim_reset_clip(m->screen);  // the registers keep their values
  m->draw[DS_CURSOR_X] = 0;
  m->draw[DS_CURSOR_Y] = std::clamp(m->draw[DS_CURSOR_Y], 0, 120);
  if (cart_program && m->ram[0x5F2E] != 1)
    for (int i = 0; i < 16; i++) m->draw[DS_SCREEN_PAL + i] = i;
}

void gfx_camera(zurkel_machine* m, int x, int y) {
  m->draw[DS_CAMERA_X] = static_cast<int16_t>(x);
  m->draw[DS_CAMERA_Y] = static_cast<int16_t>(y);
}

void gfx_clip(zurkel_machine* m, bool full, int x, int y, int w, int h) {
  if (full) {
    set_clip_registers(m, 0, 0, 128, 128);
  } else {
    // The far edges use the unclamped origin.
    set_clip_registers(m, std::clamp(x, 0, 128), std::clamp(y, 0, 128),
                       std::clamp(x + w, 0, 128), std::clamp(y + h, 0, 128));
  }
  gfx_apply_clip_registers(m);
}

void gfx_cls(zurkel_machine* m, int c) {
  m->draw[DS_CURSOR_X] = 0;
  m->draw[DS_CURSOR_Y] = 0;
  set_clip_registers(m, 0, 0, 128, 128);
  if (!m->screen) return;
  brim_reset_clip(m->screen);
  brim_bitmap* s = m->screen;
  for (int y = 0; y < s->h; y++)
    for (int x = 0; x < s->w; x++) s->line[y][x] = static_cast<uint8_t>(c & 15);
}

void gfx_color(zurkel_machine* m, int c) { m->draw[DS_PEN] = c & 0xFF; }

void gfx_cursor(zurkel_machine* m, int x, int y) {
  m->draw[DS_CURSOR_X] = x;
  m->draw[DS_CURSOR_Y] = y;
}

void gfx_pal(zurkel_machine* m, int c0, int c1, int p) {
  if (p == 0) {
    int32_t& e = m->draw[DS_PAL + (c0 & 15)];
    e = (e & GFX_TRANSPARENT) | (c1 & 15);
  } else {
    m->draw[DS_SCREEN_PAL + (c0 & 15)] = c1 & 15;
  }
}

void gfx_palt_reset(zurkel_machine* m) {
  for (int i = 0; i < 16; i++) m->draw[DS_PAL + i] &= ~GFX_TRANSPARENT;
  m->draw[DS_PAL] |= GFX_TRANSPARENT;
}

void gfx_palt(zurkel_machine* m, int c, bool transparent) {
  int32_t& e = m->draw[DS_PAL + (c & 15)];
  e = transparent ? (e | GFX_TRANSPARENT) : (e & ~GFX_TRANSPARENT);
}

void gfx_fillp(zurkel_machine* m, std::optional<int32_t> raw) {
  if (!raw) {
    m->draw[DS_FILLP] = 0;
    return;
  }
  uint32_t r = static_cast<uint32_t>(*raw);
  m->draw[DS_FILLP] = static_cast<int32_t>(((r >> 16) & 0xFFFF) | (((r >> 15) & 1) << 16));
}

int gfx_colour_byte(zurkel_machine* m, std::optional<int> c) {
  if (c) m->draw[DS_PEN] = *c & 0xFF;
  int pen = m->draw[DS_PEN] & 0xFF;
  return ((m->draw[DS_PAL + (pen >> 4)] & 15) << 4) | (m->draw[DS_PAL + (pen & 15)] & 15);
}

uint32_t gfx_pattern(const zurkel_machine* m) { return static_cast<uint32_t>(m->draw[DS_FILLP]); }
int gfx_camera_x(const zurkel_machine* m) { return static_cast<int16_t>(m->draw[DS_CAMERA_X]); }
int gfx_camera_y(const zurkel_machine* m) { return static_cast<int16_t>(m->draw[DS_CAMERA_Y]); }
