#include "console/screen.h"

#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/video.h"

brim_bitmap* console_back_page() {
  if (!brim_back_page) brim_back_page = brim_create_bitmap(128, 128, 8);
  return brim_back_page;
}

void console_set_back_page_size(int w, int h) {
  if (brim_back_page && brim_back_page->w == w && brim_back_page->h == h) return;
  brim_destroy_bitmap(brim_back_page);
  brim_back_page = brim_create_bitmap(w, h, 8);
}

void console_text(brim_bitmap* b, const char* text, int x, int y, int colour) {
  if (b) brim_draw_text_ex(b, text, zurkel_console_font, x, y, BRIM_TEXT_COLOUR, static_cast<uint32_t>(colour));
}
