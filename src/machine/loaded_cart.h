// The loaded cart: the cartridge as loaded from its file. `reload` reads
// from it, saving writes it out, and each run copies its ROM part into the
// live cart (pstate->cart). The load/save pipeline owns it; loading another
// destroys the previous one.
#pragma once

#include "machine/cart.h"

constexpr int ZURKEL_CART_NAME_SIZE = 1025;  // file names up to 1,024 characters
constexpr int ZURKEL_HASH_SIZE = 41;         // 40 lowercase hex digits and a NUL

extern zurkel_cart* loaded_cart;                    // null until the console creates one
extern char loaded_cart_name[ZURKEL_CART_NAME_SIZE]; // empty: no file (new cart, clipboard)
extern char loaded_cart_hash[ZURKEL_HASH_SIZE];     // hash_cart() of the loaded cart

// Makes cart the loaded cart: destroys the previous one, settles the shared
// sprite/map region, records name (null or empty: no file) and the hash.
// The load/save pipeline adds its own steps (legacy upgrades, code tabs,
// sandboxed cstore data) by installing its routine in
// zurkel_prepare_loaded_cart, which every caller that makes a loaded cart
// goes through. A null cart is ignored.
void set_loaded_cart(zurkel_cart* cart, const char* name);
extern void (*zurkel_prepare_loaded_cart)(zurkel_cart* cart, const char* name);

// The cart hash: SHA-1 of the 32 KiB image, 40 lowercase hex digits and a
// NUL. When the code does not fit the image, the image is built with the
// code replaced by the 40-digit SHA-1 of the code text.
void hash_cart(const zurkel_cart* cart, char out[ZURKEL_HASH_SIZE]);
// SHA-1 of any bytes as 40 lowercase hex digits and a NUL.
void zurkel_sha1_hex(const void* data, int size, char out[ZURKEL_HASH_SIZE]);
