// Seeds for fuzz_pngcart: seeds_pngcart OUT_DIR CART.zk... writes each text
// cart's PNG payload to OUT_DIR/NAME, trailing zeros left off.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cart/cart_record.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "pod/stream.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: seeds_pngcart OUT_DIR CART.zk...\n");
    return 1;
  }
  int status = 0;
  for (int i = 2; i < argc; i++) {
    brim_stream* in = brim_fopen(argv[i], "rb");
    zurkel_cart* cart = in ? brim_load_zurkel_cart_from_file(in) : nullptr;
    if (in) brim_fclose(in);
    std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD);
    if (!cart || !cart_png_payload(cart, payload.data())) {
      std::fprintf(stderr, "seeds_pngcart: %s: not a cart that fits a PNG\n", argv[i]);
      brim_destroy_zurkel_cart(cart);
      status = 1;
      continue;
    }
    brim_destroy_zurkel_cart(cart);
    size_t n = payload.size();
    while (n > 0 && payload[n - 1] == 0) n--;
    std::string name = argv[i];
    name = std::string(argv[1]) + "/" + name.substr(name.find_last_of('/') + 1);
    FILE* out = std::fopen(name.c_str(), "wb");
    if (!out || std::fwrite(payload.data(), 1, n, out) != n) status = 1;
    if (out) std::fclose(out);
  }
  return status;
}
