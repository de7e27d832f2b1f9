#include "machine/loaded_cart.h"

#include <nettle/sha1.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "machine/memory.h"

zurkel_cart* loaded_cart = nullptr;
char loaded_cart_name[ZURKEL_CART_NAME_SIZE];
char loaded_cart_hash[ZURKEL_HASH_SIZE];
void (*zurkel_prepare_loaded_cart)(zurkel_cart*, const char*) = set_loaded_cart;

void set_loaded_cart(zurkel_cart* cart, const char* name) {
  if (!cart) return;
  if (loaded_cart != cart) brim_destroy_zurkel_cart(loaded_cart);
  loaded_cart = cart;
  zurkel_sync_shared_after_load(cart);
  std::snprintf(loaded_cart_name, sizeof loaded_cart_name, "%s", name ? name : "");
  hash_cart(cart, loaded_cart_hash);
}

void zurkel_sha1_hex(const void* data, int size, char out[ZURKEL_HASH_SIZE]) {
  sha1_ctx ctx;
  uint8_t digest[SHA1_DIGEST_SIZE];
  sha1_init(&ctx);
  sha1_update(&ctx, size > 0 ? static_cast<size_t>(size) : 0, static_cast<const uint8_t*>(data));
  sha1_digest(&ctx, SHA1_DIGEST_SIZE, digest);
  for (int i = 0; i < SHA1_DIGEST_SIZE; i++) std::snprintf(out + 2 * i, 3, "%02x", digest[i]);
}

void hash_cart(const zurkel_cart* cart, char out[ZURKEL_HASH_SIZE]) {
  out[0] = 0;
  if (!cart) return;
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE);
  if (save_zurkel_cart_32k(cart, image.data()) != 0) {
    // Too much code for the image: stand in the code's own hash.
    zurkel_cart stand_in = *cart;
    std::vector<char> code(ZURKEL_CODE_BUFFER, 0);
    if (cart->code)
      zurkel_sha1_hex(cart->code, static_cast<int>(std::strlen(cart->code)), code.data());
    stand_in.code = code.data();
    save_zurkel_cart_32k(&stand_in, image.data());
    stand_in.code = nullptr;  // the copy owns nothing
  }
  zurkel_sha1_hex(image.data(), ZURKEL_IMAGE_SIZE, out);
}
