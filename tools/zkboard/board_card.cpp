// The card shown for a cart that has no label of its own.
#include <string>
#include <vector>

#include "board_lists.h"

namespace {
constexpr int kSide = BOARD_LABEL_SIDE;

int background(const std::string& category) {
  static const struct { const char* name; int colour; } table[] = {
      {"new", 1}, {"featured", 2}, {"wip", 5}, {"collab", 3}, {"jam", 4}};
  for (const auto& t : table)
    if (category == t.name) return t.colour;
  return 1;
}

void fill(board_label& l, int x0, int y0, int x1, int y1, int colour) {
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) l[y * kSide + x] = static_cast<uint8_t>(colour);
}

// Text centred on the card at row y, doubled in size when asked.
void centred(board_label& l, const std::string& text, int y, int colour, int scale) {
  int w = board_text_width(text) * scale;
  if (scale == 1) return board_draw_text(l, text, (kSide - w) / 2, y, colour);
  board_label ink{};
  board_draw_text(ink, text, 0, 0, 1);
  int x0 = (kSide - w) / 2;
  for (int y2 = 0; y2 < 8; y2++)
    for (int x2 = 0; x2 * scale < w; x2++)
      if (ink[y2 * kSide + x2]) fill(l, x0 + x2 * scale, y + y2 * scale, x0 + (x2 + 1) * scale,
                                     y + (y2 + 1) * scale, colour);
}

// Words into lines of at most width characters (long words are cut).
std::vector<std::string> wrap(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find(' ', i);
    std::string word = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
    i = end == std::string::npos ? text.size() : end + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > width) lines.push_back(line), line.clear();
    for (; word.size() > width; word.erase(0, width)) lines.push_back(word.substr(0, width));
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}
}  // namespace

void board_make_card(const board_entry& e, board_label& l) {
  fill(l, 0, 0, kSide, kSide, background(e.category));
  fill(l, 8, 8, kSide - 8, kSide - 8, 0);
  fill(l, 8, kSide - 32, kSide - 8, kSide - 8, background(e.category));
  centred(l, e.category, 14, 6, 1);
  std::vector<std::string> lines = wrap(e.title, 12);
  int scale = lines.size() <= 3 ? 2 : 1;
  if (scale == 1) lines = wrap(e.title, 26);
  if (lines.size() > 6) lines.resize(6);
  int step = 6 * scale + 2, y = 56 - static_cast<int>(lines.size()) * step / 2;
  for (const std::string& line : lines) centred(l, line, y, 7, scale), y += step;
  std::string by = e.author.empty() ? "" : "by " + e.author;
  if (by.size() > 26) by.resize(26);
  centred(l, by, kSide - 23, 7, 1);
  centred(l, "#" + e.id, kSide - 15, 6, 1);
}
