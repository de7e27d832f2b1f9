#include "base/strings.h"

#include <cstring>

void zurkel_copy_cut(char* dst, const char* src, size_t keep) {
  size_t n = src ? std::strlen(src) : 0;
  if (n > keep) n = keep;
  if (n) std::memcpy(dst, src, n);
  dst[n] = 0;
}
