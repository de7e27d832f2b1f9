// The browser's records: items, the eight lists, and the browser state.
// Everything in src/splore works on the one state, `splore`.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/bitmap.h"

struct zurkel_machine;

enum splore_item_type {
  ITEM_CART = 1,
  ITEM_FOLDER = 2,
  ITEM_UPDATE = 3,
  ITEM_LOAD_MORE = 5,
  ITEM_SEARCH = 6,
};

enum splore_list_index {
  LIST_LOCAL = 0,
  LIST_FAV = 1,
  LIST_NEW = 2,
  LIST_TOP = 3,
  LIST_WIP = 4,
  LIST_COLLAB = 5,
  LIST_JAM = 6,
  LIST_SEARCH = 7,
  LIST_COUNT = 8,
};

constexpr int SPLORE_TEXT_MAX = 127;    // title, author, file, ids
constexpr int SPLORE_AUTHOR_SHOWN = 16;
constexpr int SPLORE_SEARCH_MAX = 22;

using splore_label = std::shared_ptr<brim_bitmap>;  // 128 x 128, 8-bit
splore_label splore_make_label();  // zero-filled

struct splore_item {
  int icon = 0;
  std::string title, author, file, id, mid;
  int number = 0;
  splore_label label;
  int type = ITEM_CART;
  bool favourite = false;
};

struct splore_list {
  std::string name, title, request;
  std::vector<splore_item> items;
  int selected = 0;
  int scroll = 0;
  std::string search;    // search entry
  int cursor = 0;
  bool entering = false;
};

enum splore_menu { MENU_NONE = 0, MENU_CART = 1, MENU_OPTIONS = 5 };

struct splore_menu_row {
  std::string text;
  int action;
};

struct splore_state {
  splore_list lists[LIST_COUNT];
  int current = LIST_LOCAL;
  int menu = MENU_NONE;
  std::vector<splore_menu_row> menu_rows;
  int menu_row = 0;
  int launch = 0;                 // frames since a launch began; 0 none
  splore_item running_item;       // the item being (or last) launched
  bool running_from_browser = false;
  std::string folder;             // current local folder under the root ("" the root)
  uint64_t selected_ms = 0;       // wall clock of the last selection change
  int64_t last_frame = INT64_MIN; // frame counter at the last update (entry detection)
  bool inited = false;
};

extern splore_state splore;

// The wall clock in milliseconds (never the virtual clock of -fast).
uint64_t splore_wall_ms();
// The current list.
splore_list& splore_current();
void splore_clamp_selection(splore_list& l);
void splore_set_selected(splore_list& l, int index);
// The banner (through the machine's host) and its log line.
void splore_message(zurkel_machine* m, const char* text, int ms);
