// Shape primitives: the routines that walk pixels, and the script-level
// forms (pset, pget, line, rect, rectfill, circ, circfill) that resolve the
// draw state. The script-level forms return the cycles to charge, or
// GFX_NO_CHARGE when the call charges nothing.
#pragma once
#include <cstdint>
#include <optional>

#include "base/bitmap.h"

struct zurkel_machine;

constexpr int GFX_NO_CHARGE = -1;

// Fixed-point DDA with pre-clipping; returns the step count (0 when rejected).
int draw_line(brim_bitmap* b, int x0, int y0, int x1, int y1, int colour, uint32_t pattern);
void draw_circle(brim_bitmap* b, int cx, int cy, int r, int colour, uint32_t pattern);
void draw_fillcircle(brim_bitmap* b, int cx, int cy, int r, int colour, uint32_t pattern);
// Darkens the inclusive rectangle behind a menu: with adaptive 1 by the
// rectangle's own brightness, otherwise through a fixed table.
void draw_tinted_rect_adaptive(brim_bitmap* b, int x0, int y0, int x1, int y1, int adaptive);

// Script-level forms. Coordinates are integer parts before the camera.
void gfx_pset(zurkel_machine* m, int x, int y, std::optional<int> c);
int gfx_pget(zurkel_machine* m, int x, int y);
int gfx_line(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c);
int gfx_rect(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c);
int gfx_rectfill(zurkel_machine* m, int x0, int y0, int x1, int y1, std::optional<int> c);
// r < 0 draws nothing (circ still takes the colour, circfill does not).
int gfx_circ(zurkel_machine* m, int x, int y, int r, std::optional<int> c);
int gfx_circfill(zurkel_machine* m, int x, int y, int r, std::optional<int> c);
