// A board as served: every cart of a folder's board.txt read, converted and
// checked, its pages made. A snapshot never changes once opened (apart from
// its small cache of other pages), so server threads share it freely; a new
// one replaces it when the folder changes.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "board_lists.h"

using board_bytes = std::shared_ptr<const std::string>;

struct board_cart {
  board_entry entry;
  long number = 0;
  board_label label{};
  board_bytes png;   // the .zk.png file
  board_bytes html;  // its page
};

struct board_snapshot {
  std::string folder;
  std::string signature;  // board_signature() when it was read
  std::vector<board_cart> carts;
  std::vector<board_list_cart> list_carts;  // views of carts for board_lists
  std::map<std::string, size_t> by_id;
  std::map<std::string, board_bytes> pages;  // every page of the browser's lists
  board_bytes index_html;

  // Other pages (searches, other start or max), kept for a while; at most
  // build_limit of them are made at once.
  int build_limit = 1;
  mutable std::mutex recent_mutex;
  mutable std::map<std::string, board_bytes> recent;
  mutable std::atomic<int> building{0};
};

// Reads FOLDER/board.txt and every cart. Null with a message on any fault.
std::shared_ptr<board_snapshot> board_open(const std::string& folder, std::string& err);
// Changes whenever board.txt or one of its cart files changes.
std::string board_signature(const std::string& folder);
// A cart file of the board: absolute, or relative to the folder.
std::string board_cart_location(const std::string& folder, const std::string& file);

// The page asked for, or null when too many pages are being made (busy set)
// or the encoder failed.
board_bytes board_page(const board_snapshot& b, const board_selection& s, bool& busy);

// The request path of a cart: /bbs/cposts/N/ID.zk.png or /bbs/cposts/XY/ID.zk.png.
std::string board_cart_path(const std::string& id);
// The query of a list page as the console's browser asks for it.
std::string board_list_url(const board_list_kind& k, int start);
// Every URL a static copy of the board answers, with its file name there.
std::vector<std::pair<std::string, std::string>> board_static_files(const board_snapshot& b);

// The HTML pages (board_html.cpp).
std::string board_cart_html(const board_cart& c);
std::string board_index_html(const board_snapshot& b);
