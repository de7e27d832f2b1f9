#include "splore/list_page.h"


#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "gfx/png_decode.h"
#include "gfx/resources.h"
#include "splore/favourites.h"
#include "splore/labels.h"

namespace {
constexpr int PAGE_W = 1024, PAGE_H = 544, CELL_H = 136;

// Row r (128-132) of cell (x0, y0): its characters up to the first NUL.
std::string text_row(const unsigned char* rgba, int x0, int y0, int r) {
  std::string s;
  for (int i = 0; i < 128; i++) {
    unsigned char c = rgba[4 * (static_cast<size_t>(y0 + r) * PAGE_W + x0 + i) + 1];
    if (!c) break;
    s += static_cast<char>(c);
  }
  return s;
}

// Id text as kept: separators and controls become '?', which no valid id
// holds, so a hostile id stays refusable.
std::string id_text(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (s.size() > SPLORE_TEXT_MAX) s.resize(SPLORE_TEXT_MAX);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126 || c == '|') c = '?';
  return s;
}

void reset_list(splore_list& l, bool search) {
  l.items.clear();
  l.items.push_back(search ? splore_special_item(ITEM_SEARCH, "[search]")
                           : splore_special_item(ITEM_UPDATE, "[update]"));
}
}  // namespace

splore_item splore_special_item(int type, const char* text) {
  splore_item it;
  it.type = type;
  it.icon = GFX_RES_SPECIAL_ITEM;
  it.title = text;
  return it;
}

int populate_splore_list_from_png_file(splore_list& l, const char* path, bool append) {
  bool fav = &l == &splore.lists[LIST_FAV], search = &l == &splore.lists[LIST_SEARCH];
  std::vector<uint8_t> file;
  bool readable = cart_read_file(path, file, SPLORE_PAGE_MAX_BYTES);
  unsigned w = 0, h = 0;
  if (readable) {
    readable = brim_png_size(file.data(), file.size(), w, h) == BRIM_PNG_OK;
  }
  if (!append && !fav) {
    if (!readable && !l.items.empty()) return 1;
    reset_list(l, search);
  }
  if (!readable) return 1;
  if (w != PAGE_W || h != PAGE_H) return 2;
  std::vector<uint8_t> pixels;
  if (brim_png_decode_rgba(file.data(), file.size(), PAGE_W, PAGE_H, pixels, w, h) != BRIM_PNG_OK)
    return 1;
  const unsigned char* rgba = pixels.data();
  if (append && !l.items.empty() && l.items.back().type == ITEM_LOAD_MORE) l.items.pop_back();
  int useful = 0;
  for (int e = 0; e < 32; e++) {
    int x0 = (e % 8) * 128, y0 = (e / 8) * CELL_H;
    long lid = 0, mid = 0, number = 0;
    std::sscanf(text_row(rgba, x0, y0, 128).c_str(), "%ld %ld %ld", &lid, &mid, &number);
    if (lid == 0) break;
    useful++;
    splore_item it;
    it.type = ITEM_CART;
    it.title = splore_clean_title(text_row(rgba, x0, y0, 129), false);
    it.author = splore_clean_author(text_row(rgba, x0, y0, 130), false);
    it.id = id_text(text_row(rgba, x0, y0, 131));
    it.mid = id_text(text_row(rgba, x0, y0, 132));
    if (it.id.empty()) it.id = std::to_string(lid);
    if (it.mid.empty()) it.mid = std::to_string(mid);
    it.number = static_cast<int>(number);
    it.label = splore_label_from_rgba(rgba, PAGE_W, x0, y0);
    l.items.push_back(std::move(it));
  }
  if (useful == 32 && l.items.size() > 1) {
    splore_item more = splore_special_item(ITEM_LOAD_MORE, "[load more]");
    more.label = splore_make_label();
    l.items.push_back(std::move(more));
  }
  mark_favourites(l);
  return 0;
}
