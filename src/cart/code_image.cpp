#include "cart/code_image.h"

#include <cstring>
#include <vector>

#include "cart/compress.h"
#include "machine/cart.h"

int cart_code_to_image(const char* code, uint8_t* area) {
  std::memset(area, 0, ZURKEL_CODE_AREA);
  size_t length = code ? std::strlen(code) : 0;
  if (length > 65535) return 1;
  int n = static_cast<int>(length);
  std::vector<uint8_t> out(8 + 2 * length);
  int size = compress_mini(code ? code : "", out.data(), n);
  // Plain text that would read back as a block header (the program ":c:"
  // followed by the zero padding) is stored as a block instead.
  if (size == n && n == 3 && is_compressed_code(reinterpret_cast<const uint8_t*>(code), 4))
    size = compress_mini_block(code, out.data(), n);
  if (size > ZURKEL_COMPRESSED_LIMIT) return 1;
  std::memcpy(area, out.data(), size);
  return 0;
}

int cart_code_from_image(const uint8_t* area, char* code) {
  std::memset(code, 0, ZURKEL_CODE_BUFFER);
  if (is_compressed_code(area, ZURKEL_CODE_AREA)) {
    int n = decompress_mini(area, code, ZURKEL_CODE_BUFFER - 1, ZURKEL_CODE_AREA);
    return n < 0 ? 0 : n;  // the buffer always holds the declared length
  }
  std::memcpy(code, area, ZURKEL_COMPRESSED_LIMIT);
  return static_cast<int>(std::strlen(code));
}
