// Any bytes as a compressed code block, into output buffers of varied size.
#include <cstdint>
#include <cstring>
#include <vector>

#include "cart/compress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks the output size; the rest is the block.
  int out_size = data[0] == 0 ? 65537 : data[0] * 257;
  std::vector<uint8_t> block(data + 1, data + size);
  // One spare zero byte: a block may fill all out_size bytes, and the check
  // below reads the result as a string.
  std::vector<char> out(out_size + 1, 0);
  int n = decompress_mini(block.data(), out.data(), out_size, static_cast<int>(block.size()));
  if (n > out_size) __builtin_trap();
  if (n > 0 && n != 1 && std::strlen(out.data()) > static_cast<size_t>(n)) __builtin_trap();
  return 0;
}
