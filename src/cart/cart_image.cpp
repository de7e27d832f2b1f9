#include "cart/cart_image.h"

#include <nettle/sha1.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cart/code_image.h"
#include "cart/compress.h"
#include "machine/memory.h"

int save_zurkel_cart_32k(const zurkel_cart* cart, uint8_t* image) {
  std::memset(image, 0, ZURKEL_IMAGE_SIZE);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    image[a] = static_cast<uint8_t>(zurkel_peek(nullptr, cart, a));
  return cart_code_to_image(cart->code, image + ZURKEL_ROM_SIZE);
}

int load_zurkel_cart_32k(zurkel_cart* cart, const uint8_t* image) {
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) zurkel_poke(nullptr, cart, a, image[a]);
  if (!cart->code) cart->code = static_cast<char*>(std::calloc(ZURKEL_CODE_BUFFER, 1));
  if (!cart->code) return 1;
  const uint8_t* area = image + ZURKEL_ROM_SIZE;
  int length = cart_code_from_image(area, cart->code);
  // A block that declares text but yields none was damaged.
  bool damaged = is_compressed_code(area, ZURKEL_CODE_AREA) && length == 0 && (area[4] | area[5]);
  return damaged ? 1 : 0;
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
