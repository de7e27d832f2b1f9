// The loaded cart: the cartridge as loaded from its file. `reload` reads
// from it, saving writes it out, and each run copies its ROM part into the
// live cart (zurkel_machine::cart). The load/save pipeline (cart/pipeline.h)
// makes it; loading another destroys the previous one.
#pragma once

struct zurkel_cart;

constexpr int ZURKEL_CART_NAME_SIZE = 1025;  // file names up to 1,024 characters
constexpr int ZURKEL_HASH_SIZE = 41;         // 40 lowercase hex digits and a NUL

struct zurkel_loaded_cart {
  zurkel_cart* cart = nullptr;                 // null until the console creates one
  char name[ZURKEL_CART_NAME_SIZE] = {};       // empty: no file (new cart, clipboard)
  char hash[ZURKEL_HASH_SIZE] = {};            // hash_cart() of the cart
  // The file as it was when loaded or last saved (modification time in
  // nanoseconds, size; -1 none), so a quick save notices outside edits.
  long long file_mtime_ns = -1;
  long long file_size = -1;
};
