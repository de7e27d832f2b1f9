#include "board_snapshot.h"

#include <sys/stat.h>

namespace {
constexpr size_t kRecentPages = 64;
constexpr size_t kMetaMax = 4u << 20;

struct file_stamp {
  std::string text;
  void add(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return void(text += path + ":-\n");
    text += path + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
            std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_size) + "\n";
  }
};

bool read_meta(const std::string& folder, std::vector<board_entry>& entries, std::string& err) {
  std::string path = folder + "/" + BOARD_META_FILE, text;
  if (!tool_read_file(path, text, kMetaMax)) {
    err = "cannot read " + path;
    return false;
  }
  return board_parse_meta(text, path, entries, err);
}

void make_pages(board_snapshot& b) {
  for (int k = 0; k < board_list_kind_count; k++) {
    board_selection s = board_list_kinds[k].selection();
    std::vector<size_t> list = board_select(b.list_carts, s);
    for (s.start = 0; s.start <= static_cast<int>(list.size()); s.start += BOARD_PAGE_ENTRIES) {
      auto png = std::make_shared<std::string>();
      if (board_page_png(b.list_carts, list, s, *png)) b.pages[s.key()] = png;
    }
  }
}
}  // namespace

std::string board_cart_location(const std::string& folder, const std::string& file) {
  return !file.empty() && file[0] == '/' ? file : folder + "/" + file;
}

std::string board_signature(const std::string& folder) {
  file_stamp stamp;
  stamp.add(folder + "/" + BOARD_META_FILE);
  std::vector<board_entry> entries;
  std::string err;
  read_meta(folder, entries, err);
  for (const board_entry& e : entries) stamp.add(board_cart_location(folder, e.file));
  return stamp.text;
}

std::shared_ptr<board_snapshot> board_open(const std::string& folder, std::string& err) {
  auto b = std::make_shared<board_snapshot>();
  b->folder = folder;
  b->signature = board_signature(folder);
  std::vector<board_entry> entries;
  if (!read_meta(folder, entries, err)) return nullptr;
  b->carts.resize(entries.size());
  for (size_t i = 0; i < entries.size(); i++) {
    board_cart& c = b->carts[i];
    c.entry = entries[i];
    c.number = board_id_number(c.entry.id);
    if (c.number == 0) c.number = static_cast<long>(i) + 1;
    board_cart_file file;
    std::string why;
    auto card = [&](board_label& l) { board_make_card(c.entry, l); };
    if (!board_load_cart(board_cart_location(folder, c.entry.file), card, file, why)) {
      err += folder + "/" + BOARD_META_FILE + ":" + std::to_string(c.entry.line) + ": " + why + "\n";
      continue;
    }
    c.label = file.label;
    c.png = std::make_shared<std::string>(std::move(file.png));
    b->by_id[c.entry.id] = i;
  }
  if (!err.empty()) return nullptr;
  for (board_cart& c : b->carts) {
    b->list_carts.push_back({&c.entry, c.number, &c.label});
    c.html = std::make_shared<std::string>(board_cart_html(c));
  }
  b->index_html = std::make_shared<std::string>(board_index_html(*b));
  make_pages(*b);
  return b;
}

board_bytes board_page(const board_snapshot& b, const board_selection& s, bool& busy) {
  busy = false;
  std::string key = s.key();
  if (auto it = b.pages.find(key); it != b.pages.end()) return it->second;
  {
    std::lock_guard<std::mutex> lock(b.recent_mutex);
    if (auto it = b.recent.find(key); it != b.recent.end()) return it->second;
  }
  if (b.building.fetch_add(1) >= b.build_limit) {
    b.building--;
    busy = true;
    return nullptr;
  }
  auto png = std::make_shared<std::string>();
  bool ok = board_page_png(b.list_carts, board_select(b.list_carts, s), s, *png);
  b.building--;
  if (!ok) return nullptr;
  std::lock_guard<std::mutex> lock(b.recent_mutex);
  if (b.recent.size() >= kRecentPages) b.recent.clear();
  b.recent[key] = png;
  return png;
}

std::string board_cart_path(const std::string& id) {
  long n = board_id_number(id);
  std::string folder = n ? std::to_string(n / 10000) : id.substr(0, 2);
  return "/bbs/cposts/" + folder + "/" + id + ".zk.png";
}

std::string board_list_url(const board_list_kind& k, int start) {
  return "/bbs/cpost_lister3.php?max=32&start_index=" + std::to_string(start) + "&" + k.request +
         "&version=000111cm";
}

std::vector<std::pair<std::string, std::string>> board_static_files(const board_snapshot& b) {
  std::vector<std::pair<std::string, std::string>> files = {{"/bbs/", "bbs/index.html"}};
  for (const board_cart& c : b.carts) {
    std::string path = board_cart_path(c.entry.id);
    files.push_back({path, path.substr(1)});
    files.push_back({"/bbs/?pid=" + c.entry.id, "bbs/pid/" + c.entry.id + ".html"});
  }
  for (int k = 0; k < board_list_kind_count; k++) {
    const board_list_kind& kind = board_list_kinds[k];
    size_t count = board_select(b.list_carts, kind.selection()).size();
    for (size_t start = 0; start <= count; start += BOARD_PAGE_ENTRIES)
      files.push_back({board_list_url(kind, static_cast<int>(start)),
                       std::string("bbs/lists/") + kind.name + "/" + std::to_string(start) + ".png"});
  }
  return files;
}
