#include "gfx/resources.h"

#include <string>
#include <vector>

#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/glyph_sheet.h"
#include "gfx/print.h"
#include "gfx/video.h"
#include "pod/pod.h"

namespace {
// Copies of the graphics pod's bitmaps by item number.
std::vector<brim_bitmap*> icons;

brim_bitmap* copy_bitmap(const brim_bitmap* b) {
  brim_bitmap* c = brim_create_bitmap(b->w, b->h, b->depth);
  if (!c) return nullptr;
  for (int y = 0; y < b->h; y++)
    for (int x = 0; x < b->w * (b->depth / 8); x++) c->line[y][x] = b->line[y][x];
  c->flags = b->flags;
  return c;
}
}  // namespace

void gfx_free_resources() {
  for (brim_bitmap* b : icons) brim_destroy_bitmap(b);
  icons.clear();
  if (zurkel_console_font) brim_destroy_font(zurkel_console_font);
  zurkel_console_font = nullptr;
}

void gfx_load_resources(const brim_pod* gfx_pod, const brim_pod* font_pod) {
  gfx_free_resources();
  brim_set_window_title("ZURKEL");
  if (gfx_pod) {
    if (const brim_pod_palette* p = cpod_get_palette(gfx_pod, GFX_RES_PALETTE))
      brim_set_palette(&p->rgb[0][0]);
    if (const brim_stream* t = cpod_get_file(gfx_pod, GFX_RES_TITLE); t && t->size > 0)
      brim_set_window_title(std::string(reinterpret_cast<const char*>(t->data), t->size).c_str());
    if (const brim_bitmap* icon = cpod_get_bitmap(gfx_pod, GFX_RES_WINDOW_ICON))
      brim_set_window_icon(icon);
    icons.assign(gfx_pod->count > 0 ? gfx_pod->count : 0, nullptr);
    for (int i = 0; i < gfx_pod->count; i++)
      if (const brim_bitmap* b = cpod_get_bitmap(gfx_pod, i)) icons[i] = copy_bitmap(b);
  }
  if (font_pod) {
    std::vector<const brim_bitmap*> glyphs;
    for (int i = 0; i < font_pod->count; i++)
      if (const brim_bitmap* b = cpod_get_bitmap(font_pod, i)) glyphs.push_back(b);
    if (!glyphs.empty()) zurkel_console_font = brim_font_from_bitmaps(glyphs);
  }
}

const brim_bitmap* gfx_resource_bitmap(int item) {
  if (item < 0 || item >= static_cast<int>(icons.size())) return nullptr;
  return icons[item];
}

void gfx_draw_icon(brim_bitmap* dst, int item, int x, int y) {
  const brim_bitmap* b = gfx_resource_bitmap(item);
  if (!dst || !b || b->depth != 8 || dst->depth != 8) return;
  for (int j = 0; j < b->h; j++) {
    int py = y + j;
    if (py < dst->ct || py >= dst->cb) continue;
    for (int i = 0; i < b->w; i++) {
      int px = x + i;
      if (px < dst->cl || px >= dst->cr) continue;
      if (uint8_t v = b->line[j][i]) dst->line[py][px] = v;
    }
  }
}
