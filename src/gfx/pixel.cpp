#include "gfx/pixel.h"

#include <algorithm>
#include <cstring>

void draw_hline(brim_bitmap* b, int x0, int x1, int y, int colour, uint32_t pattern) {
  if (y < b->ct || y >= b->cb) return;
  if (x1 < x0) std::swap(x0, x1);
  x0 = std::max(x0, b->cl);
  x1 = std::min(x1, b->cr - 1);
  if (x1 < x0) return;
  uint8_t* row = b->line[y];
  // The four-entry colour row, built once from the row's pattern nibble.
  int col[4];
  for (int k = 0; k < 4; k++) col[k] = gfx_pattern_colour(colour, pattern, k, y);
  if (col[0] == col[1] && col[1] == col[2] && col[2] == col[3]) {
    if (col[0] >= 0) std::memset(row + x0, col[0], static_cast<size_t>(x1 - x0 + 1));
    return;
  }
  for (int x = x0; x <= x1; x++) {
    int v = col[x & 3];
    if (v >= 0) row[x] = static_cast<uint8_t>(v);
  }
}
