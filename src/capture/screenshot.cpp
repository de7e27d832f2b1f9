#include "capture/screenshot.h"

#include <lodepng.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/output_files.h"
#include "capture/scale.h"
#include "base/bitmap.h"
#include "host/desktop.h"
#include "gfx/png_encode.h"
#include "gfx/video.h"
#include "base/debug.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "base/safe_write.h"

namespace {
bool write_png_bytes(FILE* f, void* ctx) {
  auto* png = static_cast<std::vector<unsigned char>*>(ctx);
  return std::fwrite(png->data(), 1, png->size(), f) == png->size();
}
}  // namespace

int capture_screenshot_scale() {
  int s = console_config.screenshot_scale;
  return s < 1 ? 1 : s > 32 ? 32 : s;
}

bool brim_save_png(const char* path, const brim_bitmap* bmp) {
  if (!path || !*path || !bmp || bmp->depth != 8 || bmp->w <= 0 || bmp->h <= 0) return false;
  std::vector<unsigned char> rgba(static_cast<size_t>(bmp->w) * bmp->h * 4);
  size_t o = 0;
  for (int y = 0; y < bmp->h; y++) {
    for (int x = 0; x < bmp->w; x++) {
      int c = bmp->line[y][x];
      rgba[o++] = brim_palette[c * 3];
      rgba[o++] = brim_palette[c * 3 + 1];
      rgba[o++] = brim_palette[c * 3 + 2];
      rgba[o++] = c == 0 ? 0 : 255;
    }
  }
  std::vector<unsigned char> png;
  return brim_encode_png(rgba.data(), bmp->w, bmp->h, LCT_RGBA, png) &&
         brim_write_file_safely(path, write_png_bytes, &png);
}

int save_png_screenshot(const brim_bitmap* display) {
  if (!display || display->depth != 8) return 1;
  std::string path = capture_output_path("%03d", ".png");
  if (path.empty()) return 1;
  brim_bitmap* big = capture_scale_bitmap(display, capture_screenshot_scale());
  if (!big) return 1;
  size_t n = static_cast<size_t>(big->w) * big->h;
  for (size_t i = 0; i < n; i++)
    if (big->data[i] == 0) big->data[i] = 16;
  brim_debugf("saving screenshot to: %s\n", path.c_str());
  brim_save_png(path.c_str(), big);
  brim_destroy_bitmap(big);
  if (!brim_file_exists(path.c_str())) return 1;
  host_offer_file(path.c_str());
  return 0;
}
