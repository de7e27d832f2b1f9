// `zkboard add` and `zkboard render`.
#pragma once
#include <string>

struct board_add_options {
  std::string id, title, author, category = "new", date;
  int rating = 0;
};

// Copies the cart into FOLDER/carts/ under its id (the next free number
// unless given) and appends its line to board.txt. 0, or 1 with a message.
int board_add(const std::string& folder, const std::string& cart, board_add_options o);

// Writes every cart, list page and web page of the board under out, at the
// file names a static server maps the requests to (nginx.conf.sample).
int board_render(const std::string& folder, const std::string& out);
