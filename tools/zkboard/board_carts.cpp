#include "board_carts.h"

#include <cstring>
#include <vector>

#include "cart/cart_record.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/print.h"

namespace {
void copy_label(const brim_bitmap* b, board_label& out) {
  out.fill(0);
  for (int y = 0; y < BOARD_LABEL_SIDE && y < b->h; y++)
    for (int x = 0; x < BOARD_LABEL_SIDE && x < b->w; x++)
      out[y * BOARD_LABEL_SIDE + x] = b->line[y][x];
}
}  // namespace

bool board_load_cart(const std::string& path, const std::function<void(board_label&)>& make_card,
                     board_cart_file& out, std::string& err) {
  std::string bytes;
  if (!tool_read_file(path, bytes)) {
    err = "cannot read " + path;
    return false;
  }
  if (zurkel_cart* cart = load_zurkel_cart_png(path.c_str())) {
    if (cart->label) copy_label(cart->label, out.label);
    out.first_comment = tool_code_comment(cart->code, 0);
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
  out.first_comment = tool_code_comment(cart->code, 0);
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
