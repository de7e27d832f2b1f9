// zkboard's only door into the console's own code: cart readers and the PNG
// cart writer, the PNG encoder, the palette and font of data.pod, and the
// safe-write routine. Everything else in the tool is plain C++ on top of
// these few calls, so a move of the console's files touches this pair only.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

constexpr int BOARD_LABEL_SIDE = 128;
// A 128 x 128 picture in console palette indices.
using board_label = std::array<uint8_t, BOARD_LABEL_SIDE * BOARD_LABEL_SIDE>;

// The data.pod to use: the given path, else the one beside the executable,
// else the build tree's (../../data.pod from build/tools/zkboard). Empty
// when none exists.
std::string board_find_data_pod(const std::string& given);
// Reads data.pod's palette, font and cartridge template. False with a
// message when it cannot be read. Call once, before anything below.
bool board_carts_init(const std::string& data_pod, std::string& err);
// 256 entries of red, green, blue.
const uint8_t* board_palette_rgb();

struct board_cart_file {
  std::string png;        // the cart as a .zk.png file
  board_label label{};    // its label (or the generated card)
  std::string first_comment;  // text of a leading "--" code line, or empty
};
// Reads a .zk.png or text cart. A PNG cart keeps its bytes and its label; a
// text cart is converted, with make_card drawing the label of a cart that
// has none. False with a message when the file is no loadable cart.
bool board_load_cart(const std::string& path, const std::function<void(board_label&)>& make_card,
                     board_cart_file& out, std::string& err);

// Console-font text into a label (colour: palette index), and its width.
void board_draw_text(board_label& label, const std::string& text, int x, int y, int colour);
int board_text_width(const std::string& text);

// RGB pixels as a PNG file. Safe to call from several threads at once.
bool board_encode_png_rgb(const uint8_t* rgb, int w, int h, std::string& png);

// Writes a file through a temporary name beside it and a rename.
bool board_write_file(const std::string& path, const std::string& data);
// Reads a whole file of at most max_size bytes.
bool board_read_file(const std::string& path, std::string& data, size_t max_size = 16u << 20);
