// zkboard's door into the console's own code: cart readers and the PNG cart
// writer, and text in the console font. The rest (data.pod, palette, PNG
// encoder, file reads and safe writes) it shares with the other tools
// (tools/common/tool_core.h). Everything else in the tool is plain C++ on top
// of these few calls, so a move of the console's files touches these pairs.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tool_core.h"

constexpr int BOARD_LABEL_SIDE = 128;
// A 128 x 128 picture in console palette indices.
using board_label = std::array<uint8_t, BOARD_LABEL_SIDE * BOARD_LABEL_SIDE>;

// Call tool_load_resources (tool_core.h) once before anything below.

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

