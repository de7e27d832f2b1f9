#include "base/bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <new>

brim_bitmap* brim_create_bitmap(int w, int h, int depth) {
  if (w <= 0 || h <= 0 || (depth != 8 && depth != 32)) return nullptr;
  // Refuse absurd sizes rather than overflow (16384 x 16384 is plenty).
  if (w > 16384 || h > 16384) return nullptr;
  auto* bmp = new (std::nothrow) brim_bitmap;
  if (!bmp) return nullptr;
  size_t stride = static_cast<size_t>(w) * (depth / 8);
  bmp->data = static_cast<uint8_t*>(std::calloc(stride * h, 1));
  bmp->line = static_cast<uint8_t**>(std::calloc(h, sizeof(uint8_t*)));
  if (!bmp->data || !bmp->line) {
    std::free(bmp->data);
    std::free(bmp->line);
    delete bmp;
    return nullptr;
  }
  bmp->w = w;
  bmp->h = h;
  bmp->depth = depth;
  for (int y = 0; y < h; y++) bmp->line[y] = bmp->data + stride * y;
  brim_reset_clip(bmp);
  return bmp;
}

void brim_destroy_bitmap(brim_bitmap* bmp) {
  if (!bmp) return;
  std::free(bmp->data);
  std::free(bmp->line);
  delete bmp;
}

void brim_set_clip(brim_bitmap* bmp, int left, int top, int right, int bottom) {
  bmp->cl = std::clamp(left, 0, bmp->w);
  bmp->ct = std::clamp(top, 0, bmp->h);
  bmp->cr = std::clamp(right, 0, bmp->w);
  bmp->cb = std::clamp(bottom, 0, bmp->h);
}

void brim_reset_clip(brim_bitmap* bmp) { brim_set_clip(bmp, 0, 0, bmp->w, bmp->h); }

void brim_fill_rect(brim_bitmap* bmp, int x0, int y0, int x1, int y1, int value) {
  for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < bmp->h; y++)
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < bmp->w; x++) bmp->line[y][x] = static_cast<uint8_t>(value);
}
