#include "gfx/font.h"

#include <algorithm>
#include <cstring>

int brim_font_spacing = 1;
brim_font* brim_font1 = nullptr;
brim_font* brim_font2 = nullptr;

// Glyphs for codes 32-127, five rows each; bit 4 is the leftmost column.
static const uint8_t builtin_glyphs[96][5] = {
    {0x00, 0x00, 0x00, 0x00, 0x00}, {0x04, 0x04, 0x04, 0x00, 0x04}, {0x0A, 0x0A, 0x00, 0x00, 0x00},
    {0x0A, 0x1F, 0x0A, 0x1F, 0x0A}, {0x1F, 0x14, 0x1F, 0x05, 0x1F}, {0x11, 0x02, 0x04, 0x08, 0x11},
    {0x08, 0x14, 0x1D, 0x12, 0x0D}, {0x04, 0x04, 0x00, 0x00, 0x00}, {0x04, 0x08, 0x08, 0x08, 0x04},
    {0x04, 0x02, 0x02, 0x02, 0x04}, {0x15, 0x0E, 0x1F, 0x0E, 0x15}, {0x04, 0x04, 0x1F, 0x04, 0x04},
    {0x00, 0x00, 0x00, 0x08, 0x10}, {0x00, 0x00, 0x1F, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x04},
    {0x01, 0x02, 0x04, 0x08, 0x10}, {0x1F, 0x11, 0x11, 0x11, 0x1F}, {0x04, 0x0C, 0x04, 0x04, 0x1F},
    {0x1F, 0x01, 0x1F, 0x10, 0x1F}, {0x1F, 0x01, 0x07, 0x01, 0x1F}, {0x11, 0x11, 0x1F, 0x01, 0x01},
    {0x1F, 0x10, 0x1F, 0x01, 0x1F}, {0x10, 0x10, 0x1F, 0x11, 0x1F}, {0x1F, 0x01, 0x01, 0x01, 0x01},
    {0x1F, 0x11, 0x1F, 0x11, 0x1F}, {0x1F, 0x11, 0x1F, 0x01, 0x01}, {0x00, 0x04, 0x00, 0x04, 0x00},
    {0x00, 0x04, 0x00, 0x04, 0x08}, {0x03, 0x0C, 0x10, 0x0C, 0x03}, {0x00, 0x0E, 0x00, 0x0E, 0x00},
    {0x18, 0x06, 0x01, 0x06, 0x18}, {0x1F, 0x01, 0x07, 0x00, 0x04}, {0x1F, 0x11, 0x1D, 0x15, 0x1D},
    {0x1F, 0x11, 0x1F, 0x11, 0x11}, {0x1E, 0x11, 0x1E, 0x11, 0x1F}, {0x0F, 0x10, 0x10, 0x10, 0x0F},
    {0x1E, 0x11, 0x11, 0x11, 0x1F}, {0x1F, 0x10, 0x1C, 0x10, 0x1F}, {0x1F, 0x10, 0x1E, 0x10, 0x10},
    {0x0E, 0x10, 0x10, 0x11, 0x0F}, {0x11, 0x11, 0x1F, 0x11, 0x11}, {0x0E, 0x04, 0x04, 0x04, 0x0E},
    {0x02, 0x02, 0x02, 0x12, 0x0C}, {0x12, 0x14, 0x18, 0x14, 0x12}, {0x10, 0x10, 0x10, 0x10, 0x1F},
    {0x11, 0x1B, 0x15, 0x11, 0x11}, {0x11, 0x19, 0x15, 0x13, 0x11}, {0x0E, 0x11, 0x11, 0x11, 0x0E},
    {0x1E, 0x11, 0x1E, 0x10, 0x10}, {0x1F, 0x11, 0x11, 0x13, 0x1F}, {0x1E, 0x11, 0x1E, 0x11, 0x11},
    {0x0F, 0x10, 0x0E, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04}, {0x11, 0x11, 0x11, 0x11, 0x0E},
    {0x11, 0x11, 0x11, 0x0A, 0x04}, {0x11, 0x11, 0x15, 0x1B, 0x11}, {0x11, 0x0A, 0x04, 0x0A, 0x11},
    {0x11, 0x11, 0x0E, 0x04, 0x04}, {0x1F, 0x02, 0x04, 0x08, 0x1F}, {0x0C, 0x08, 0x08, 0x08, 0x0C},
    {0x10, 0x08, 0x04, 0x02, 0x01}, {0x06, 0x02, 0x02, 0x02, 0x06}, {0x04, 0x0A, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x1F}, {0x04, 0x02, 0x00, 0x00, 0x00},
    // 97-122 repeat the capitals (filled in below).
    {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
    {}, {},
    {0x04, 0x04, 0x08, 0x04, 0x04}, {0x04, 0x04, 0x04, 0x04, 0x04}, {0x04, 0x04, 0x02, 0x04, 0x04},
    {0x05, 0x0A, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x1F},
};

static const uint8_t* builtin_rows(int code) {
  if (code >= 97 && code <= 122) code -= 32;
  return builtin_glyphs[code - 32];
}

brim_font* brim_create_font() { return new brim_font; }

void brim_destroy_font(brim_font* font) {
  if (!font) return;
  for (brim_bitmap* g : font->glyphs) brim_destroy_bitmap(g);
  delete font;
}

static void put_ink(brim_bitmap* g, int x, int y, uint32_t ink) {
  if (g->depth == 8)
    g->line[y][x] = static_cast<uint8_t>(ink);
  else
    brim_line32(g, y)[x] = ink;
}

static void add_blank(brim_font* f, int w, int depth) {
  f->glyphs.push_back(brim_create_bitmap(w, 5, depth));
}

void brim_text_init() {
  if (brim_font1) return;
  brim_font1 = brim_create_font();
  brim_font2 = brim_create_font();
  for (int depth : {8, 32}) {
    for (int c = 0; c < 32; c++) {
      add_blank(brim_font1, 5, depth);
      add_blank(brim_font2, 6, depth);
    }
    for (int c = 32; c < 128; c++) {
      const uint8_t* rows = builtin_rows(c);
      brim_bitmap* plain = brim_create_bitmap(5, 5, depth);
      brim_bitmap* bold = brim_create_bitmap(6, 5, depth);
      uint32_t ink1 = depth == 8 ? 255u : 0xFFC0C0C0u;
      uint32_t ink2 = depth == 8 ? 255u : 0xFFFFFFFFu;
      for (int j = 0; j < 5; j++)
        for (int k = 0; k < 5; k++)
          if (rows[j] & (1 << (4 - k))) {
            put_ink(plain, k, j, ink1);
            put_ink(bold, k, j, ink2);
            put_ink(bold, k + 1, j, ink2);
          }
      brim_font1->glyphs.push_back(plain);
      brim_font2->glyphs.push_back(bold);
    }
    for (int c = 128; c < 256; c++) {
      add_blank(brim_font1, 5, depth);
      add_blank(brim_font2, 6, depth);
    }
  }
}

void brim_text_exit() {
  brim_destroy_font(brim_font1);
  brim_destroy_font(brim_font2);
  brim_font1 = brim_font2 = nullptr;
}

namespace {

struct glyph_range {
  int first = 0, count = 256;  // codes covered, and glyphs per set
};

glyph_range range_of(const brim_font* f) {
  return f->ascii ? glyph_range{32, 96} : glyph_range{0, 256};
}

// The glyph of code c in set `set`, or null when the code is out of range.
const brim_bitmap* glyph_at(const brim_font* f, int set, unsigned char c) {
  glyph_range r = range_of(f);
  if (c < r.first || c >= r.first + r.count) return nullptr;
  size_t i = static_cast<size_t>(set) * r.count + (c - r.first);
  return i < f->glyphs.size() ? f->glyphs[i] : nullptr;
}

int sum_of_advances(const char* text, const brim_font* f, int set) {
  int sum = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++)
    if (const brim_bitmap* g = glyph_at(f, set, *p)) sum += g->w + brim_font_spacing;
  return sum;
}

bool is_ink(const brim_bitmap* g, int x, int y) {
  return g->depth == 8 ? g->line[y][x] != 0 : reinterpret_cast<const uint32_t*>(g->line[y])[x] != 0;
}

uint32_t ink_of(const brim_bitmap* g, int x, int y) {
  return g->depth == 8 ? g->line[y][x] : reinterpret_cast<const uint32_t*>(g->line[y])[x];
}

void draw_glyph(brim_bitmap* b, const brim_bitmap* g, int x, int y, bool use_colour,
                uint32_t colour) {
  int x0 = std::max(x, b->cl), x1 = std::min(x + g->w, b->cr);
  int y0 = std::max(y, b->ct), y1 = std::min(y + g->h, b->cb);
  for (int py = y0; py < y1; py++)
    for (int px = x0; px < x1; px++) {
      if (!is_ink(g, px - x, py - y)) continue;
      uint32_t v = use_colour ? colour : ink_of(g, px - x, py - y);
      if (b->depth == 8)
        b->line[py][px] = static_cast<uint8_t>(v);
      else
        brim_line32(b, py)[px] = v;
    }
}

}  // namespace

int brim_draw_text_ex(brim_bitmap* b, const char* text, const brim_font* font, int x, int y,
                      int flags, uint32_t colour) {
  if (!text || !font || !b || font->glyphs.empty()) return y;
  const int saved_cl = b->cl;
  bool ellipsis = false;
  if (flags & BRIM_TEXT_ELLIPSIS) {
    int advances = sum_of_advances(text, font, 0);
    if (advances - brim_font_spacing > b->cr - x) {
      ellipsis = true;
      b->cl = std::min(b->cl + 15, b->cr);
      x = b->cr + brim_font_spacing - advances;
    }
  }
  if (flags & BRIM_TEXT_CENTRE) x -= (sum_of_advances(text, font, 0) - brim_font_spacing) / 2;
  if (flags & BRIM_TEXT_RIGHT) x -= sum_of_advances(text, font, 0) - brim_font_spacing;

  // Pick the set matching the bitmap's depth unless a plain colour is asked.
  int set = 0;
  if (!(flags & BRIM_TEXT_COLOUR)) {
    glyph_range r = range_of(font);
    int sets = static_cast<int>(font->glyphs.size()) / r.count;
    bool found = false;
    for (int s = 0; s < sets && !found; s++) {
      const brim_bitmap* first = font->glyphs[static_cast<size_t>(s) * r.count];
      if (first && first->depth == b->depth) {
        set = s;
        found = true;
      }
    }
    if (!found) flags |= BRIM_TEXT_COLOUR;
  }
  const bool use_colour = flags & BRIM_TEXT_COLOUR;

  const int start_x = x;
  int line_h = 0, last_advance = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
    if (const brim_bitmap* g = glyph_at(font, set, *p)) {
      draw_glyph(b, g, x, y, use_colour, colour);
      last_advance = g->w + brim_font_spacing;
      x += last_advance;
      line_h = std::max(line_h, g->h);
    }
    if (*p == 127) break;
    if (*p == '\n' || ((flags & BRIM_TEXT_WRAP) && b->cr - last_advance < x)) {
      x = start_x;
      y += brim_font_spacing + line_h;
      line_h = 0;
    }
  }
  if (ellipsis) {
    b->cl = saved_cl;
    brim_draw_text_ex(b, "..", brim_font1, b->cl, y, 0, 0);
  }
  return y;
}

int brim_draw_text(brim_bitmap* b, const char* text, const brim_font* font, int x, int y) {
  return brim_draw_text_ex(b, text, font, x, y, 0, 0);
}

int brim_draw_text_c(brim_bitmap* b, const char* text, const brim_font* font, int x, int y) {
  return brim_draw_text_ex(b, text, font, x, y, BRIM_TEXT_CENTRE, 0);
}

int brim_draw_text_phat(brim_bitmap* b, const char* text, const brim_font* font, int x, int y,
                        int flags, uint32_t outline, uint32_t colour) {
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++)
      brim_draw_text_ex(b, text, font, x + dx, y + dy, flags | BRIM_TEXT_COLOUR, outline);
  return brim_draw_text_ex(b, text, font, x, y, flags | BRIM_TEXT_COLOUR, colour);
}

int brim_get_text_width(const char* text, const brim_font* font) {
  if (!text || !font) return 0;
  return sum_of_advances(text, font, 0) - brim_font_spacing;
}
