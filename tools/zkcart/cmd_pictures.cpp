// import-gfx, export-gfx, import-label, export-label and export-map: the
// cart's pictures as PNG files in the console's 16 colours.
#include <cstdio>

#include "commands.h"

namespace {

int distance(const uint8_t* rgb, const std::array<uint8_t, 3>& c) {
  int d = 0;
  for (int i = 0; i < 3; i++) d += (rgb[i] - c[i]) * (rgb[i] - c[i]);
  return d;
}

// The console colour of a pixel: an exact match, else the nearest (earliest
// of equals) when allowed, else -1. Transparent pixels are colour 0.
int colour_of(const uint8_t* rgba, bool nearest) {
  if (rgba[3] == 0) return 0;
  int best = -1, best_d = 0;
  for (int c = 0; c < 16; c++) {
    int d = distance(rgba, zkc_colour(c));
    if (d == 0) return c;
    if (best < 0 || d < best_d) best = c, best_d = d;
  }
  return nearest ? best : -1;
}

std::string hex_colour(const uint8_t* rgb) {
  char s[8];
  std::snprintf(s, sizeof s, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
  return s;
}

// Reads a 128 x 128 PNG into console colours, or says why not.
bool read_picture(const std::string& path, bool nearest, zkc_picture& out) {
  std::vector<uint8_t> rgba;
  std::string err;
  if (!zkc_read_png(path, ZKC_SHEET, ZKC_SHEET, rgba, err)) return zkc_fail(path, err), false;
  int off = 0, first = -1;
  for (int i = 0; i < ZKC_SHEET * ZKC_SHEET; i++) {
    int c = colour_of(&rgba[4 * i], false);
    if (c < 0) {
      off++;
      if (first < 0) first = i;
      c = colour_of(&rgba[4 * i], nearest);
    }
    out[i] = static_cast<uint8_t>(c);
  }
  if (off == 0) return true;
  std::string where = hex_colour(&rgba[4 * first]) + " at (" + std::to_string(first % ZKC_SHEET) + ", " +
                      std::to_string(first / ZKC_SHEET) + ")";
  std::string more = off > 1 ? " and " + std::to_string(off - 1) + " more pixels" : "";
  if (nearest) {
    zkc_warn(path, "colours off the palette took the nearest console colour: " + where + more);
    return true;
  }
  zkc_fail(path, "colour " + where + more +
                     " is not one of the console's 16 colours (--nearest takes the nearest)");
  return false;
}

int export_picture(const zkc_args& a, bool label) {
  zkc_cart c;
  if (!zkc_open(a.pos[0], c)) return 1;
  if (label && !c.has_label) return zkc_fail(a.pos[0], "the cart has no label");
  if (!zkc_write_png(a.pos[1], (label ? c.label : c.gfx).data(), ZKC_SHEET, ZKC_SHEET))
    return zkc_fail(a.pos[1], "cannot write it");
  zkc_wrote(a.pos[1]);
  return 0;
}

}  // namespace

int cmd_import_gfx(const zkc_args& a) {
  zkc_cart c;
  zkc_picture sheet;
  if (!zkc_open(a.pos[0], c) || !read_picture(a.pos[1], a.has("--nearest"), sheet)) return 1;
  zkc_map before = c.map;
  c.gfx = sheet;
  zkc_sync_shared(c, true);
  int changed = 0;
  for (int i = ZKC_MAP_W * ZKC_SHARED_ROW; i < ZKC_MAP_W * ZKC_MAP_H; i++)
    changed += before[i] != 0 && before[i] != c.map[i];
  if (changed)
    zkc_warn(a.pos[1], std::to_string(changed) +
                           " cells of map rows 32-63 changed: the sheet's rows 64-127 are those map rows");
  return zkc_store(c, a.pos[0]) ? 0 : 1;
}

int cmd_import_label(const zkc_args& a) {
  zkc_cart c;
  if (!zkc_open(a.pos[0], c) || !read_picture(a.pos[1], a.has("--nearest"), c.label)) return 1;
  c.has_label = true;
  return zkc_store(c, a.pos[0]) ? 0 : 1;
}

int cmd_export_gfx(const zkc_args& a) { return export_picture(a, false); }
int cmd_export_label(const zkc_args& a) { return export_picture(a, true); }

int cmd_export_map(const zkc_args& a) {
  zkc_cart c;
  if (!zkc_open(a.pos[0], c)) return 1;
  std::vector<uint8_t> pixels = zkc_draw_map(c);
  if (!zkc_write_png(a.pos[1], pixels.data(), ZKC_MAP_W * 8, ZKC_MAP_H * 8))
    return zkc_fail(a.pos[1], "cannot write it");
  zkc_wrote(a.pos[1]);
  return 0;
}
