#include "gfx/glyph_sheet.h"

#include <cstring>
#include <sstream>

#include "gfx/font.h"

namespace {

struct pending_glyph {
  int code = -1;
  int line = 0;
  std::vector<std::string> rows;
};

bool fail(std::string* error, int line, const char* what) {
  if (error) *error = "line " + std::to_string(line) + ": " + what;
  return false;
}

void free_all(std::vector<brim_bitmap*>& v) {
  for (brim_bitmap* b : v) brim_destroy_bitmap(b);
  v.clear();
}

}  // namespace

bool brim_parse_glyph_sheet(const std::string& text, std::vector<brim_bitmap*>& glyphs,
                            std::string* error) {
  std::vector<pending_glyph> parsed;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    number++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '=') {
      pending_glyph g;
      g.line = number;
      char* end = nullptr;
      long code = std::strtol(line.c_str() + 1, &end, 10);
      if (end == line.c_str() + 1 || code < 0 || code > 255) return fail(error, number, "bad glyph code");
      g.code = static_cast<int>(code);
      parsed.push_back(g);
      continue;
    }
    if (parsed.empty()) return fail(error, number, "glyph rows before any '= CODE' line");
    if (line.find_first_not_of("#.") != std::string::npos) return fail(error, number, "rows hold only '#' and '.'");
    pending_glyph& g = parsed.back();
    if (!g.rows.empty() && g.rows[0].size() != line.size()) return fail(error, number, "rows of one glyph differ in width");
    if (g.rows.size() >= 64 || line.size() > 64) return fail(error, number, "glyph larger than 64 x 64");
    g.rows.push_back(line);
  }
  std::vector<brim_bitmap*> out(256, nullptr);
  for (const pending_glyph& g : parsed) {
    if (g.rows.empty()) {
      free_all(out);
      return fail(error, g.line, "glyph without rows");
    }
    if (out[g.code]) {
      free_all(out);
      return fail(error, g.line, "glyph drawn twice");
    }
    int w = static_cast<int>(g.rows[0].size()), h = static_cast<int>(g.rows.size());
    brim_bitmap* b = brim_create_bitmap(w, h, 8);
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) b->line[y][x] = g.rows[y][x] == '#' ? BRIM_GLYPH_INK : 0;
    out[g.code] = b;
  }
  for (brim_bitmap*& b : out)
    if (!b) b = brim_create_bitmap(3, 5, 8);
  glyphs.insert(glyphs.end(), out.begin(), out.end());
  return true;
}

brim_font* brim_font_from_glyph_sheet(const std::string& text, std::string* error) {
  std::vector<brim_bitmap*> glyphs;
  if (!brim_parse_glyph_sheet(text, glyphs, error)) return nullptr;
  brim_font* f = brim_create_font();
  f->glyphs = glyphs;
  return f;
}

brim_font* brim_font_from_bitmaps(const std::vector<const brim_bitmap*>& glyphs) {
  if (glyphs.empty() || !glyphs[0]) return nullptr;
  brim_font* f = brim_create_font();
  f->ascii = glyphs[0]->flags & 1;
  for (const brim_bitmap* g : glyphs) {
    brim_bitmap* c = g ? brim_create_bitmap(g->w, g->h, g->depth) : nullptr;
    if (!c) {  // keep code positions: a missing glyph is blank
      f->glyphs.push_back(brim_create_bitmap(3, 5, 8));
      continue;
    }
    size_t row = static_cast<size_t>(g->w) * (g->depth / 8);
    for (int y = 0; y < g->h; y++) std::memcpy(c->line[y], g->line[y], row);
    c->flags = g->flags;
    f->glyphs.push_back(c);
  }
  return f;
}
