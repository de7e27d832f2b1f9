#include "splore/favourites.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/line_reader.h"
#include "base/safe_write.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "splore/labels.h"

namespace {
std::string favourites_path() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("favourites.txt", path);
  return path;
}

std::string trim_right(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.pop_back();
  return s;
}

std::string cut(std::string s, size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

// A field as read: trimmed, cut, and trimmed again (a cut can end in
// spaces), so what is written reads back the same.
std::string kept(const std::string& s) { return trim_right(cut(trim_right(s), SPLORE_TEXT_MAX)); }

// Field text safe for one favourites line: no separators or line breaks.
std::string field(const std::string& s) {
  std::string out = cut(s, SPLORE_TEXT_MAX);
  for (char& c : out)
    if (c == '|' || c == '\n' || c == '\r') c = '_';
  return out;
}

bool write_list(FILE* f, void* ctx) {
  const splore_list& l = *static_cast<const splore_list*>(ctx);
  for (const splore_item& it : l.items) {
    if (it.type != ITEM_CART) continue;
    std::fprintf(f, "|%-20s |%-20s |%-6d |%-16s |%-20s |%s\n", field(it.id).c_str(),
                 field(it.mid).c_str(), it.number, field(it.author).c_str(), field(it.file).c_str(),
                 field(it.title).c_str());
  }
  return true;
}

bool list_has(const splore_list& l, const std::string& id, const std::string& file) {
  for (const splore_item& it : l.items)
    if (it.type == ITEM_CART && splore_same_cart(it, id, file)) return true;
  return false;
}
}  // namespace

bool splore_same_cart(const splore_item& stored, const std::string& id, const std::string& file) {
  if (!stored.id.empty() && stored.id == id) return true;
  if (stored.id.empty() && stored.mid.empty()) return !stored.file.empty() && stored.file == file;
  return false;
}

std::string splore_clean_title(const std::string& s, bool lower_case) {
  std::string out = cut(trim_right(s), SPLORE_TEXT_MAX);
  for (char& c : out) {
    if (lower_case && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u > 127 || (c >= 'A' && c <= 'Z')) c = ' ';
    if (c == '|') c = '_';
  }
  // Cutting and blanking can leave spaces at the end; the file reader trims
  // them, so the title as kept is the title as read back.
  return trim_right(out);
}

std::string splore_clean_author(const std::string& s, bool lower_case) {
  std::string out = cut(trim_right(s), SPLORE_AUTHOR_SHOWN);
  for (char& c : out) {
    if (lower_case && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) c = '_';
  }
  return out;
}

bool populate_splore_list_from_text_file(splore_list& l, const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char line[512];
  while (l.items.size() < SPLORE_FAVOURITES_MAX && brim_read_line(f, line, 511)) {
    if (line[0] != '|') continue;
    std::string rest = line + 1, parts[6];
    for (int i = 0; i < 5; i++) {
      size_t bar = rest.find('|');
      parts[i] = rest.substr(0, bar);
      rest = bar == std::string::npos ? "" : rest.substr(bar + 1);
    }
    parts[5] = rest;  // the title may hold '|' (read as '_')
    splore_item it;
    it.type = ITEM_CART;
    it.id = kept(parts[0]);
    it.mid = kept(parts[1]);
    it.number = std::atoi(parts[2].c_str());
    it.author = splore_clean_author(parts[3], true);
    it.file = kept(parts[4]);
    it.title = splore_clean_title(parts[5], true);
    if (it.id == "0") it.id.clear();
    if (it.mid == "0") it.mid.clear();
    if (it.id.empty() && it.mid.empty() && it.file.empty()) continue;
    if (list_has(l, it.id, it.file)) continue;
    l.items.push_back(std::move(it));
  }
  std::fclose(f);
  return true;
}

bool save_splore_list_to_file(const splore_list& l, const char* path) {
  return brim_write_file_safely(path, write_list, const_cast<splore_list*>(&l));
}

bool save_splore_favourites() {
  return save_splore_list_to_file(splore.lists[LIST_FAV], favourites_path().c_str());
}

void reload_favourites() {
  splore_list& fav = splore.lists[LIST_FAV];
  fav.items.clear();
  populate_splore_list_from_text_file(fav, favourites_path().c_str());
  for (splore_item& it : fav.items)
    if (!it.id.empty()) it.label = create_label_from_cart_lid(it.id);
  for (splore_item& it : fav.items) it.favourite = true;
  splore_clamp_selection(fav);
}

bool is_favourite(const std::string& id, const std::string& file) {
  return list_has(splore.lists[LIST_FAV], id, file);
}

void mark_favourites(splore_list& l) {
  if (&l == &splore.lists[LIST_FAV]) return;
  for (splore_item& it : l.items)
    it.favourite = it.type == ITEM_CART && is_favourite(it.id, it.file);
}

bool splore_toggle_favourite(const splore_item& item) {
  splore_list& fav = splore.lists[LIST_FAV];
  for (size_t i = 0; i < fav.items.size(); i++) {
    if (fav.items[i].type == ITEM_CART && splore_same_cart(fav.items[i], item.id, item.file)) {
      fav.items.erase(fav.items.begin() + static_cast<long>(i));
      splore_clamp_selection(fav);
      return false;
    }
  }
  splore_item it = item;
  it.type = ITEM_CART;
  it.favourite = true;
  it.icon = 0;
  if (it.title.empty()) {
    std::string name = it.file.substr(it.file.find_last_of('/') == std::string::npos
                                          ? 0 : it.file.find_last_of('/') + 1);
    if (name.size() > 3) name.resize(name.size() - 3);
    it.title = name;
  }
  if (!it.label && !it.id.empty()) it.label = create_label_from_cart_lid(it.id);
  if (it.label && !it.id.empty()) save_bbs_cart_label(it);
  size_t at = 0;
  while (at < fav.items.size() && fav.items[at].type != ITEM_CART) at++;
  fav.items.insert(fav.items.begin() + static_cast<long>(at), std::move(it));
  return true;
}
