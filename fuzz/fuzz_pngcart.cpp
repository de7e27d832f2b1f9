// Any bytes as a PNG cartridge file; a file that loads must save again.
#include <cstdint>
#include <vector>

#include "cart/cart_image.h"
#include "machine/memory.h"
#include "cart/pngcart.h"
#include "cart/cart_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zurkel_cart* cart = load_zurkel_cart_png_from_memory(data, size);
  if (cart) {
    std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE);
    save_zurkel_cart_32k(cart, image.data());
    brim_destroy_zurkel_cart(cart);
  }
  return 0;
}
