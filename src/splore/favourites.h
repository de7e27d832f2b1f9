// The favourites file ("favourites.txt" in the per-user data folder) and
// item identity: one line per cart,
//   "|%-20s |%-20s |%-6d |%-16s |%-20s |%s\n"  id, second id, number, author, file, title
#pragma once
#include <string>

#include "splore/splore_state.h"

// Two items are the same cart when their ids are equal, or, when the stored
// entry has neither id nor second id, when their files are equal and not empty.
bool splore_same_cart(const splore_item& stored, const std::string& id, const std::string& file);

// Title and author as the browser keeps them (trailing spaces removed;
// titles keep printable lower-case text with '|' as '_', authors a-z, 0-9
// and '_' cut to 16; lower_case first lowers capitals, as the file reader does).
std::string splore_clean_title(const std::string& s, bool lower_case);
std::string splore_clean_author(const std::string& s, bool lower_case);

constexpr size_t SPLORE_FAVOURITES_MAX = 10000;  // lines read at most

// Reads a favourites-format file into l (appending; lines of carts already
// in the list dropped). False when it cannot be opened.
bool populate_splore_list_from_text_file(splore_list& l, const char* path);
// Writes the cart items of l in the favourites format, through a temp file.
bool save_splore_list_to_file(const splore_list& l, const char* path);
bool save_splore_favourites();
// Empties the favourites list and reads the file again, labels included.
void reload_favourites();
bool is_favourite(const std::string& id, const std::string& file);
// Sets every item's favourite flag of list l (not the favourites list).
void mark_favourites(splore_list& l);
// Removes the cart from the favourites, or inserts item (its title, author,
// ids, number and label kept) before the first cart of the list. True
// when it is a favourite afterwards.
bool splore_toggle_favourite(const splore_item& item);
