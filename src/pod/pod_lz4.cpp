// LZ4 framing of compressed pod payloads: compressed size, then the block.
#include <lz4.h>
#include <lz4hc.h>

#include <vector>

#include "pod/pod.h"

int brim_fwrite_lz4(brim_stream* s, const void* src, int size) {
  if (size < 0 || size > LZ4_MAX_INPUT_SIZE) return -1;
  std::vector<char> block(LZ4_compressBound(size) > 0 ? LZ4_compressBound(size) : 16);
  int n = LZ4_compress_HC(static_cast<const char*>(src), block.data(), size,
                          static_cast<int>(block.size()), LZ4HC_CLEVEL_DEFAULT);
  if (n <= 0) return -1;
  if (!brim_write_u32(s, static_cast<uint32_t>(n))) return -1;
  if (brim_fwrite(block.data(), 1, n, s) != static_cast<size_t>(n)) return -1;
  return 4 + n;
}

int brim_fread_lz4(brim_stream* s, void* dst, int size) {
  uint32_t n = 0;
  if (size < 0 || !brim_read_u32(s, &n)) return -1;
  // A block never needs more than the bound for its output; a larger size
  // word, or one past the end of the data, is a lie.
  long bound = LZ4_compressBound(size) > 0 ? LZ4_compressBound(size) : 16;
  if (n == 0 || n > static_cast<uint32_t>(bound) || static_cast<long>(n) > brim_fremaining(s))
    return -1;
  std::vector<char> block(n);
  if (brim_fread(block.data(), 1, n, s) != n) return -1;
  int got = LZ4_decompress_safe(block.data(), static_cast<char*>(dst), static_cast<int>(n), size);
  return got == size ? 0 : -1;
}
