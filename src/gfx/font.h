// Glyph sets and the engine's text layout routine.
#pragma once
#include <cstdint>
#include <vector>

#include "base/bitmap.h"

// An ordered list of glyph bitmaps. With `ascii` clear a set covers codes
// 0-255 (code c at index c), with it set codes 32-127 (index c - 32). A font
// may hold the set twice: first 8-bit, then 32-bit glyphs.
struct brim_font {
  bool ascii = false;
  std::vector<brim_bitmap*> glyphs;  // owned
};

enum brim_text_flags {
  BRIM_TEXT_COLOUR = 1,    // every ink pixel in the given colour
  BRIM_TEXT_CENTRE = 2,    // centre on x
  BRIM_TEXT_RIGHT = 4,     // end at x
  BRIM_TEXT_ELLIPSIS = 8,  // cut at the clip's right side with ".."
  BRIM_TEXT_WRAP = 0x10,   // wrap at the clip's right side
};

extern int brim_font_spacing;   // pixels after every glyph and between lines
extern brim_font* brim_font1;   // built-in 5 x 5
extern brim_font* brim_font2;   // built-in 6 x 5, bold

// Builds and frees the built-in fonts (engine start and exit).
void brim_text_init();
void brim_text_exit();

brim_font* brim_create_font();
void brim_destroy_font(brim_font* font);

// Lays out text; returns the y of the last line. colour is a palette index
// on 8-bit bitmaps and 0xAARRGGBB on 32-bit ones.
int brim_draw_text_ex(brim_bitmap* b, const char* text, const brim_font* font, int x, int y,
                      int flags, uint32_t colour);
int brim_draw_text(brim_bitmap* b, const char* text, const brim_font* font, int x, int y);
int brim_draw_text_c(brim_bitmap* b, const char* text, const brim_font* font, int x, int y);
// Outline in every direction, then the text itself (flag 1 added to both).
int brim_draw_text_phat(brim_bitmap* b, const char* text, const brim_font* font, int x, int y,
                        int flags, uint32_t outline, uint32_t colour);
int brim_get_text_width(const char* text, const brim_font* font);
