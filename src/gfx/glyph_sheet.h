// Glyph sheets: fonts kept as editable text drawings. A block starts with
// "= CODE [name]" and is followed by its rows ('#' ink, '.' blank, all rows
// of one width); lines starting with ';' are comments. Codes not drawn are
// blank 3 x 5 glyphs.
#pragma once
#include <string>
#include <vector>

#include "base/bitmap.h"

struct brim_font;

constexpr int BRIM_GLYPH_INK = 7;  // the value of ink pixels in 8-bit glyphs

// 256 8-bit glyph bitmaps for codes 0-255 (caller owns them). On a malformed
// sheet returns false with a message naming the line, and no bitmaps.
bool brim_parse_glyph_sheet(const std::string& text, std::vector<brim_bitmap*>& glyphs,
                            std::string* error);
// A font over the parsed glyphs (codes 0-255), or null on a bad sheet.
brim_font* brim_font_from_glyph_sheet(const std::string& text, std::string* error);
// A font from glyph bitmaps as stored in a pod (copies them). Bit 0 of the
// first glyph's flags set means the set covers codes 32-127.
brim_font* brim_font_from_bitmaps(const std::vector<const brim_bitmap*>& glyphs);
