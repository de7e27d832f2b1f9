#include "board_carts.h"

#include <cstring>
#include <vector>

#include "cart/cart_files.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "gfx/bitmap.h"
#include "gfx/font.h"
#include "gfx/png_encode.h"
#include "gfx/print.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "pod/data_pod.h"
#include "pod/pod.h"

std::string board_find_data_pod(const std::string& given) {
  if (!given.empty()) return cart_file_exists(given) ? given : "";
  std::string here = zurkel_program_folder();
  for (const std::string& p : {here + "data.pod", here + "../../data.pod"})
    if (cart_file_exists(p)) return p;
  return "";
}

bool board_carts_init(const std::string& data_pod, std::string& err) {
  if (!zurkel_load_data_pod(data_pod.c_str())) {
    err = "cannot read data.pod: " + data_pod;
    return false;
  }
  brim_text_init();
  brim_pod* gfx = cpod_load_nested(zurkel_data_pod, DATA_POD_GFX);
  brim_pod* font = cpod_load_nested(zurkel_data_pod, DATA_POD_FONT);
  gfx_load_resources(gfx, font);
  brim_destroy_pod(gfx);
  brim_destroy_pod(font);
  return true;
}

const uint8_t* board_palette_rgb() { return brim_palette; }

namespace {
void copy_label(const brim_bitmap* b, board_label& out) {
  out.fill(0);
  for (int y = 0; y < BOARD_LABEL_SIDE && y < b->h; y++)
    for (int x = 0; x < BOARD_LABEL_SIDE && x < b->w; x++)
      out[y * BOARD_LABEL_SIDE + x] = b->line[y][x];
}

std::string comment_of(const zurkel_cart* cart) {
  const char* code = cart->code ? cart->code : "";
  if (std::strncmp(code, "--", 2) != 0) return "";
  code += code[2] == ' ' ? 3 : 2;
  return std::string(code, std::strcspn(code, "\r\n"));
}
}  // namespace

bool board_load_cart(const std::string& path, const std::function<void(board_label&)>& make_card,
                     board_cart_file& out, std::string& err) {
  std::string bytes;
  if (!board_read_file(path, bytes)) {
    err = "cannot read " + path;
    return false;
  }
  if (zurkel_cart* cart = load_zurkel_cart_png(path.c_str())) {
    if (cart->label) copy_label(cart->label, out.label);
    out.first_comment = comment_of(cart);
    out.png = std::move(bytes);
    brim_destroy_zurkel_cart(cart);
    return true;
  }
  if (zurkel_png_load_error == 3) {
    err = path + ": made by a newer version";
    return false;
  }
  zurkel_cart* cart = brim_load_zurkel_cart(path.c_str());
  if (!cart) {
    err = path + (textcart_future_version ? ": made by a newer version" : ": not a cartridge");
    return false;
  }
  if (cart->label) {
    copy_label(cart->label, out.label);
  } else {
    make_card(out.label);
    cart->label = brim_create_bitmap(BOARD_LABEL_SIDE, BOARD_LABEL_SIDE, 8);
    for (int y = 0; y < BOARD_LABEL_SIDE; y++)
      std::memcpy(cart->label->line[y], &out.label[y * BOARD_LABEL_SIDE], BOARD_LABEL_SIDE);
  }
  out.first_comment = comment_of(cart);
  std::vector<uint8_t> png;
  bool ok = save_zurkel_cart_png_to_memory(cart, png);
  brim_destroy_zurkel_cart(cart);
  if (!ok) {
    err = path + ": its code is too large for a .zk.png cart";
    return false;
  }
  out.png.assign(png.begin(), png.end());
  return true;
}

void board_draw_text(board_label& label, const std::string& text, int x, int y, int colour) {
  const brim_font* font = zurkel_console_font ? zurkel_console_font : brim_font1;
  brim_bitmap* b = brim_create_bitmap(BOARD_LABEL_SIDE, BOARD_LABEL_SIDE, 8);
  if (!b || !font) return brim_destroy_bitmap(b);
  std::memcpy(b->data, label.data(), label.size());
  brim_draw_text_ex(b, text.c_str(), font, x, y, BRIM_TEXT_COLOUR, static_cast<uint32_t>(colour));
  std::memcpy(label.data(), b->data, label.size());
  brim_destroy_bitmap(b);
}

int board_text_width(const std::string& text) {
  const brim_font* font = zurkel_console_font ? zurkel_console_font : brim_font1;
  return font ? brim_get_text_width(text.c_str(), font) : 0;
}

bool board_encode_png_rgb(const uint8_t* rgb, int w, int h, std::string& png) {
  std::vector<unsigned char> out;
  if (!brim_encode_png(rgb, w, h, LCT_RGB, out)) return false;
  png.assign(out.begin(), out.end());
  return true;
}

bool board_write_file(const std::string& path, const std::string& data) {
  return cart_write_file(path, data.data(), data.size());
}

bool board_read_file(const std::string& path, std::string& data, size_t max_size) {
  std::vector<uint8_t> bytes;
  if (!cart_read_file(path, bytes, max_size)) return false;
  data.assign(bytes.begin(), bytes.end());
  return true;
}
