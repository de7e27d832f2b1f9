#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "host/clipboard.h"
#include "script/tabs.h"
#include "machine/machine.h"

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;  // a bad digit reads as 0
}

}  // namespace

std::string cart_clipboard_text(const std::vector<uint8_t>& png) {
  static const char kHex[] = "0123456789abcdef";
  std::string text = "[cart]";
  text.reserve(png.size() * 2 + 13);
  for (uint8_t b : png) {
    text.push_back(kHex[b >> 4]);
    text.push_back(kHex[b & 15]);
  }
  return text + "[/cart]";
}

std::vector<uint8_t> cart_clipboard_bytes(const std::string& text) {
  std::vector<uint8_t> out;
  size_t i = 6;  // past "[cart]"
  while (i + 1 < text.size() && text[i] != '[' && text[i + 1] != '[') {
    out.push_back(static_cast<uint8_t>(hex_digit(text[i]) << 4 | hex_digit(text[i + 1])));
    i += 2;
  }
  return out;
}

int save_cart_to_clipboard(zurkel_machine* m, bool* blank_label) {
  zurkel_cart* loaded_cart = m->loaded.cart;
  if (blank_label) *blank_label = !loaded_cart || !loaded_cart->label;
  if (!loaded_cart) return 1;
  merge_code_from_tabs(loaded_cart);
  std::string png_path = cart_data_folder() + "_clip.zk.png";
  if (save_zurkel_cart_png(loaded_cart, png_path.c_str()) != 0) return 1;
  std::vector<uint8_t> png;
  if (!cart_read_file(png_path, png)) return 1;
  std::string text = cart_clipboard_text(png);
  if (!cart_write_file(png_path + ".hex", text.data(), text.size())) return 1;
  return brim_set_clipboard_text(text.c_str()) ? 0 : 1;
}

bool load_cart_from_clipboard(zurkel_machine* m, int* code_len) {
  std::string text = host_clipboard_text();
  if (text.empty()) return false;
  std::vector<uint8_t> png = cart_clipboard_bytes(text);
  std::string path = cart_data_folder() + "_clip.zk.png";
  if (!cart_write_file(path, png.data(), png.size())) return false;
  if (load_working_cart(m, path.c_str()) != 0) return false;
  m->loaded.name[0] = 0;
  if (code_len) *code_len = static_cast<int>(std::strlen(m->loaded.cart->code));
  return true;
}
