// The browser's picture, drawn into the machine screen each frame.
#include <cstdio>
#include <cstring>
#include <string>

#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/printer.h"
#include "gfx/resources.h"
#include "gfx/shapes.h"
#include "machine/machine.h"
#include "splore/download.h"
#include "splore/splore.h"
#include "splore/splore_state.h"

namespace {
constexpr int ROW_X0 = 12, ROW_X1 = 115, ROWS_Y = 82, ROW_H = 7, ROWS_SHOWN = 6;

void fill(brim_bitmap* b, int x0, int y0, int x1, int y1, int c) {
  for (int y = y0 < b->ct ? b->ct : y0; y <= y1 && y < b->cb; y++)
    for (int x = x0 < b->cl ? b->cl : x0; x <= x1 && x < b->cr; x++) b->line[y][x] = static_cast<uint8_t>(c);
}

void clip(brim_bitmap* b, int l, int t, int r, int bottom) {
  b->cl = l;
  b->ct = t;
  b->cr = r;
  b->cb = bottom;
}

void text(brim_bitmap* b, const std::string& s, int x, int y, int c) {
  if (zurkel_console_font) brim_draw_text_ex(b, s.c_str(), zurkel_console_font, x, y, BRIM_TEXT_COLOUR, c);
}

int width(const std::string& s) { return zurkel_console_font ? brim_get_text_width(s.c_str(), zurkel_console_font) : 4 * int(s.size()); }

void centred(brim_bitmap* b, const std::string& s, int cx, int y, int c) { text(b, s, cx - width(s) / 2, y, c); }

void empty_favourites(brim_bitmap* b) {
  fill(b, 0, 0, 127, 127, 5);
  centred(b, "your favourites list is empty", 64, 15, 6);
  text(b, "press \x91 and then \x97", 22, 50, 7);
  centred(b, "to see a list of bbs carts", 64, 58, 6);
}

int row_icon(const splore_item& it) {
  if (it.type == ITEM_CART) {
    if (!it.id.empty()) return GFX_RES_BOARD_CART;
    return it.file.find(".png") != std::string::npos ? GFX_RES_PNG_FILE : GFX_RES_LOCAL_CART;
  }
  return it.icon;
}

void draw_rows(brim_bitmap* b, splore_list& l, uint64_t now) {
  int n = static_cast<int>(l.items.size());
  if (l.selected < l.scroll) l.scroll = l.selected;
  if (l.selected >= l.scroll + ROWS_SHOWN) l.scroll = l.selected - ROWS_SHOWN + 1;
  if (l.scroll < 0) l.scroll = 0;
  clip(b, ROW_X0, ROWS_Y - 1, ROW_X1 + 1, 128);
  for (int i = l.scroll; i < n && i < l.scroll + ROWS_SHOWN; i++) {
    const splore_item& it = l.items[i];
    int y = ROWS_Y + ROW_H * (i - l.scroll);
    bool sel = i == l.selected;
    if (sel) fill(b, ROW_X0, y - 1, ROW_X1, y + 5, it.icon == GFX_RES_SPECIAL_ITEM ? 6 : 14);
    gfx_draw_icon(b, row_icon(it), ROW_X0 + 1, y - 1);
    if (sel && l.entering && it.type == ITEM_SEARCH) {
      text(b, l.search, 24, y, 1);
      if (now & 256) fill(b, 23 + 4 * l.cursor, y - 1, 27 + 4 * l.cursor, y + 5, 14);
      continue;
    }
    std::string t = it.title + (it.favourite ? " *" : "");
    int x = 21;
    if (sel && width(t) > ROW_X1 - x && now > splore.selected_ms + 500) {
      int span = width(t) + 16;
      x -= static_cast<int>((now - splore.selected_ms - 500) / 20 % span);
    }
    text(b, t, x, y, sel ? 1 : 7);
  }
  clip(b, 0, 0, 128, 128);
}

void draw_menu(brim_bitmap* b) {
  int n = static_cast<int>(splore.menu_rows.size());
  int y0 = 64 - (8 * n + 8) / 2, y1 = y0 + 8 * n + 6;
  draw_tinted_rect_adaptive(b, 10, y0, 117, y1, 1);
  for (int x = 11; x <= 116; x++) b->line[y0][x] = b->line[y1][x] = 7;
  for (int y = y0; y <= y1; y++) b->line[y][11] = b->line[y][116] = 7;
  for (int i = 0; i < n; i++) {
    int y = y0 + 5 + 8 * i;
    bool sel = i == splore.menu_row;
    text(b, splore.menu_rows[i].text, sel ? 25 : 24, y, 7);
    if (sel) gfx_draw_icon(b, GFX_RES_MENU_ARROW, 14, y - 1);
  }
}

void draw_progress(brim_bitmap* b) {
  long long got = 0, total = -1;
  splore_download_progress(got, total);
  char line[64];
  if (total > 0) std::snprintf(line, sizeof line, "downloading %lld%%", got * 100 / total);
  else std::snprintf(line, sizeof line, "downloading %lld bytes", got);
  fill(b, 8, 58, 119, 68, 0);
  fill(b, 9, 59, 118, 67, 1);
  if (total > 0) fill(b, 9, 59, 9 + static_cast<int>(109 * (got < total ? got : total) / total), 67, 13);
  centred(b, line, 64, 61, 7);
}
}  // namespace

void splore_draw(zurkel_machine* m) {
  brim_bitmap* b = m->screen;
  if (!b || !splore.inited) return;
  clip(b, 0, 0, 128, 128);
  if (splore.running_from_browser && m->run.finished_notice == 1) {
    // Over the finished cart's last picture.
    fill(b, 0, 120, 127, 120, 0);
    fill(b, 0, 121, 127, 127, 6);
    text(b, " finished. press button to exit", 1, 122, 1);
    return;
  }
  splore_list& l = splore_current();
  uint64_t now = splore_wall_ms();
  const splore_item* sel =
      l.selected >= 0 && l.selected < static_cast<int>(l.items.size()) ? &l.items[l.selected] : nullptr;
  if (sel && sel->label) {
    for (int y = 0; y < 128; y++) std::memcpy(b->line[y], sel->label->line[y], 128);
  } else if (splore.current == LIST_FAV && l.items.empty()) {
    empty_favourites(b);
  } else {
    fill(b, 0, 0, 127, 127, 5);
  }
  // The list's title strip.
  fill(b, 0, 0, 127, 8, 1);
  gfx_draw_icon(b, GFX_RES_LIST_FIRST + splore.current, 2, 1);
  centred(b, "< " + l.title + " >", 64, 2, 7);
  if (!l.items.empty()) {
    draw_tinted_rect_adaptive(b, 10, 72, 117, 127, 0);
    if (sel && sel->type == ITEM_CART && !sel->author.empty())
      text(b, "by " + sel->author.substr(0, 16), ROW_X0 + 1, 74, 6);
    draw_rows(b, l, now);
  }
  if (splore.menu != MENU_NONE) draw_menu(b);
  if (splore_download_running()) draw_progress(b);
  if (splore.launch) centred(b, "loading", 64, 61, 7 + (splore.launch / 4) % 2 * 3);
}

void print_splore_exit_message(zurkel_machine* m) {
  m->draw[DS_CURSOR_X] = m->draw[DS_CURSOR_Y] = 0;
  m->draw[DS_CLIP_LEFT] = m->draw[DS_CLIP_TOP] = 0;
  m->draw[DS_CLIP_RIGHT] = m->draw[DS_CLIP_BOTTOM] = 128;
  if (!m->screen) return;
  clip(m->screen, 0, 0, 128, 128);
  std::memset(m->screen->data, 0, 128 * 128);
  zurkel_print_col(m, "::::::  zurkel console  ::::::", 7);
  zurkel_print_col(m, "", 7);
  zurkel_print_col(m, "type splore to return to splore", 13);
  zurkel_print_col(m, "type help for help", 13);
  zurkel_print_col(m, "", 13);
  if (m->display) std::memcpy(m->display->data, m->screen->data, 128 * 128);
}
