#include "cart/pod_manifest.h"

#include <lodepng.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cart/textcart.h"
#include "gfx/glyph_sheet.h"
#include "cart/cart_image.h"
#include "machine/memory.h"
#include "cart/cart_record.h"
#include "cart/pngcart.h"
#include "gfx/resources.h"

namespace {

struct builder {
  std::string folder;  // the manifest's folder, with a trailing '/'
  std::string where;   // "path:line" of the directive being read
  std::string error;
  std::vector<std::string>* inputs = nullptr;
  std::vector<brim_pod*> stack;  // innermost last; [0] is the result

  bool fail(const std::string& message) {
    error = where + ": " + message;
    return false;
  }
  std::string resolve(const std::string& path) {
    std::string full = !path.empty() && path[0] == '/' ? path : folder + path;
    if (inputs) inputs->push_back(full);
    return full;
  }
  brim_pod* pod() { return stack.back(); }
};

std::string base_name(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool read_whole(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  out = ss.str();
  return true;
}

// Splits a directive into words; "quoted strings" keep their spaces.
bool split_words(const std::string& line, std::vector<std::string>& words, std::string& err) {
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) i++;
    if (i >= line.size()) break;
    std::string w;
    if (line[i] == '"') {
      i++;
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size()) {
          char e = line[i++];
          c = e == 'n' ? '\n' : e == 't' ? '\t' : e;
        }
        w += c;
      }
      if (!closed) {
        err = "unterminated string";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') w += line[i++];
    }
    words.push_back(w);
  }
  return true;
}

// Lines of a text file without line ends; blank and '#' lines dropped.
std::vector<std::string> content_lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    out.push_back(line);
  }
  return out;
}

bool add_file(builder& b, const std::string& name, const std::string& bytes) {
  if (name.size() > 63) return b.fail("item name longer than 63 characters: " + name);
  if (bytes.size() > static_cast<size_t>(BRIM_BUFFER_MAX)) return b.fail("file too large");
  if (cpod_add_file(b.pod(), name.c_str(), bytes.data(), static_cast<int>(bytes.size())) < 0)
    return b.fail("out of memory");
  return true;
}

bool do_cart32k(builder& b, const std::string& path, const std::string& name) {
  std::string full = b.resolve(path);
  zurkel_cart* cart = brim_load_zurkel_cart(full.c_str());
  if (!cart) return b.fail("not a text cartridge: " + full);
  zurkel_sync_shared_after_load(cart);
  std::string image(ZURKEL_IMAGE_SIZE, '\0');
  int rc = save_zurkel_cart_32k(cart, reinterpret_cast<uint8_t*>(image.data()));
  brim_destroy_zurkel_cart(cart);
  if (rc != 0) return b.fail("code too large for a 32 KiB image: " + full);
  return add_file(b, name, image);
}

// A text cartridge as a .zk.png file, drawn with the cart template and font
// of the pod being built (its items 1 and 2) unless resources are loaded.
bool do_pngcart(builder& b, const std::string& path, const std::string& name) {
  std::string full = b.resolve(path);
  zurkel_cart* cart = brim_load_zurkel_cart(full.c_str());
  if (!cart) return b.fail("not a text cartridge: " + full);
  bool borrowed = !gfx_resource_bitmap(GFX_RES_CART_TEMPLATE);
  if (borrowed) {
    brim_pod* gfx = cpod_load_nested(b.stack[0], 1);
    brim_pod* font = cpod_load_nested(b.stack[0], 2);
    gfx_load_resources(gfx, font);
    brim_destroy_pod(gfx);
    brim_destroy_pod(font);
  }
  std::vector<uint8_t> png;
  bool ok = gfx_resource_bitmap(GFX_RES_CART_TEMPLATE) && save_zurkel_cart_png_to_memory(cart, png);
  if (borrowed) gfx_free_resources();
  brim_destroy_zurkel_cart(cart);
  if (!ok) return b.fail("cannot make a PNG cart (template in items 1-2, code size): " + full);
  return add_file(b, name, std::string(png.begin(), png.end()));
}

bool do_palette(builder& b, const std::string& path) {
  std::string full = b.resolve(path), text;
  if (!read_whole(full, text)) return b.fail("cannot read " + full);
  auto lines = content_lines(text);
  if (lines.size() != 256) return b.fail("palette needs 256 lines of \"r g b\": " + full);
  auto* pal = new brim_pod_palette;
  for (int i = 0; i < 256; i++) {
    int r, g, bl;
    char extra;
    std::string entry = lines[i].substr(0, lines[i].find('#'));  // "r g b  # name"
    if (std::sscanf(entry.c_str(), "%d %d %d %c", &r, &g, &bl, &extra) != 3 || r < 0 || r > 255 ||
        g < 0 || g > 255 || bl < 0 || bl > 255) {
      delete pal;
      return b.fail("palette entry " + std::to_string(i) + " is not \"r g b\" (0-255): " + full);
    }
    pal->rgb[i][0] = static_cast<uint8_t>(r);
    pal->rgb[i][1] = static_cast<uint8_t>(g);
    pal->rgb[i][2] = static_cast<uint8_t>(bl);
  }
  cpod_add_item(b.pod(), BRIM_ITEM_PALETTE, pal);
  return true;
}

int art_digit(char c) {
  if (c == '.') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool do_bitmap8(builder& b, const std::string& path) {
  std::string full = b.resolve(path), text;
  if (!read_whole(full, text)) return b.fail("cannot read " + full);
  auto rows = content_lines(text);
  if (rows.empty()) return b.fail("empty picture: " + full);
  size_t w = rows[0].size();
  brim_bitmap* bmp = brim_create_bitmap(static_cast<int>(w), static_cast<int>(rows.size()), 8);
  if (!bmp) return b.fail("bad picture size: " + full);
  for (size_t y = 0; y < rows.size(); y++) {
    if (rows[y].size() != w) {
      brim_destroy_bitmap(bmp);
      return b.fail("row " + std::to_string(y) + " is not " + std::to_string(w) + " wide: " + full);
    }
    for (size_t x = 0; x < w; x++) {
      int v = art_digit(rows[y][x]);
      if (v < 0) {
        brim_destroy_bitmap(bmp);
        return b.fail("bad pixel '" + std::string(1, rows[y][x]) + "' in row " + std::to_string(y) + ": " + full);
      }
      bmp->line[y][x] = static_cast<uint8_t>(v);
    }
  }
  cpod_add_item(b.pod(), BRIM_ITEM_BITMAP, bmp);
  return true;
}

bool do_bitmap32(builder& b, const std::string& path) {
  std::string full = b.resolve(path);
  unsigned char* rgba = nullptr;
  unsigned w = 0, h = 0;
  if (lodepng_decode32_file(&rgba, &w, &h, full.c_str()) != 0 || !rgba) {
    std::free(rgba);
    return b.fail("not a readable PNG: " + full);
  }
  brim_bitmap* bmp = brim_create_bitmap(static_cast<int>(w), static_cast<int>(h), 32);
  if (!bmp) {
    std::free(rgba);
    return b.fail("bad picture size: " + full);
  }
  for (size_t i = 0; i < static_cast<size_t>(w) * h; i++) {
    bmp->data[4 * i + 0] = rgba[4 * i + 2];
    bmp->data[4 * i + 1] = rgba[4 * i + 1];
    bmp->data[4 * i + 2] = rgba[4 * i + 0];
    bmp->data[4 * i + 3] = rgba[4 * i + 3];
  }
  std::free(rgba);
  cpod_add_item(b.pod(), BRIM_ITEM_BITMAP, bmp);
  return true;
}

// 256 glyph bitmaps (codes 0-255) from a glyph sheet. Bit 0 of the first
// glyph's flags is left clear: the set covers every code.
bool do_glyphs(builder& b, const std::string& path) {
  std::string full = b.resolve(path), text, err;
  if (!read_whole(full, text)) return b.fail("cannot read " + full);
  std::vector<brim_bitmap*> glyphs;
  if (!brim_parse_glyph_sheet(text, glyphs, &err)) return b.fail(full + ": " + err);
  for (brim_bitmap* g : glyphs) cpod_add_item(b.pod(), BRIM_ITEM_BITMAP, g);
  return true;
}

bool close_pod(builder& b) {
  brim_pod* inner = b.stack.back();
  b.stack.pop_back();
  brim_stream* s = brim_create_buffer(0);
  bool ok = s && brim_save_pod_file(inner->name, inner, s) == 0;
  std::string bytes = ok ? std::string(reinterpret_cast<char*>(s->data), s->size) : "";
  std::string name = inner->name;
  brim_destroy_buffer(s);
  brim_destroy_pod(inner);
  if (!ok) return b.fail("cannot write nested pod " + name);
  return add_file(b, name, bytes);
}

bool directive(builder& b, const std::vector<std::string>& w) {
  const std::string& op = w[0];
  size_t n = w.size();
  auto need = [&](size_t lo, size_t hi) {
    if (n - 1 < lo || n - 1 > hi) return b.fail("'" + op + "' takes " + std::to_string(lo) +
                                                (lo == hi ? "" : "-" + std::to_string(hi)) + " arguments");
    return true;
  };
  if (op == "name") {
    if (!need(1, 1)) return false;
    if (w[1].size() > 31) return b.fail("pod name longer than 31 characters");
    std::snprintf(b.pod()->name, sizeof b.pod()->name, "%s", w[1].c_str());
    return true;
  }
  if (op == "pod") {
    if (!need(1, 1)) return false;
    if (w[1].size() > 31) return b.fail("pod name longer than 31 characters");
    if (b.stack.size() > 16) return b.fail("pods nested too deeply");
    brim_pod* p = brim_create_pod(0);
    std::snprintf(p->name, sizeof p->name, "%s", w[1].c_str());
    b.stack.push_back(p);
    return true;
  }
  if (op == "end") {
    if (!need(0, 0)) return false;
    if (b.stack.size() < 2) return b.fail("'end' without 'pod'");
    return close_pod(b);
  }
  if (op == "file") {
    if (!need(1, 2)) return false;
    std::string full = b.resolve(w[1]), bytes;
    if (!read_whole(full, bytes)) return b.fail("cannot read " + full);
    return add_file(b, n > 2 ? w[2] : base_name(w[1]), bytes);
  }
  if (op == "text") {
    if (!need(2, 2)) return false;
    return add_file(b, w[2], w[1]);
  }
  if (op == "cart32k") return need(2, 2) && do_cart32k(b, w[1], w[2]);
  if (op == "pngcart") return need(2, 2) && do_pngcart(b, w[1], w[2]);
  if (op == "palette") return need(1, 1) && do_palette(b, w[1]);
  if (op == "bitmap8") return need(1, 1) && do_bitmap8(b, w[1]);
  if (op == "bitmap32") return need(1, 1) && do_bitmap32(b, w[1]);
  if (op == "glyphs") return need(1, 1) && do_glyphs(b, w[1]);
  if (op == "podfile") {
    if (!need(1, 2)) return false;
    std::string full = b.resolve(w[1]), bytes;
    if (!read_whole(full, bytes)) return b.fail("cannot read " + full);
    brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
    brim_pod* check = brim_load_pod_file(full.c_str(), s);
    brim_fclose(s);
    if (!check) return b.fail("not a pod: " + full);
    brim_destroy_pod(check);
    return add_file(b, n > 2 ? w[2] : base_name(w[1]), bytes);
  }
  if (op == "pad") {
    if (!need(1, 1)) return false;
    char* end = nullptr;
    long target = std::strtol(w[1].c_str(), &end, 10);
    if (*end || target < 0 || target > 65536) return b.fail("bad item index " + w[1]);
    if (b.pod()->count > target)
      return b.fail("already " + std::to_string(b.pod()->count) + " items, cannot pad to " + w[1]);
    while (b.pod()->count < target) add_file(b, "", "");
    return true;
  }
  return b.fail("unknown directive '" + op + "'");
}

}  // namespace

brim_pod* brim_build_pod_from_manifest(const char* manifest_path, std::string& error,
                                       std::vector<std::string>* inputs) {
  builder b;
  b.inputs = inputs;
  std::string path = manifest_path ? manifest_path : "";
  size_t slash = path.find_last_of('/');
  b.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string text;
  if (!read_whole(path, text)) {
    error = path + ": cannot read the manifest";
    return nullptr;
  }
  b.stack.push_back(brim_create_pod(0));
  std::istringstream in(text);
  std::string line;
  bool ok = true;
  for (int number = 1; ok && std::getline(in, line); number++) {
    b.where = path + ":" + std::to_string(number);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    std::vector<std::string> words;
    std::string err;
    if (!split_words(line, words, err)) ok = b.fail(err);
    else if (!words.empty()) ok = directive(b, words);
  }
  if (ok && b.stack.size() > 1) {
    b.where = path;
    ok = b.fail("pod '" + std::string(b.pod()->name) + "' has no 'end'");
  }
  if (!ok) {
    error = b.error;
    for (brim_pod* p : b.stack) brim_destroy_pod(p);
    return nullptr;
  }
  return b.stack[0];
}
