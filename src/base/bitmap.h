// The engine's image: 8 bits per pixel (palette indices) or 32 bits per
// pixel (bytes blue, green, red, alpha), one row pointer per row, and a
// clip rectangle that every drawing routine honours.
#pragma once
#include <cstdint>

struct brim_bitmap {
  int w = 0, h = 0;
  int depth = 8;            // bits per pixel: 8 or 32
  int flags = 0;            // kept with the bitmap (pod bitmap flags)
  uint8_t* data = nullptr;  // w * h * depth/8 bytes, row by row
  uint8_t** line = nullptr; // line[y] points at row y
  // Clip rectangle: left and top inclusive, right and bottom exclusive.
  int cl = 0, ct = 0, cr = 0, cb = 0;
};

// Zero-filled; null when the size is not positive or too large.
brim_bitmap* brim_create_bitmap(int w, int h, int depth);
void brim_destroy_bitmap(brim_bitmap* bmp);

// Sets the clip rectangle, clamped to the bitmap.
void brim_set_clip(brim_bitmap* bmp, int left, int top, int right, int bottom);
void brim_reset_clip(brim_bitmap* bmp);

// Fills the inclusive rectangle of an 8-bit bitmap with one value, cut to
// the bitmap (its clip rectangle is not consulted).
void brim_fill_rect(brim_bitmap* bmp, int x0, int y0, int x1, int y1, int value);

// Row-stride helpers for 32-bit bitmaps.
inline uint32_t* brim_line32(brim_bitmap* bmp, int y) {
  return reinterpret_cast<uint32_t*>(bmp->line[y]);
}
