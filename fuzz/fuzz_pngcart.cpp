// Any bytes as the payload a PNG cart's pixels carry (shorter inputs end in
// zeros), decoded as the PNG reader does after the picture is decoded. A
// payload that loads must save again, and what it saves must load back to
// the same image. Seeds: fuzz/seeds_pngcart.cpp makes them from text carts.
#include <cstdint>
#include <cstring>
#include <vector>

#include "cart/cart_image.h"
#include "cart/cart_record.h"
#include "cart/pngcart.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD, 0);
  std::memcpy(payload.data(), data, size < payload.size() ? size : payload.size());
  if (payload[0x8000] > ZURKEL_CART_VERSION) return 0;  // refused before decoding
  zurkel_cart* cart = brim_create_zurkel_cart();
  cart->version = payload[0x8000];
  load_zurkel_cart_32k(cart, payload.data());
  std::vector<uint8_t> once(ZURKEL_PNG_PAYLOAD, 0), twice(ZURKEL_PNG_PAYLOAD, 0);
  if (cart_png_payload(cart, once.data())) {
    zurkel_cart* back = brim_create_zurkel_cart();
    if (load_zurkel_cart_32k(back, once.data()) != 0) __builtin_trap();
    if (!cart_png_payload(back, twice.data()) || once != twice) __builtin_trap();
    brim_destroy_zurkel_cart(back);
  }
  brim_destroy_zurkel_cart(cart);
  return 0;
}
