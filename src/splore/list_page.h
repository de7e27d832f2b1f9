// List pages from the board: a 1024 x 544 PNG of 8 x 4 cells of 128 x 136,
// each a cart label over five text rows (one character per pixel in the
// green channel): "ID MID NUMBER", title, author, id text, second id text.
#pragma once
#include "splore/splore_state.h"

constexpr long SPLORE_PAGE_MAX_BYTES = 8L << 20;

// 0 on success, 1 if the image cannot be read, 2 if it has the wrong size.
int populate_splore_list_from_png_file(splore_list& l, const char* path, bool append);
// A special item (icon 178) of the given type and text.
splore_item splore_special_item(int type, const char* text);
