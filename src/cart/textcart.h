// Text cartridges (.zk): the editable, line-based form of a cartridge
// record, all pixel and sound data as lowercase hexadecimal.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "machine/cart.h"
#include "pod/stream.h"

// The header line; readers check only its first 16 characters.
constexpr char ZURKEL_TEXTCART_HEADER[] = "zurkel cartridge // http://www.zurkel-console.org";

// Set when the last read met a version above 12; cleared at each read.
extern bool textcart_future_version;

// Writes the cart to an open stream. Returns 0.
int brim_save_zurkel_cart_to_file(const zurkel_cart* cart, brim_stream* s);
// 0, or 1 when the file cannot be written. The file is written beside the
// target and renamed over it, so a failed save leaves the old file intact.
int brim_save_zurkel_cart(const zurkel_cart* cart, const char* path);

// What a read noticed about the form of a file, for callers that check carts
// (the read itself is the same with or without it).
struct textcart_notes {
  std::string header;          // the first line as read
  bool version_line = false;   // the second line held "version N"
  // Lines shaped like a section header ("__name__", alone on the line) that
  // name no section: 1-based line number and text. Such a line is read as
  // data of the section before it.
  std::vector<std::pair<int, std::string>> unknown_sections;
};

// A new record, or null when the header does not match or the version is
// above 12 (the future-version flag is then set). notes, when given, is
// filled as far as the read got.
zurkel_cart* brim_load_zurkel_cart_from_file(brim_stream* s, textcart_notes* notes = nullptr);
// Opens path for reading (falling back to the virtual disk); null when it
// cannot be opened or read.
zurkel_cart* brim_load_zurkel_cart(const char* path, textcart_notes* notes = nullptr);
