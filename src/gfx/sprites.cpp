#include "gfx/sprites.h"

#include <algorithm>
#include <cstring>

#include "gfx/blit.h"
#include "gfx/draw_state.h"
#include "gfx/shapes.h"
#include "machine/memory.h"
#include "machine/machine.h"

namespace {

// The temporary block of spr and sspr: a zero-filled view of up to 128 x 128
// pixels over one static buffer, so drawing allocates nothing.
struct scratch_block {
  uint8_t pixels[128 * 128];
  uint8_t* rows[128];
  brim_bitmap bmp;
};

brim_bitmap* scratch(int w, int h) {
  static scratch_block s;
  for (int y = 0; y < h; y++) {
    s.rows[y] = s.pixels + y * w;
    std::memset(s.rows[y], 0, static_cast<size_t>(w));
  }
  s.bmp.w = w;
  s.bmp.h = h;
  s.bmp.depth = 8;
  s.bmp.data = s.pixels;
  s.bmp.line = s.rows;
  brim_reset_clip(&s.bmp);
  return &s.bmp;
}

zurkel_cart* live(zurkel_machine* m) { return m ? m->cart : nullptr; }

}  // namespace

int gfx_spr(zurkel_machine* m, int n, int x, int y, int w, int h, bool flip_x, bool flip_y) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->gfx || n < 0 || n > 255) return GFX_NO_CHARGE;
  if (w <= 0 || h <= 0) return GFX_NO_CHARGE;
  w = std::min(w, 128);
  h = std::min(h, 128);
  brim_bitmap* block = scratch(w, h);
  zurkel_blit(cart->gfx, block, (n % 16) * 8, (n / 16) * 8, 0, 0, w, h, flip_x, flip_y,
              &m->draw[DS_PAL]);
  int dx = x - gfx_camera_x(m), dy = y - gfx_camera_y(m);
  zurkel_draw_sprite(block, m->screen, 0, 0, dx, dy, w, h);
  return static_cast<int>(gfx_visible_area(m->screen, dx, dy, w, h));
}

int gfx_sspr(zurkel_machine* m, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
             bool flip_x, bool flip_y) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->gfx) return GFX_NO_CHARGE;
  if (sw < 1 || sw > 128 || sh < 1 || sh > 128) return GFX_NO_CHARGE;
  if (dw == 0 || dh == 0) return GFX_NO_CHARGE;
  int x = dx - gfx_camera_x(m), y = dy - gfx_camera_y(m);
  if (dw < 0) {
    dw = -dw;
    x -= dw;
    flip_x = !flip_x;
  }
  if (dh < 0) {
    dh = -dh;
    y -= dh;
    flip_y = !flip_y;
  }
  brim_bitmap* block = scratch(sw, sh);
  zurkel_blit(cart->gfx, block, sx, sy, 0, 0, sw, sh, flip_x, flip_y, &m->draw[DS_PAL]);
  zurkel_stretch_blit(block, m->screen, x, y, dw, dh);
  return static_cast<int>(gfx_visible_area(m->screen, x, y, dw, dh));
}

int gfx_map(zurkel_machine* m, int cel_x, int cel_y, int sx, int sy, int cel_w, int cel_h,
            int layer) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->gfx || !cart->map) return GFX_NO_CHARGE;
  if (cel_w <= 0 || cel_h <= 0) return GFX_NO_CHARGE;
  const int left = m->draw[DS_CLIP_LEFT], top = m->draw[DS_CLIP_TOP];
  const int right = m->draw[DS_CLIP_RIGHT], bottom = m->draw[DS_CLIP_BOTTOM];
  int mx = cel_x, my = cel_y;
  int x = sx - gfx_camera_x(m), y = sy - gfx_camera_y(m);
  // Whole cells left of or above the clip rectangle are skipped.
  if (x < left - 7) {
    int k = (left - x) / 8;
    mx += k, cel_w -= k, x += 8 * k;
  }
  if (y < top - 7) {
    int k = (top - y) / 8;
    my += k, cel_h -= k, y += 8 * k;
  }
  int cols = std::min((right - left + 7) / 8 + 1, cel_w);
  int rows = std::min((bottom - top + 7) / 8 + 1, cel_h);
  const brim_bitmap* map = cart->map;
  int64_t cost = 0;
  for (int r = 0; r < rows; r++) {
    int cy = my + r;
    if (cy < 0 || cy >= map->h) continue;
    for (int c = 0; c < cols; c++) {
      int cx = mx + c;
      if (cx < 0 || cx >= map->w) continue;
      int v = map->line[cy][cx];
      if (v == 0) continue;
      if (layer != 0 && (cart->sprite_flags[v] & layer) == 0) continue;
      int px = x + 8 * c, py = y + 8 * r;
      zurkel_draw_sprite_pal(cart->gfx, m->screen, (v % 16) * 8, (v / 16) * 8, px, py, 8, 8,
                             &m->draw[DS_PAL]);
      cost += gfx_visible_area(m->screen, px, py, 8, 8);
    }
  }
  return static_cast<int>(std::min<int64_t>(cost, 1 << 30));
}

int gfx_sget(zurkel_machine* m, int x, int y) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->gfx || x < 0 || y < 0 || x >= cart->gfx->w || y >= cart->gfx->h) return 0;
  return cart->gfx->line[y][x];
}

void gfx_sset(zurkel_machine* m, int x, int y, int c) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->gfx || x < 0 || x >= 128 || y < 0 || y >= 128) return;
  int addr = y * 64 + x / 2;
  int b = zurkel_peek(m, cart, addr);
  b = (x & 1) ? ((b & 0x0F) | ((c & 15) << 4)) : ((b & 0xF0) | (c & 15));
  zurkel_poke(m, cart, addr, b);  // also moves the shared map cell
}

int gfx_mget(zurkel_machine* m, int x, int y) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->map || x < 0 || y < 0 || x >= cart->map->w || y >= cart->map->h) return 0;
  return cart->map->line[y][x];
}

void gfx_mset(zurkel_machine* m, int x, int y, int v) {
  zurkel_cart* cart = live(m);
  if (!cart || !cart->map || x < 0 || y < 0 || x >= 128 || y >= 64) return;
  cart->map->line[y][x] = static_cast<uint8_t>(v & 255);
  if (y >= 32 && cart->gfx) {
    int k = x + 128 * y;
    uint8_t* row = cart->gfx->line[k / 64];
    row[2 * (k % 64)] = static_cast<uint8_t>(v & 15);
    row[2 * (k % 64) + 1] = static_cast<uint8_t>((v >> 4) & 15);
  }
}

int gfx_fget(zurkel_machine* m, int n) {
  zurkel_cart* cart = live(m);
  if (!cart || n < 0 || n > 255) return 0;
  return cart->sprite_flags[n] & 255;
}

bool gfx_fget_bit(zurkel_machine* m, int n, int f) {
  if (f < 0 || f > 7) return false;
  return (gfx_fget(m, n) >> f) & 1;
}

void gfx_fset(zurkel_machine* m, int n, int v) {
  zurkel_cart* cart = live(m);
  if (!cart || n < 0 || n > 255) return;
  cart->sprite_flags[n] = v & 255;
}

void gfx_fset_bit(zurkel_machine* m, int n, int f, bool on) {
  zurkel_cart* cart = live(m);
  if (!cart || n < 0 || n > 255 || f < 0 || f > 7) return;
  if (on)
    cart->sprite_flags[n] |= 1 << f;
  else
    cart->sprite_flags[n] &= ~(1 << f);
}
