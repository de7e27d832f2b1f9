#include "gfx/blit.h"

#include <algorithm>

bool brim_clip(const brim_bitmap* src, const brim_bitmap* dst, int& sx, int& sy, int& dx, int& dy,
               int& w, int& h) {
  // Source to the source bitmap's bounds.
  if (sx < 0) { w += sx; dx -= sx; sx = 0; }
  if (sy < 0) { h += sy; dy -= sy; sy = 0; }
  if (sx + w > src->w) w = src->w - sx;
  if (sy + h > src->h) h = src->h - sy;
  // Destination to the destination's clip rectangle.
  if (dx < dst->cl) { int c = dst->cl - dx; w -= c; sx += c; dx = dst->cl; }
  if (dy < dst->ct) { int c = dst->ct - dy; h -= c; sy += c; dy = dst->ct; }
  if (dx + w > dst->cr) w = dst->cr - dx;
  if (dy + h > dst->cb) h = dst->cb - dy;
  return w > 0 && h > 0;
}

void zurkel_blit(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx, int dy, int w,
                 int h, bool flip_x, bool flip_y, const int32_t* palette) {
  if (!brim_clip(src, dst, sx, sy, dx, dy, w, h)) return;
  for (int i = 0; i < h; i++) {
    const uint8_t* s = src->line[sy + (flip_y ? h - 1 - i : i)];
    uint8_t* d = dst->line[dy + i] + dx;
    for (int j = 0; j < w; j++)
      d[j] = static_cast<uint8_t>(palette[s[sx + (flip_x ? w - 1 - j : j)] & 15]);
  }
}

void zurkel_draw_sprite(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx, int dy,
                        int w, int h) {
  if (!brim_clip(src, dst, sx, sy, dx, dy, w, h)) return;
  for (int i = 0; i < h; i++) {
    const uint8_t* s = src->line[sy + i] + sx;
    uint8_t* d = dst->line[dy + i] + dx;
    for (int j = 0; j < w; j++)
      if (s[j] < 16) d[j] = s[j];
  }
}

void zurkel_draw_sprite_pal(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx,
                            int dy, int w, int h, const int32_t* palette) {
  if (!brim_clip(src, dst, sx, sy, dx, dy, w, h)) return;
  uint8_t table[16];
  for (int k = 0; k < 16; k++) table[k] = static_cast<uint8_t>(palette[k]);
  for (int i = 0; i < h; i++) {
    const uint8_t* s = src->line[sy + i] + sx;
    uint8_t* d = dst->line[dy + i] + dx;
    for (int j = 0; j < w; j++) {
      uint8_t v = table[s[j] & 15];
      if (v < 16) d[j] = v;
    }
  }
}

void zurkel_stretch_blit(const brim_bitmap* src, brim_bitmap* dst, int x, int y, int w, int h) {
  if (w == 0 || h == 0) return;
  if (w == src->w && h == src->h) {
    zurkel_draw_sprite(src, dst, 0, 0, x, y, w, h);
    return;
  }
  if (w < 0 || h < 0) return;
  int64_t xstep = (int64_t(src->w) * 65536) / w;
  int64_t ystep = (int64_t(src->h) * 65536) / h;
  int64_t v = ystep / 2, u0 = xstep / 2;
  if (y < dst->ct) {
    v += ystep * (dst->ct - y);
    h -= dst->ct - y;
    y = dst->ct;
  }
  if (x < dst->cl) {
    u0 += xstep * (dst->cl - x);
    w -= dst->cl - x;
    x = dst->cl;
  }
  int cols = std::min(w, dst->cr - x);
  for (int i = 0; i < h && y + i < dst->cb; i++) {
    int sr = static_cast<int>(v >> 16);
    if (sr < 0 || sr >= src->h) break;  // cannot happen; guards rounding
    const uint8_t* s = src->line[sr];
    uint8_t* d = dst->line[y + i];
    int64_t u = u0;
    for (int j = 0; j < cols; j++) {
      int sc = static_cast<int>(u >> 16);
      if (sc < src->w && s[sc] < 16) d[x + j] = s[sc];
      u += xstep;
    }
    v += ystep;
  }
}

int64_t gfx_visible_area(const brim_bitmap* b, int64_t x, int64_t y, int64_t w, int64_t h) {
  int64_t vw = std::min<int64_t>(x + w, b->cr) - std::max<int64_t>(x, b->cl);
  int64_t vh = std::min<int64_t>(y + h, b->cb) - std::max<int64_t>(y, b->ct);
  return (vw > 0 && vh > 0) ? vw * vh : 0;
}
