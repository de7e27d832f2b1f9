#include "cart/cart_record.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "audio/audio.h"

zurkel_cart* brim_create_zurkel_cart() {
  // Out of host memory a record with missing parts would be written out as
  // an empty cart and reported as stored: null instead, for the caller to
  // report the failure.
  auto* cart = new (std::nothrow) zurkel_cart;
  if (!cart) return nullptr;
  cart->code = static_cast<char*>(std::calloc(ZURKEL_CODE_BUFFER, 1));
  cart->gfx = brim_create_bitmap(128, 128, 8);
  cart->map = brim_create_bitmap(128, 64, 8);
  if (!cart->code || !cart->gfx || !cart->map) {
    brim_destroy_zurkel_cart(cart);
    return nullptr;
  }
  for (int i = 0; i < 64; i++) {
    cart->sfx[i].speed = i == 0 ? 1 : 16;
    for (int c = 0; c < 4; c++) cart->music[i][c] = 65 + c;
  }
  return cart;
}

void brim_destroy_zurkel_cart(zurkel_cart* cart) {
  if (!cart) return;
  brim_audio_release_cart(cart);
  brim_destroy_bitmap(cart->gfx);
  brim_destroy_bitmap(cart->map);
  brim_destroy_bitmap(cart->label);
  std::free(cart->code);
  delete cart;
}
