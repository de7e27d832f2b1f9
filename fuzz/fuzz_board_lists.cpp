// Any bytes as a board's board.txt. What it reads writes back line by line
// and reads again the same; its carts make one of the browser's list pages,
// which decodes back to each cart's text rows, followed by all-zero cells.
#include <lodepng.h>

#include <cstdint>
#include <string>
#include <vector>

#include "board_lists.h"
#include "board_meta.h"

namespace {
bool same(const board_entry& a, const board_entry& b) {
  return a.id == b.id && a.category == b.category && a.rating == b.rating && a.date == b.date &&
         a.file == b.file && a.author == b.author && a.title == b.title;
}

// Text row r of page cell e: green bytes up to the first zero.
std::string cell_text(const std::vector<uint8_t>& rgb, int e, int r) {
  std::string s;
  for (int x = 0; x < 128; x++) {
    uint8_t c = rgb[((e / 8 * 136 + 128 + r) * BOARD_PAGE_W + e % 8 * 128 + x) * 3 + 1];
    if (!c) break;
    s += static_cast<char>(c);
  }
  return s;
}

bool cell_is_zero(const std::vector<uint8_t>& rgb, int e) {
  for (int y = 0; y < 136; y++)
    for (int x = 0; x < 128 * 3; x++)
      if (rgb[((e / 8 * 136 + y) * BOARD_PAGE_W + e % 8 * 128) * 3 + x]) return false;
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string err;
  if (!tool_load_resources(ZURKEL_DATA_POD, err)) __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (64u << 10)) return 0;
  std::vector<board_entry> entries, again;
  std::string err, text;
  if (!board_parse_meta(std::string(reinterpret_cast<const char*>(data), size), "b", entries, err))
    return 0;
  for (const board_entry& e : entries) text += board_meta_line(e);
  if (!board_parse_meta(text, "b", again, err) || again.size() != entries.size()) __builtin_trap();
  for (size_t i = 0; i < entries.size(); i++)
    if (!same(entries[i], again[i])) __builtin_trap();

  // Labels stay colour 0 (black), so only the text rows mark a cell.
  board_label label{};
  std::vector<board_list_cart> carts;
  for (size_t i = 0; i < entries.size(); i++) {
    long n = board_id_number(entries[i].id);
    carts.push_back({&entries[i], n ? n : static_cast<long>(i) + 1, &label});
  }
  board_selection s = board_list_kinds[size % board_list_kind_count].selection();
  std::vector<size_t> list = board_select(carts, s);
  std::string png;
  if (!board_page_png(carts, list, s, png)) __builtin_trap();
  std::vector<uint8_t> rgb;
  unsigned w = 0, h = 0;
  if (lodepng::decode(rgb, w, h, reinterpret_cast<const uint8_t*>(png.data()), png.size(), LCT_RGB,
                      8) != 0 || w != BOARD_PAGE_W || h != BOARD_PAGE_H)
    __builtin_trap();
  for (int e = 0; e < BOARD_PAGE_ENTRIES; e++) {
    if (static_cast<size_t>(e) >= list.size()) {
      if (!cell_is_zero(rgb, e)) __builtin_trap();
      continue;
    }
    const board_list_cart& c = carts[list[e]];
    std::string n = std::to_string(c.number);
    const std::string rows[5] = {n + " " + n + " " + std::to_string(c.entry->rating),
                                 c.entry->title, c.entry->author, c.entry->id, c.entry->id};
    for (int r = 0; r < 5; r++)
      if (cell_text(rgb, e, r) != rows[r].substr(0, 127)) __builtin_trap();
  }
  return 0;
}
