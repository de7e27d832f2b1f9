// info, check, pack, unpack and new: whole carts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "commands.h"

namespace {

// "-- by someone" or "-- someone" on the second code line.
std::string author_of(const std::string& code) {
  std::string a = zkc_code_comment(code, 1);
  return a.starts_with("by ") ? a.substr(3) : a;
}

bool any_set(const uint8_t* p, size_t n) { return std::any_of(p, p + n, [](uint8_t v) { return v != 0; }); }

std::string sections_with_data(const zkc_cart& c) {
  std::string s;
  if (!c.code.empty()) s += " __lua__";
  if (any_set(c.gfx.data(), c.gfx.size())) s += " __gfx__";
  if (c.has_label) s += " __label__";
  if (any_set(c.flags.data(), c.flags.size())) s += " __gff__";
  // Map rows 32-63 live in the sheet's lower half.
  if (any_set(c.map.data(), ZKC_MAP_W * ZKC_SHARED_ROW)) s += " __map__";
  if (int n = zkc_sfx_count(c)) s += " __sfx__ (" + std::to_string(n) + (n == 1 ? " effect)" : " effects)");
  if (int n = zkc_pattern_count(c)) s += " __music__ (" + std::to_string(n) + (n == 1 ? " pattern)" : " patterns)");
  return s.empty() ? " none" : s;
}

// Warnings about the form of a text cart that the console reads anyway.
void warn_form(const std::string& path, const zkc_load_notes& n) {
  if (n.png) return;
  const std::string h = n.header;
  if (h != "zurkel cartridge" && !h.starts_with("zurkel cartridge //"))
    zkc_warn(path + ":1", "odd header line \"" + h + "\" (the console writes \"zurkel cartridge // ...\")");
  if (!n.version_line)
    zkc_warn(path + ":2", "not a \"version 12\" line: skipped, and the cart is read as version 0 "
                          "(with old carts' sound fix-ups)");
  for (const auto& [line, text] : n.unknown_sections)
    zkc_warn(path + ":" + std::to_string(line),
             "unknown section header \"" + text +
                 "\" (the sections are __lua__ __gfx__ __label__ __gff__ __map__ __sfx__ __music__,"
                 " lowercase): its lines are read into the section before it");
}

}  // namespace

int cmd_info(const zkc_args& a) {
  zkc_cart c;
  if (!zkc_open(a.pos[0], c)) return 1;
  std::string title = zkc_code_comment(c.code, 0), author = author_of(c.code);
  std::printf("title:      %s\n", title.empty() ? "(none: the first code line is no \"-- title\")" : title.c_str());
  std::printf("author:     %s\n", author.empty() ? "(none: the second code line is no \"-- by author\")"
                                                 : author.c_str());
  for (const zkc_size_line& l : zkc_size_lines(c.code))
    std::printf("%s%s\n", l.text.c_str(), l.over ? "  (over the limit)" : "");
  std::printf("data:      %s\n", sections_with_data(c).c_str());
  std::printf("label:      %s\n", c.has_label ? "yes" : "no");
  return 0;
}

int cmd_check(const zkc_args& a) {
  const std::string& path = a.pos[0];
  zkc_cart c;
  zkc_load_notes notes;
  if (!zkc_open(path, c, &notes)) return 1;
  warn_form(path, notes);
  for (const std::string& line : notes.console_lines) zkc_warn(path, line);
  for (const zkc_size_line& l : zkc_size_lines(c.code))
    if (l.over && l.text.starts_with("compressed"))
      zkc_warn(path, "compressed code over its limit: it cannot be saved as a .zk.png (" + l.text + ")");
  std::vector<std::string> lines;
  if (!zkc_compile(c, lines)) {
    std::string report = lines.empty() ? "does not compile" : lines[0];
    for (size_t i = 1; i < lines.size(); i++) report += "\n  " + lines[i];
    return zkc_fail(path, report);
  }
  std::printf("%s: ok\n", path.c_str());
  return 0;
}

int cmd_pack(const zkc_args& a) {
  if (!zkc_is_png_name(a.pos[1])) return zkc_usage_error("a picture cart's name ends in .zk.png: " + a.pos[1]);
  zkc_cart c;
  return zkc_open(a.pos[0], c) && zkc_store(c, a.pos[1]) ? 0 : 1;
}

int cmd_unpack(const zkc_args& a) {
  if (zkc_is_png_name(a.pos[1])) return zkc_usage_error("a text cart's name ends in .zk: " + a.pos[1]);
  zkc_cart c;
  return zkc_open(a.pos[0], c) && zkc_store(c, a.pos[1]) ? 0 : 1;
}

namespace {

// Sprite 1 of the template: a face in yellow (a), eyes and mouth left out.
const char* const kSprite[8] = {"00aaaa00", "0aaaaaa0", "aa0aa0aa", "aaaaaaaa",
                                "a0aaaa0a", "aa0000aa", "0aaaaaa0", "00aaaa00"};

std::string template_text(const std::string& title, const std::string& author) {
  std::string t = "zurkel cartridge // made by zkcart\nversion 12\n__lua__\n";
  t += "-- " + title + "\n-- by " + author + "\n";
  t +=
      "-- arrows move the face, o plays sound effect 0.\n"
      "\n"
      "function _init()\n"
      " x=60 y=60\n"
      "end\n"
      "\n"
      "function _update()\n"
      " if (btn(0)) x-=1\n"
      " if (btn(1)) x+=1\n"
      " if (btn(2)) y-=1\n"
      " if (btn(3)) y+=1\n"
      " if (btnp(4)) sfx(0)\n"
      "end\n"
      "\n"
      "function _draw()\n"
      " cls(1)\n"
      " print(\"arrows: move  o: sound\",20,4,7)\n"
      " spr(1,x,y)\n"
      "end\n";
  t += "__gfx__\n";
  for (const char* row : kSprite) t += std::string("00000000") + row + "\n";
  // Effect 0: speed 6, four rising square-wave notes, the last fading out.
  t += "__sfx__\n00060000" + std::string("1c350203502335028355") + std::string(28 * 5, '0') + "\n";
  return t + "\n";
}

// The label: the face eight times its size on the background colour.
void draw_label(zkc_cart& c) {
  c.has_label = true;
  for (int y = 0; y < ZKC_SHEET; y++)
    for (int x = 0; x < ZKC_SHEET; x++) {
      int sx = (x - 32) / 8, sy = (y - 32) / 8;
      bool in = x >= 32 && y >= 32 && sx < 8 && sy < 8;
      int v = in ? c.gfx[sy * ZKC_SHEET + 8 + sx] : 0;
      c.label[y * ZKC_SHEET + x] = static_cast<uint8_t>(v ? v : 1);
    }
}

}  // namespace

int cmd_new(const zkc_args& a) {
  std::string name = a.pos[0];
  std::string path = name.ends_with(".zk") ? name : name + ".zk";
  if (zkc_file_exists(path)) return zkc_fail(path, "already exists; not overwritten");
  std::string title = path.substr(path.find_last_of('/') + 1);
  title.resize(title.size() - 3);
  if (title.empty() || title.find_first_of("\r\n") != std::string::npos)
    return zkc_usage_error("a cart needs a name: " + name);
  const char* user = std::getenv("USER");
  zkc_cart c;
  std::string err;
  if (!zkc_parse_text(template_text(title, user && *user ? user : "me"), c, err)) return zkc_fail(path, err);
  draw_label(c);
  return zkc_store(c, path) ? 0 : 1;
}
