// The board's lists and their pages. A page is one 1024 x 544 PNG of 8 x 4
// cells of 128 x 136: the cart's label in the top 128 x 128, then text rows
// 128-132, one character per pixel in the green channel ("ID MID NUMBER",
// title, author, id, second id); an all-zero cell ends the useful entries.
#pragma once
#include <string>
#include <vector>

#include "board_carts.h"
#include "board_meta.h"

constexpr int BOARD_PAGE_ENTRIES = 32;
constexpr int BOARD_PAGE_W = 1024, BOARD_PAGE_H = 544;

enum board_order { BOARD_BY_DATE, BOARD_BY_RATING };

// Which carts a list holds and in which order. sub: 2 released (new and
// featured), 3 wip, 4 collab, 8 jam, 0 every cart. By rating: featured
// carts first, then higher ratings, then newer; by date: newer first; ties
// go to the cart later in board.txt. search: lowercase text looked for in
// titles and authors (empty: no filter).
struct board_selection {
  int sub = 0;
  board_order order = BOARD_BY_DATE;
  std::string search;
  int start = 0;
  int max = BOARD_PAGE_ENTRIES;
  std::string key() const;  // the same for every query asking for this page
};

// The browser's lists: the request text after "start_index=N&" and the name
// of the folder that `render` writes their pages to.
struct board_list_kind {
  const char* name;
  const char* request;
  int sub;
  board_order order;
  board_selection selection() const;  // its first page
};
extern const board_list_kind board_list_kinds[];
extern const int board_list_kind_count;

// What a list entry tells about a cart.
struct board_list_cart {
  const board_entry* entry;
  long number;  // non-zero: the numeric id, or the cart's place in board.txt
  const board_label* label;
};

// Indices into carts of the selected carts, in list order (the whole list,
// before start and max).
std::vector<size_t> board_select(const std::vector<board_list_cart>& carts,
                                 const board_selection& s);
// The page of those carts from s.start; false if the encoder failed.
bool board_page_png(const std::vector<board_list_cart>& carts, const std::vector<size_t>& list,
                    const board_selection& s, std::string& png);
// A 128 x 128 card for a cart without a label: title, author, category.
void board_make_card(const board_entry& e, board_label& label);
