#include "board_meta.h"

#include <set>

const char* const board_categories[] = {"new", "featured", "wip", "collab", "jam"};
const int board_category_count = 5;

const char board_meta_header[] =
    "# zkboard board: one cart per line, fields separated by '|' (spaces around\n"
    "# a field do not count); '#' starts a comment line.\n"
    "#\n"
    "#   id        2-40 characters of 0-9, a-z and '_'. A number (no leading 0)\n"
    "#             is served at /bbs/cposts/N/ID.zk.png (N: the number / 10000),\n"
    "#             any other id at /bbs/cposts/XY/ID.zk.png (XY: its first two\n"
    "#             characters); the cart's page is /bbs/?pid=ID\n"
    "#   category  new, featured, wip, collab or jam\n"
    "#   rating    0-5; the featured and favourites lists put higher ones first\n"
    "#   date      YYYY-MM-DD; the other lists put newer ones first\n"
    "#   file      the cart (.zk text cart or .zk.png), relative to this folder\n"
    "#   author    up to 127 characters (the console shows a-z, 0-9 and '_')\n"
    "#   title     the rest of the line, up to 127 characters\n"
    "#\n"
    "# id | category | rating | date | file | author | title\n";

namespace {
std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}
bool all_digits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}
}  // namespace

bool board_valid_id(const std::string& id) {
  if (id.size() < 2 || id.size() > BOARD_ID_MAX) return false;
  if (id.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz_") != std::string::npos)
    return false;
  return !all_digits(id) || board_id_number(id) > 0;
}

long board_id_number(const std::string& id) {
  if (!all_digits(id) || id[0] == '0' || id.size() > 9) return 0;
  return std::stol(id);
}

bool board_valid_category(const std::string& c) {
  for (int i = 0; i < board_category_count; i++)
    if (c == board_categories[i]) return true;
  return false;
}

bool board_valid_date(const std::string& d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
  std::string y = d.substr(0, 4), m = d.substr(5, 2), day = d.substr(8, 2);
  if (!all_digits(y) || !all_digits(m) || !all_digits(day)) return false;
  int mi = std::stoi(m), di = std::stoi(day);
  return mi >= 1 && mi <= 12 && di >= 1 && di <= 31;
}

std::string board_text_fault(const std::string& text, bool may_be_empty) {
  if (text.empty() && !may_be_empty) return "is empty";
  if (text.size() > BOARD_TEXT_MAX) return "is longer than 127 characters";
  for (unsigned char c : text)
    if (c < 32 || c == 127) return "holds a control character";
  return "";
}

bool board_parse_meta(const std::string& text, const std::string& name,
                      std::vector<board_entry>& out, std::string& err) {
  out.clear();
  err.clear();
  std::set<std::string> ids;
  size_t pos = 0;
  for (int line_no = 1; pos < text.size(); line_no++) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == '#') continue;
    auto fault = [&](const std::string& m) {
      err += name + ":" + std::to_string(line_no) + ": " + m + "\n";
    };
    std::vector<std::string> f;
    size_t start = 0;
    while (f.size() < 6) {
      size_t bar = line.find('|', start);
      if (bar == std::string::npos) break;
      f.push_back(trim(line.substr(start, bar - start)));
      start = bar + 1;
    }
    f.push_back(trim(line.substr(start)));
    if (f.size() != 7) {
      fault("expected 7 fields (id | category | rating | date | file | author | title)");
      continue;
    }
    board_entry e{f[0], f[1], 0, f[3], f[4], f[5], f[6], line_no};
    size_t errors = err.size();
    if (!board_valid_id(e.id)) fault("bad id '" + e.id + "' (2-40 of 0-9, a-z, '_'; no leading 0)");
    else if (!ids.insert(e.id).second) fault("id " + e.id + " is used twice");
    if (!board_valid_category(e.category))
      fault("bad category '" + e.category + "' (new, featured, wip, collab or jam)");
    if (f[2].size() != 1 || f[2][0] < '0' || f[2][0] > '0' + BOARD_RATING_MAX)
      fault("bad rating '" + f[2] + "' (0-5)");
    else e.rating = f[2][0] - '0';
    if (!board_valid_date(e.date)) fault("bad date '" + e.date + "' (YYYY-MM-DD)");
    if (e.file.empty()) fault("no cart file");
    if (std::string m = board_text_fault(e.author, true); !m.empty()) fault("author " + m);
    if (std::string m = board_text_fault(e.title, false); !m.empty()) fault("title " + m);
    if (err.size() == errors) out.push_back(e);
  }
  return err.empty();
}

std::string board_meta_line(const board_entry& e) {
  return e.id + " | " + e.category + " | " + std::to_string(e.rating) + " | " + e.date + " | " +
         e.file + " | " + e.author + " | " + e.title + "\n";
}
