// The draw state: palettes, clip, pen, cursor, camera, screen mode and fill
// pattern, held as integers in the machine record (see machine/machine.h).
// These are the C++ forms of the script functions; the zk_ entry points in
// gfx_api.cpp only read arguments and charge cycles.
#pragma once
#include <cstdint>
#include <optional>

struct zurkel_machine;

constexpr int GFX_TRANSPARENT = 0x10;   // draw palette bit: skipped by sprites and map

// Drawing part of reset_runtime_state: pen 6, cursor x 0 (y kept), camera 0,
// palettes reset, screen mode 0, clip full, fill pattern 0.
void gfx_reset_draw_state(zurkel_machine* m);
// Drawing part of suspend_program. `cart_program` is true when a cartridge
// program (not a console command) stops: the screen palette then goes back
// to identity unless byte 0x5F2E is 1.
void gfx_suspend_draw_state(zurkel_machine* m, bool cart_program);

void gfx_camera(zurkel_machine* m, int x, int y);
// full = fewer than four arguments.
void gfx_clip(zurkel_machine* m, bool full, int x, int y, int w, int h);
// Sets the screen bitmap's clip from the four clip registers.
void gfx_apply_clip_registers(zurkel_machine* m);
void gfx_cls(zurkel_machine* m, int c);
void gfx_color(zurkel_machine* m, int c);
void gfx_cursor(zurkel_machine* m, int x, int y);
// pal() with fewer than two arguments.
void gfx_pal_reset(zurkel_machine* m);
// pal(c0, c1[, p]): p is the integer part of the third argument (0 = draw palette).
void gfx_pal(zurkel_machine* m, int c0, int c1, int p);
// palt() with fewer than two arguments.
void gfx_palt_reset(zurkel_machine* m);
void gfx_palt(zurkel_machine* m, int c, bool transparent);
// fillp(): raw is the 16.16 value of the argument; no argument clears.
void gfx_fillp(zurkel_machine* m, std::optional<int32_t> raw);

// Step 1 of the pixel pipeline: an explicit colour becomes the pen (low 8
// bits); the result is the pen byte with both nibbles through the draw palette.
int gfx_colour_byte(zurkel_machine* m, std::optional<int> c);
uint32_t gfx_pattern(const zurkel_machine* m);
int gfx_camera_x(const zurkel_machine* m);
int gfx_camera_y(const zurkel_machine* m);
