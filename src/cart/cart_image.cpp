// The flat 32 KiB cartridge image: ROM part 0x0000-0x42FF as the memory map
// reads it, code from 0x4300 (cart/code_image.h).
#include <cstdlib>
#include <cstring>

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
