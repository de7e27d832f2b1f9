#include "gfx/shapes.h"

#include <algorithm>
#include <cstdlib>

#include "gfx/draw_state.h"
#include "gfx/pixel.h"
#include "machine/machine.h"


// a / b where a is whole pixels and b a 16.16 step: floor of the 16.16 quotient.
static int64_t skip_steps(int64_t a, int64_t b) {
  if (b <= 0) return 0;  // cannot happen for lines that pass rejection
  return ((a << 32) / b) >> 16;
}

int draw_line(brim_bitmap* b, int x0, int y0, int x1, int y1, int colour, uint32_t pattern) {
  if (y1 < y0) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const int L = b->cl, T = b->ct, R = b->cr, B = b->cb;
  int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  int64_t n = std::max<int64_t>(dx < 0 ? -dx : dx, dy);
  int64_t d = std::max<int64_t>(n, 1);
  if (y1 < T || y0 >= B || (x0 < L && x1 < L) || (x0 >= R && x1 >= R)) return 0;
  int64_t sy = (dy * 65536) / d;
  int64_t sx = (dx * 65536) / d;
  int64_t s0 = 0, s1 = 0;
  if (y0 < T) s0 = std::max(s0, skip_steps(T - y0, sy));
  if (x0 < L) s0 = std::max(s0, skip_steps(L - x0, sx));
  if (x0 >= R) s0 = std::max(s0, skip_steps(int64_t(x0) - R + 1, -sx));
  if (y1 >= B) s1 = std::max(s1, skip_steps(int64_t(y1) - B + 1, sy));
  if (x1 < L) s1 = std::max(s1, skip_steps(L - int64_t(x1), -sx));
  if (x1 >= R) s1 = std::max(s1, skip_steps(int64_t(x1) - R + 1, sx));
  s0 = std::max<int64_t>(s0 - 1, 0);
  s1 = std::max<int64_t>(s1 - 1, 0);
  int64_t count = d - s0 - s1;
  if (count < 0) return 0;
  int64_t px = int64_t(x0) * 65536 + 0x8000 + s0 * sx;
  int64_t py = int64_t(y0) * 65536 + 0x8000 + s0 * sy;
  for (int64_t k = 0; k <= count; k++) {
    putpixel(b, static_cast<int>(px >> 16), static_cast<int>(py >> 16), colour, pattern);
    px += sx;
    py += sy;
  }
  return static_cast<int>(count);
}

void draw_circle(brim_bitmap* b, int cx, int cy, int r, int colour, uint32_t pattern) {
  int f = 1 - r, x = 0, y = r;
  while (x <= y) {
    putpixel(b, cx + y, cy + x, colour, pattern);
    putpixel(b, cx + x, cy + y, colour, pattern);
    putpixel(b, cx - y, cy + x, colour, pattern);
    putpixel(b, cx - x, cy + y, colour, pattern);
    putpixel(b, cx - y, cy - x, colour, pattern);
    putpixel(b, cx - x, cy - y, colour, pattern);
    putpixel(b, cx + y, cy - x, colour, pattern);
    putpixel(b, cx + x, cy - y, colour, pattern);
    if (f < 0) {
      f += 2 * x + 3;
    } else {
      f += 2 * x + 5 - 2 * y;
      y--;
    }
    x++;
  }
}

void draw_fillcircle(brim_bitmap* b, int cx, int cy, int r, int colour, uint32_t pattern) {
  int f = 1 - r, x = 0, y = r;
  while (x <= y) {
    draw_hline(b, cx - y, cx + y, cy + x, colour, pattern);
    draw_hline(b, cx - y, cx + y, cy - x, colour, pattern);
    if (f < 0) {
      f += 2 * x + 3;
    } else {
      draw_hline(b, cx - x, cx + x, cy + y, colour, pattern);
      draw_hline(b, cx - x, cx + x, cy - y, colour, pattern);
      f += 2 * x + 5 - 2 * y;
      y--;
    }
    x++;
  }
}

void draw_tinted_rect_adaptive(brim_bitmap* b, int x0, int y0, int x1, int y1, int adaptive) {
  static const uint8_t fixed[16] = {0, 0, 1, 1, 0, 0, 1, 5, 1, 5, 5, 5, 1, 1, 1, 5};
  static const uint8_t rank[16] = {0, 1, 3, 5, 4, 2, 11, 15, 7, 12, 13, 9, 8, 6, 10, 14};
  // Callers pass on-screen rectangles; keep a stray one inside the bitmap.
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, b->w - 1);
  y1 = std::min(y1, b->h - 1);
  if (x1 < x0 || y1 < y0) return;
  uint8_t table[16];
  std::copy(fixed, fixed + 16, table);
  if (adaptive == 1) {
    long per_rank[16] = {};
    for (int y = y0; y <= y1; y++)
      for (int x = x0; x <= x1; x++) per_rank[rank[b->line[y][x] & 15]]++;
    long area = long(x1 - x0 + 1) * (y1 - y0 + 1);
    long target = (2 * area) / 3;
    int best_t = 2;
    long best = -1;
    for (int t = 2; t <= 15; t++) {
      long below = 0;
      for (int k = 0; k < t; k++) below += per_rank[k];
      long diff = std::labs(below - target);
      if (best < 0 || diff < best) {
        best = diff;
        best_t = t;
      }
    }
    for (int c = 0; c < 16; c++) table[c] = rank[c] >= best_t ? 1 : 0;
  }
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) b->line[y][x] = table[b->line[y][x] & 15];
}

void gfx_pset(zurkel_machine* m, int x, int y, std::optional<int> c) {
  int colour = gfx_colour_byte(m, c);
  putpixel(m->screen, x - gfx_camera_x(m), y - gfx_camera_y(m), colour, gfx_pattern(m));
}

int gfx_pget(zurkel_machine* m, int x, int y) {
  brim_bitmap* b = m->screen;
  x -= gfx_camera_x(m);
  y -= gfx_camera_y(m);
  if (x < b->cl || x >= b->cr || y < b->ct || y >= b->cb) return 0;
  return b->line[y][x] & 15;
}

int gfx_line(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c) {
  int colour = gfx_colour_byte(m, c);
  int cx = gfx_camera_x(m), cy = gfx_camera_y(m);
  int steps = draw_line(m->screen, x0 - cx, y0 - cy, x1 - cx, y1 - cy, colour, gfx_pattern(m));
  return steps / 2 + 1;
}

int gfx_rect(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c) {
  int colour = gfx_colour_byte(m, c);
  uint32_t pat = gfx_pattern(m);
  brim_bitmap* b = m->screen;
  int cx = gfx_camera_x(m), cy = gfx_camera_y(m);
  x0 -= cx, x1 -= cx, y0 -= cy, y1 -= cy;
  draw_line(b, x0, y0, x1, y0, colour, pat);
  draw_line(b, x0, y1, x1, y1, colour, pat);
  draw_line(b, x0, y0, x0, y1, colour, pat);
  draw_line(b, x1, y0, x1, y1, colour, pat);
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  const int L = b->cl, T = b->ct, R = b->cr, B = b->cb;
  if (y1 < T || y0 >= B || x1 < L || x0 >= R) return GFX_NO_CHARGE;
  auto cxl = [&](int v) { return std::clamp(v, L, std::max(L, R - 1)); };
  auto cyl = [&](int v) { return std::clamp(v, T, std::max(T, B - 1)); };
  int w = cxl(x1) - cxl(x0), h = cyl(y1) - cyl(y0);
  int cost = 0;
  if (y0 >= T) cost += (w + 3) / 4;
  if (y1 < B) cost += (w + 3) / 4;
  if (x0 >= L) cost += std::max(h - 1, 0) / 2;
  if (x1 < R) cost += std::max(h - 1, 0) / 2;
  return cost;
}

// Length of [a0, a1] inside [lo, hi).
static int64_t visible_len(int64_t a0, int64_t a1, int lo, int hi) {
  return std::max<int64_t>(0, std::min<int64_t>(a1, hi - 1) - std::max<int64_t>(a0, lo) + 1);
}

int gfx_rectfill(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c) {
  int colour = gfx_colour_byte(m, c);
  uint32_t pat = gfx_pattern(m);
  brim_bitmap* b = m->screen;
  int cx = gfx_camera_x(m), cy = gfx_camera_y(m);
  x0 -= cx, x1 -= cx, y0 -= cy, y1 -= cy;
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  // Rows outside the clip draw nothing, so only the visible ones are walked.
  for (int y = std::max(y0, b->ct); y <= std::min(y1, b->cb - 1); y++)
    draw_hline(b, x0, x1, y, colour, pat);
  int64_t area = visible_len(x0, x1, b->cl, b->cr) * visible_len(y0, y1, b->ct, b->cb);
  return static_cast<int>(area / 16);
}

int gfx_circ(zurkel_machine* m, int x, int y, int r, std::optional<int> c) {
  int colour = gfx_colour_byte(m, c);
  if (r < 0) return GFX_NO_CHARGE;
  brim_bitmap* b = m->screen;
  x -= gfx_camera_x(m);
  y -= gfx_camera_y(m);
  draw_circle(b, x, y, r, colour, gfx_pattern(m));
  const int L = b->cl, T = b->ct, R = b->cr, B = b->cb;
  if (x + r < L || x - r >= R || y + r < T || y - r >= B) return GFX_NO_CHARGE;
  int rows = std::max(std::min(B, y + r), T) - std::max(y - r, T);
  return 2 * rows + 2;
}

int gfx_circfill(zurkel_machine* m, int x, int y, int r, std::optional<int> c) {
  if (r < 0) return GFX_NO_CHARGE;
  int colour = gfx_colour_byte(m, c);
  brim_bitmap* b = m->screen;
  x -= gfx_camera_x(m);
  y -= gfx_camera_y(m);
  draw_fillcircle(b, x, y, r, colour, gfx_pattern(m));
  int64_t area = visible_len(int64_t(x) - r, int64_t(x) + r, b->cl, b->cr) *
                 visible_len(int64_t(y) - r, int64_t(y) + r, b->ct, b->cb);
  return static_cast<int>(area / 16 + 2 * int64_t(r));
}
