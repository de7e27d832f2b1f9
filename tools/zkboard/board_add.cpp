#include "board_add.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "board_routes.h"

namespace fs = std::filesystem;

namespace {
constexpr long kFirstId = 1000;  // the first number of an empty board
constexpr char kRenderList[] = "zkboard-render.txt";

int fail(const std::string& message) {
  std::fprintf(stderr, "zkboard: %s\n", message.c_str());
  return 1;
}

std::string today() {
  char text[16];
  std::time_t now = std::time(nullptr);
  std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
  return text;
}

std::string title_from_name(const std::string& path) {
  std::string name = fs::path(path).filename().string();
  return name.substr(0, name.find('.'));
}
}  // namespace

int board_add(const std::string& folder, const std::string& cart, board_add_options o) {
  if (!fs::is_directory(folder)) return fail("no board folder " + folder);
  // One add at a time per folder.
  int lock = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (lock < 0 || flock(lock, LOCK_EX) != 0) return fail("cannot lock " + folder);
  struct closer { int fd; ~closer() { close(fd); } } hold{lock};

  std::string meta_path = folder + "/" + BOARD_META_FILE, text, err;
  std::vector<board_entry> entries;
  if (fs::exists(meta_path)) {
    if (!tool_read_file(meta_path, text) || !board_parse_meta(text, meta_path, entries, err))
      return fail(err.empty() ? "cannot read " + meta_path : "fix board.txt first:\n" + err);
  } else {
    text = board_meta_header;
  }

  board_cart_file file;
  auto card = [](board_label& l) { l.fill(0); };
  if (!board_load_cart(cart, card, file, err)) return fail(err);

  board_entry e{o.id, o.category, o.rating, o.date.empty() ? today() : o.date, "", o.author,
                o.title, 0};
  if (e.title.empty()) e.title = file.first_comment.empty() ? title_from_name(cart) : file.first_comment;
  if (e.title.size() > BOARD_TEXT_MAX) e.title.resize(BOARD_TEXT_MAX);
  if (e.author.empty()) e.author = std::getenv("USER") ? std::getenv("USER") : "anonymous";
  long last = 0;
  for (const board_entry& x : entries) last = std::max(last, board_id_number(x.id));
  if (e.id.empty()) e.id = std::to_string(last ? last + 1 : kFirstId);
  for (const board_entry& x : entries)
    if (x.id == e.id) return fail("id " + e.id + " is taken");
  std::string bytes;
  if (!tool_read_file(cart, bytes)) return fail("cannot read " + cart);
  bool png = bytes.starts_with("\x89PNG");
  e.file = "carts/" + e.id + (png ? ".zk.png" : ".zk");

  // The new line must read back as it is meant.
  std::string line = board_meta_line(e);
  std::vector<board_entry> check;
  if (e.author.find('|') != std::string::npos || !board_parse_meta(line, "the new line", check, err))
    return fail(err.empty() ? "the author may not hold '|'" : err);

  std::error_code ec;
  if (fs::exists(folder + "/" + e.file)) return fail(folder + "/" + e.file + " exists; give another --id");
  fs::create_directories(folder + "/carts", ec);
  if (!tool_write_file(folder + "/" + e.file, bytes))
    return fail("cannot copy " + cart + " to " + folder + "/" + e.file);
  if (!text.empty() && text.back() != '\n') text += '\n';
  if (!tool_write_file(meta_path, text + line)) return fail("cannot write " + meta_path);
  std::printf("zkboard: added %s \"%s\" to %s as %s\n", e.id.c_str(), e.title.c_str(),
              folder.c_str(), e.file.c_str());
  return 0;
}

int board_render(const std::string& folder, const std::string& out) {
  std::error_code ec;
  if (fs::exists(out) && !fs::is_empty(out, ec) && !fs::exists(out + "/" + kRenderList))
    return fail(out + " is neither empty nor an earlier render");
  std::string err;
  std::shared_ptr<board_snapshot> b = board_open(folder, err);
  if (!b) return std::fprintf(stderr, "%s", err.c_str()), 1;
  fs::remove_all(out + "/bbs", ec);
  std::string list = "# Made by zkboard render from " + folder + ": request, then file.\n";
  auto files = board_static_files(*b);
  for (const auto& [url, name] : files) {
    board_reply r = board_route(*b, url);
    std::string path = out + "/" + name;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (r.status != 200 || !tool_write_file(path, *r.body)) return fail("cannot write " + path);
    list += url + " " + name + "\n";
  }
  if (!tool_write_file(out + "/" + kRenderList, list)) return fail("cannot write the file list");
  std::printf("zkboard: rendered %zu files of %s into %s (serve them with nginx.conf.sample)\n",
              files.size(), folder.c_str(), out.c_str());
  return 0;
}
