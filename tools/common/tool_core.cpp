#include "tool_core.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "cart/cart_files.h"
#include "gfx/font.h"
#include "gfx/png_encode.h"
#include "gfx/print.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "cart/data_pod.h"
#include "pod/pod.h"
#include "settings/config.h"
#include "settings/folders.h"

std::string tool_find_data_pod(const std::string& given) {
  if (!given.empty()) return cart_file_exists(given) ? given : "";
  // The running executable's folder (a name without a folder selects it).
  char here_buf[BRIM_PATH_MAX];
  brim_set_program_path(nullptr);
  brim_prefix_with_program_path("", here_buf);
  std::string here = here_buf;
  for (const std::string& p : {here + "data.pod", here + "../../data.pod"})
    if (cart_file_exists(p)) return p;
  return "";
}

bool tool_load_resources(const std::string& data_pod, std::string& err) {
  if (!zurkel_load_data_pod(data_pod.c_str())) {
    err = "cannot read data.pod: " + data_pod;
    return false;
  }
  brim_text_init();
  brim_pod* gfx = cpod_load_nested(zurkel_data_pod, DATA_POD_GFX);
  brim_pod* font = cpod_load_nested(zurkel_data_pod, DATA_POD_FONT);
  gfx_load_resources(gfx, font);
  // The copies live in a vector that goes at exit: free them before it does.
  static const bool freed_at_exit = std::atexit(gfx_free_resources) == 0;
  (void)freed_at_exit;
  brim_destroy_pod(gfx);
  brim_destroy_pod(font);
  return true;
}

const uint8_t* tool_palette_rgb() { return brim_palette; }

bool tool_encode_png(const uint8_t* pixels, int w, int h, bool alpha, std::string& png) {
  std::vector<unsigned char> out;
  if (!brim_encode_png(pixels, w, h, alpha ? LCT_RGBA : LCT_RGB, out)) return false;
  png.assign(out.begin(), out.end());
  return true;
}

std::string tool_code_comment(const char* code, int n) {
  if (!code) return "";
  for (; n > 0; n--) {
    code = std::strchr(code, '\n');
    if (!code) return "";
    code++;
  }
  if (std::strncmp(code, "--", 2) != 0) return "";
  code += code[2] == ' ' ? 3 : 2;
  return std::string(code, std::strcspn(code, "\r\n"));
}

bool tool_write_file(const std::string& path, const std::string& data) {
  return cart_write_file(path, data.data(), data.size());
}

bool tool_read_file(const std::string& path, std::string& data, size_t max_size) {
  std::vector<uint8_t> bytes;
  if (!cart_read_file(path, bytes, max_size)) return false;
  data.assign(bytes.begin(), bytes.end());
  return true;
}
