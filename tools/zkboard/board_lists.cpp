#include "board_lists.h"

#include <algorithm>
#include <cctype>
#include <cstring>

const board_list_kind board_list_kinds[] = {
    {"new", "cat=7&sub=2", 2, BOARD_BY_DATE},
    {"featured", "cat=7&sub=2&orderby=rating", 2, BOARD_BY_RATING},
    {"wip", "cat=7&sub=3", 3, BOARD_BY_DATE},
    {"collab", "cat=7&sub=4", 4, BOARD_BY_DATE},
    {"jam", "cat=7&sub=8", 8, BOARD_BY_DATE},
    // The board has no accounts: its favourites are every cart, best first.
    {"favourites", "cat=7&orderby=favourites&uid=1", 0, BOARD_BY_RATING},
};
const int board_list_kind_count = sizeof board_list_kinds / sizeof board_list_kinds[0];

board_selection board_list_kind::selection() const {
  board_selection s;
  s.sub = sub;
  s.order = order;
  return s;
}

std::string board_selection::key() const {
  return std::to_string(sub) + ":" + std::to_string(order) + ":" + std::to_string(start) + ":" +
         std::to_string(max) + ":" + search;
}

namespace {
bool in_sub(const std::string& category, int sub) {
  switch (sub) {
    case 0: return true;
    case 2: return category == "new" || category == "featured";
    case 3: return category == "wip";
    case 4: return category == "collab";
    case 8: return category == "jam";
  }
  return false;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

std::vector<size_t> board_select(const std::vector<board_list_cart>& carts,
                                 const board_selection& s) {
  std::vector<size_t> list;
  for (size_t i = 0; i < carts.size(); i++) {
    const board_entry& e = *carts[i].entry;
    if (!in_sub(e.category, s.sub)) continue;
    if (!s.search.empty() && lower(e.title).find(s.search) == std::string::npos &&
        lower(e.author).find(s.search) == std::string::npos)
      continue;
    list.push_back(i);
  }
  auto later = [&](size_t a, size_t b) {
    const board_entry &x = *carts[a].entry, &y = *carts[b].entry;
    if (s.order == BOARD_BY_RATING) {
      bool fx = x.category == "featured", fy = y.category == "featured";
      if (fx != fy) return fx;
      if (x.rating != y.rating) return x.rating > y.rating;
    }
    if (x.date != y.date) return x.date > y.date;
    return x.line > y.line;
  };
  std::stable_sort(list.begin(), list.end(), later);
  return list;
}

bool board_page_png(const std::vector<board_list_cart>& carts, const std::vector<size_t>& list,
                    const board_selection& s, std::string& png) {
  std::vector<uint8_t> rgb(static_cast<size_t>(BOARD_PAGE_W) * BOARD_PAGE_H * 3, 0);
  const uint8_t* pal = tool_palette_rgb();
  int count = std::min(s.max, BOARD_PAGE_ENTRIES);
  for (int e = 0; e < count && s.start + static_cast<size_t>(e) < list.size(); e++) {
    const board_list_cart& c = carts[list[s.start + e]];
    int x0 = (e % 8) * 128, y0 = (e / 8) * 136;
    auto px = [&](int x, int y) { return &rgb[((y0 + y) * BOARD_PAGE_W + x0 + x) * 3]; };
    for (int y = 0; y < 128; y++)
      for (int x = 0; x < 128; x++) std::memcpy(px(x, y), pal + (*c.label)[y * 128 + x] * 3, 3);
    std::string n = std::to_string(c.number);
    const std::string rows[5] = {n + " " + n + " " + std::to_string(c.entry->rating),
                                 c.entry->title, c.entry->author, c.entry->id, c.entry->id};
    for (int r = 0; r < 5; r++)
      for (size_t i = 0; i < rows[r].size() && i < 127; i++)
        px(static_cast<int>(i), 128 + r)[1] = static_cast<uint8_t>(rows[r][i]);
  }
  return tool_encode_png(rgb.data(), BOARD_PAGE_W, BOARD_PAGE_H, false, png);
}
