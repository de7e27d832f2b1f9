#include "capture/scale.h"

#include <cstring>

#include "base/bitmap.h"

brim_bitmap* capture_scale_bitmap(const brim_bitmap* src, int s) {
  if (!src || src->depth != 8 || s < 1) return nullptr;
  brim_bitmap* dst = brim_create_bitmap(src->w * s, src->h * s, 8);
  if (!dst) return nullptr;
  for (int y = 0; y < src->h; y++) {
    uint8_t* row = dst->line[y * s];
    const uint8_t* in = src->line[y];
    for (int x = 0; x < src->w; x++) std::memset(row + x * s, in[x], s);
    for (int k = 1; k < s; k++) std::memcpy(dst->line[y * s + k], row, dst->w);
  }
  return dst;
}
