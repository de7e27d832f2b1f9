// Console stage of display output: the screen through the screen palette
// into the display bitmap, then the screen mode.
#pragma once
#include <cstdint>

#include "base/bitmap.h"

struct zurkel_machine;

// True when 0x5F60-0x5F63 hold the extended-palette unlock code ("zkpl"):
// screen palette bit 7 then selects colours 128-143.
bool gfx_extended_palette_unlocked(const zurkel_machine* m);
// Screen-mode transform of a 128 x 128 bitmap (mode = register 0x5F2C).
void apply_draw_mode(brim_bitmap* b, int mode);
// Copies the screen into the display bitmap through the screen palette;
// the screen mode applies when `cart_running` (the console passes mode 1).
void gfx_present_screen(zurkel_machine* m, bool cart_running);
