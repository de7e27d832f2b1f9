#include "board_routes.h"

#include <cctype>
#include <utility>
#include <vector>

namespace {
constexpr size_t kMaxArgs = 32, kMaxKey = 32, kMaxSearch = 64;
using args = std::vector<std::pair<std::string, std::string>>;

board_reply text(int status, const std::string& message) {
  static const std::pair<int, const char*> names[] = {
      {400, "bad request"}, {404, "not found"}, {414, "request too long"}, {503, "busy"},
      {500, "internal error"}};
  std::string head = std::to_string(status);
  for (const auto& [code, name] : names)
    if (code == status) head += std::string(" ") + name;
  return {status, "text/plain; charset=utf-8",
          std::make_shared<const std::string>(head + ": " + message + "\n")};
}

int hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decoding ('+' is a space); false on a broken escape or a control
// character.
bool decode(const std::string& in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); i++) {
    char c = in[i];
    if (c == '+') c = ' ';
    else if (c == '%') {
      if (i + 2 >= in.size() || hex(in[i + 1]) < 0 || hex(in[i + 2]) < 0) return false;
      c = static_cast<char>(hex(in[i + 1]) * 16 + hex(in[i + 2]));
      i += 2;
    }
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    out += c;
  }
  return true;
}

// "k=v&k=v"; empty pieces are skipped, a later key wins. Empty reason when
// well formed.
std::string parse_query(const std::string& q, args& out) {
  size_t pos = 0;
  while (pos <= q.size()) {
    size_t end = q.find('&', pos);
    if (end == std::string::npos) end = q.size();
    std::string piece = q.substr(pos, end - pos);
    pos = end + 1;
    if (piece.empty()) continue;
    size_t eq = piece.find('=');
    if (eq == std::string::npos) return "'" + piece + "' has no value";
    std::string key = piece.substr(0, eq), value;
    if (key.empty() || key.size() > kMaxKey ||
        key.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") != std::string::npos)
      return "bad key '" + key + "'";
    if (!decode(piece.substr(eq + 1), value)) return "bad value of " + key;
    if (out.size() >= kMaxArgs) return "too many keys";
    out.emplace_back(key, value);
  }
  return "";
}

const std::string* find(const args& a, const char* key) {
  const std::string* found = nullptr;
  for (const auto& [k, v] : a)
    if (k == key) found = &v;
  return found;
}

// A key's whole number (0-999999999): -1 when absent, -2 when malformed.
long number(const args& a, const char* key) {
  const std::string* v = find(a, key);
  if (!v) return -1;
  if (v->empty() || v->size() > 9 || v->find_first_not_of("0123456789") != std::string::npos)
    return -2;
  return std::stol(*v);
}

board_reply list_page(const board_snapshot& b, const args& a) {
  board_selection s;
  long cat = number(a, "cat"), sub = number(a, "sub"), start = number(a, "start_index"),
       max = number(a, "max");
  for (const char* key : {"cat", "sub", "start_index", "max", "uid"})
    if (number(a, key) == -2) return text(400, std::string(key) + " is not a whole number");
  if (max == 0) return text(400, "max is 0");
  if (cat != 7) return text(404, "no such category (the carts are cat=7)");
  if (sub != -1 && sub != 2 && sub != 3 && sub != 4 && sub != 8)
    return text(404, "no such list (sub=2, 3, 4 or 8)");
  s.sub = sub == -1 ? 0 : static_cast<int>(sub);
  s.start = start == -1 ? 0 : static_cast<int>(start);
  s.max = max == -1 || max > BOARD_PAGE_ENTRIES ? BOARD_PAGE_ENTRIES : static_cast<int>(max);
  if (const std::string* o = find(a, "orderby")) {
    if (*o == "rating" || *o == "favourites") s.order = BOARD_BY_RATING;
    else if (!o->empty() && *o != "date") return text(400, "orderby is date, rating or favourites");
  }
  if (const std::string* q = find(a, "search")) {
    if (q->size() > kMaxSearch) return text(400, "search text over 64 characters");
    size_t from = q->find_first_not_of(' '), to = q->find_last_not_of(' ');
    if (from != std::string::npos) s.search = q->substr(from, to - from + 1);
    for (char& c : s.search) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  bool busy = false;
  board_bytes png = board_page(b, s, busy);
  if (!png) return busy ? text(503, "too many searches at once; try again") : text(500, "encoder");
  return {200, "image/png", png};
}

board_reply cart_page(const board_snapshot& b, const args& a) {
  const std::string* pid = find(a, "pid");
  if (!pid) return {200, "text/html; charset=utf-8", b.index_html};
  if (!board_valid_id(*pid)) return text(400, "bad pid");
  auto it = b.by_id.find(*pid);
  if (it == b.by_id.end()) return text(404, "no cart " + *pid);
  return {200, "text/html; charset=utf-8", b.carts[it->second].html};
}

board_reply cart_file(const board_snapshot& b, const std::string& path) {
  // /bbs/cposts/FOLDER/ID.zk.png, the folder fixed by the id.
  const std::string prefix = "/bbs/cposts/", suffix = ".zk.png";
  size_t slash = path.find('/', prefix.size());
  if (slash == std::string::npos || path.size() < slash + 1 + suffix.size() ||
      path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
    return text(404, "no such file");
  std::string id = path.substr(slash + 1, path.size() - suffix.size() - slash - 1);
  auto it = b.by_id.find(id);
  if (it == b.by_id.end() || board_cart_path(id) != path) return text(404, "no cart " + id);
  return {200, "image/png", b.carts[it->second].png};
}
}  // namespace

board_reply board_route(const board_snapshot& b, const std::string& uri) {
  if (uri.size() > BOARD_URI_MAX) return text(414, "request over 2048 characters");
  size_t q = uri.find('?');
  std::string path = uri.substr(0, q), query = q == std::string::npos ? "" : uri.substr(q + 1);
  if (path.empty() || path[0] != '/') return text(400, "the path must start with '/'");
  for (unsigned char c : path)
    if (c <= 32 || c >= 127 || c == '\\') return text(400, "odd character in the path");
  if (path.find("/../") != std::string::npos || path.find("/./") != std::string::npos ||
      path.ends_with("/..") || path.ends_with("/.") || path.find("//") != std::string::npos)
    return text(400, "odd path");
  args a;
  if (std::string why = parse_query(query, a); !why.empty()) return text(400, why);
  if (path == "/bbs/cpost_lister3.php") return list_page(b, a);
  if (path == "/" || path == "/bbs/" || path == "/bbs") return cart_page(b, a);
  if (path.starts_with("/bbs/cposts/")) return cart_file(b, path);
  return text(404, "no such page");
}
