// The per-pixel pipeline behind every shape and text: clip rectangle, fill
// pattern, store. Colours arrive already mapped through the draw palette.
#pragma once
#include <cstdint>

#include "base/bitmap.h"

// Pattern bit of screen pixel (x, y): bit 15 is (0, 0) of each 4 x 4 cell.
inline int gfx_pattern_bit(uint32_t pattern, int x, int y) {
  return (pattern >> (15 - (4 * (y & 3) + (x & 3)))) & 1;
}

// The colour a pattern gives a pixel: -1 means skip (transparent 1-bit).
inline int gfx_pattern_colour(int colour, uint32_t pattern, int x, int y) {
  if (!gfx_pattern_bit(pattern, x, y)) return colour & 15;
  if (pattern & 0x10000) return -1;
  return (colour >> 4) & 15;
}

// One pixel: clip, pattern, store (colour byte: low nibble primary, high
// nibble secondary).
inline void putpixel(brim_bitmap* b, int x, int y, int colour, uint32_t pattern) {
  if (x < b->cl || x >= b->cr || y < b->ct || y >= b->cb) return;
  int v = pattern ? gfx_pattern_colour(colour, pattern, x, y) : (colour & 15);
  if (v >= 0) b->line[y][x] = static_cast<uint8_t>(v);
}

// A horizontal span with inclusive ends in either order.
void draw_hline(brim_bitmap* b, int x0, int x1, int y, int colour, uint32_t pattern);
