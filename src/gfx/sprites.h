// Sprites, map and flags of the live cart. Drawing forms return the cycles
// to charge, or GFX_NO_CHARGE when the call does nothing.
#pragma once
#include <cstdint>

struct zurkel_machine;

// w and h in pixels (8 each for a plain spr call).
int gfx_spr(zurkel_machine* m, int n, int x, int y, int w, int h, bool flip_x, bool flip_y);
int gfx_sspr(zurkel_machine* m, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
             bool flip_x, bool flip_y);
int gfx_map(zurkel_machine* m, int cel_x, int cel_y, int sx, int sy, int cel_w, int cel_h,
            int layer);
int gfx_sget(zurkel_machine* m, int x, int y);
void gfx_sset(zurkel_machine* m, int x, int y, int c);
int gfx_mget(zurkel_machine* m, int x, int y);
void gfx_mset(zurkel_machine* m, int x, int y, int v);
int gfx_fget(zurkel_machine* m, int n);
bool gfx_fget_bit(zurkel_machine* m, int n, int f);
void gfx_fset(zurkel_machine* m, int n, int v);
void gfx_fset_bit(zurkel_machine* m, int n, int f, bool on);
