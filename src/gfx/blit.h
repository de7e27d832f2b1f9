// Block copies between 8-bit bitmaps, shared by sprites, map and text.
// Values of 16 and above mark transparent pixels (draw palette bit 4).
#pragma once
#include <cstdint>

#include "base/bitmap.h"

// Cuts the source rectangle to the source bitmap and the destination
// rectangle to the destination's clip, moving the other origin by whatever
// is cut. False when nothing is left.
bool brim_clip(const brim_bitmap* src, const brim_bitmap* dst, int& sx, int& sy, int& dx, int& dy,
               int& w, int& h);

// Destination = low 8 bits of palette[source & 15], flipped as asked.
void zurkel_blit(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx, int dy, int w,
                 int h, bool flip_x, bool flip_y, const int32_t* palette);
// Copies the source values below 16.
void zurkel_draw_sprite(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx, int dy,
                        int w, int h);
// Copies palette[source & 15] where that is below 16.
void zurkel_draw_sprite_pal(const brim_bitmap* src, brim_bitmap* dst, int sx, int sy, int dx,
                            int dy, int w, int h, const int32_t* palette);
// Scales the whole source into (dx, dy, dw, dh), copying values below 16;
// every destination pixel samples the centre of its footprint.
void zurkel_stretch_blit(const brim_bitmap* src, brim_bitmap* dst, int dx, int dy, int dw, int dh);

// Pixels of the rectangle (x, y, w, h) inside the bitmap's clip.
int64_t gfx_visible_area(const brim_bitmap* b, int64_t x, int64_t y, int64_t w, int64_t h);
