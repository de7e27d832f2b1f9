// Any bytes as a text cartridge.
#include <cstdint>

#include "cart/textcart.h"
#include "pod/stream.h"
#include "cart/cart_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  brim_stream* in = brim_open_memory(data, static_cast<int>(size));
  if (!in) return 0;
  zurkel_cart* cart = brim_load_zurkel_cart_from_file(in);
  brim_fclose(in);
  brim_destroy_zurkel_cart(cart);
  return 0;
}
