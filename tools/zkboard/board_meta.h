// The board's metadata file, board.txt: one cart per line, fields separated
// by '|', written for people to edit (its header, board_meta_header, says
// how). Reading checks every field and names the line of each fault.
#pragma once
#include <string>
#include <vector>

constexpr char BOARD_META_FILE[] = "board.txt";
constexpr int BOARD_TEXT_MAX = 127;  // title and author characters
constexpr int BOARD_ID_MAX = 40;
constexpr int BOARD_RATING_MAX = 5;

// The categories in the order they are documented.
extern const char* const board_categories[];
extern const int board_category_count;
extern const char board_meta_header[];

struct board_entry {
  std::string id;        // 2-40 characters of 0-9, a-z and '_'
  std::string category;  // one of board_categories
  int rating = 0;        // 0-5
  std::string date;      // YYYY-MM-DD
  std::string file;      // the cart, relative to the board folder (or absolute)
  std::string author;
  std::string title;
  int line = 0;          // line number in board.txt
};

bool board_valid_id(const std::string& id);
// A numeric id (digits, no leading zero, at most 9): its value, else 0.
long board_id_number(const std::string& id);
bool board_valid_category(const std::string& c);
bool board_valid_date(const std::string& d);
// An empty message when text is a usable title or author.
std::string board_text_fault(const std::string& text, bool may_be_empty);

// Parses the whole file. False with one "NAME:LINE: message" line per fault.
bool board_parse_meta(const std::string& text, const std::string& name,
                      std::vector<board_entry>& out, std::string& err);
// The entry as a line of the file (with its newline).
std::string board_meta_line(const board_entry& e);
