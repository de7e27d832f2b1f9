#include "splore/labels.h"

#include <lodepng.h>

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "base/safe_write.h"
#include "cart/cart_files.h"
#include "cart/pngcart.h"
#include "gfx/png_decode.h"
#include "gfx/png_encode.h"
#include "gfx/video.h"
#include "settings/folders.h"
#include "splore/bbs_names.h"

namespace {

struct png_bytes {
  const std::vector<unsigned char>* data;
};
bool write_bytes(FILE* f, void* ctx) {
  const auto* v = static_cast<png_bytes*>(ctx)->data;
  return std::fwrite(v->data(), 1, v->size(), f) == v->size();
}
}  // namespace

splore_label splore_make_label() {
  return splore_label(brim_create_bitmap(128, 128, 8), brim_destroy_bitmap);
}

splore_label splore_label_from_rgba(const uint8_t* rgba, int w, int x0, int y0) {
  splore_label label = splore_make_label();
  if (!label) return label;
  std::unordered_map<uint32_t, int> seen;
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) {
      const uint8_t* p = rgba + 4 * (static_cast<size_t>(y0 + y) * w + x0 + x);
      uint32_t rgb = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      auto it = seen.find(rgb);
      int c = it != seen.end() ? it->second : (seen[rgb] = nearest_colour(rgb >> 16 & 255, rgb >> 8 & 255, rgb & 255, brim_palette));
      label->line[y][x] = static_cast<uint8_t>(c);
    }
  return label;
}

void save_bbs_cart_label(const splore_item& item) {
  std::string path = get_bbs_label_filename(item.id);
  if (path.empty() || !item.label || brim_file_exists(path.c_str())) return;
  std::vector<unsigned char> rgb(128 * 128 * 3), png;
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++)
      std::memcpy(&rgb[3 * (y * 128 + x)], &brim_palette[3 * item.label->line[y][x]], 3);
  if (!brim_encode_png(rgb.data(), 128, 128, LCT_RGB, png)) return;
  png_bytes ctx{&png};
  brim_write_file_safely(path.c_str(), write_bytes, &ctx);
}

splore_label create_label_from_cart_lid(const std::string& id) {
  std::string cart = get_bbs_cart_filename_ex(id, false);
  if (cart.empty()) return nullptr;
  if (brim_file_exists(cart.c_str()))
    if (brim_bitmap* b = create_label_from_file(cart.c_str())) return splore_label(b, brim_destroy_bitmap);
  std::string path = get_bbs_label_filename(id);
  unsigned w = 0, h = 0;
  std::vector<uint8_t> file, rgba;
  if (!cart_read_file(path, file, 1 << 20)) return nullptr;
  if (brim_png_decode_rgba(file.data(), file.size(), BRIM_PNG_IMPORT_W, BRIM_PNG_IMPORT_H, rgba, w, h) !=
          BRIM_PNG_OK ||
      w != 128 || h != 128)
    return nullptr;
  return splore_label_from_rgba(rgba.data(), 128, 0, 0);
}
