// The few services the cartridge file code takes from other parts of the
// console (printer, banner, folders, palette, font, clipboard, code tabs),
// gathered here so the cartridge code can be tested on its own: a test can
// route the banner into its own function (the printer has its listener).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/bitmap.h"
#include "machine/cart.h"

// Console line in a colour (0-15), through the console printer.
void cart_print(const char* text, int colour);
// Status banner at the bottom of the screen for ms milliseconds.
void cart_banner(const char* text, int ms);

// Test hook; null restores the console's own banner.
using cart_banner_fn = void (*)(const char* text, int ms);
void cart_set_banner_hook(cart_banner_fn fn);

// The per-user data folder, ending in "/".
std::string cart_data_folder();
// The cartridge folder plus the current folder, ending in "/".
std::string cart_current_folder();
// Overrides for tests (empty restores the configured folders).
void cart_set_folders(const std::string& data_folder, const std::string& current_folder);

// 256 entries of red, green, blue: the display palette.
const uint8_t* cart_palette_rgb();
// The 160 x 205 cartridge template (32 bits per pixel), or null.
const brim_bitmap* cart_template_bitmap();
// Draws text in the console font into a 32-bit bitmap, colour 0xRRGGBB.
void cart_draw_text_rgb(brim_bitmap* bmp, const char* text, int x, int y, uint32_t rgb);

// Host clipboard text; false when unavailable.
bool cart_clipboard_get(std::string& text);
bool cart_clipboard_set(const std::string& text);

// The console's code tabs: split a cart's code text into them, and rebuild
// the code text from them (returns the full merged length, which may exceed
// what the code buffer holds).
void cart_split_tabs(const zurkel_cart* cart);
size_t cart_merge_tabs(zurkel_cart* cart);
// Resets the console's editing state after a new cart became the loaded cart.
void cart_reset_editing_state();
