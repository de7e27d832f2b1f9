#include "base/random.h"

namespace {
uint32_t hi = 0x60009755u;
uint32_t lo = 0xDEADBEEFu;
}  // namespace

void brim_srand(uint32_t seed) {
  if (seed == 0) {
    lo = 0xDEADBEEFu;
    hi = 0x60009755u;
  } else {
    lo = seed;
    hi = seed ^ 0xBEAD29BAu;
  }
}

uint32_t brim_rand() {
  hi = ((hi << 16) | (hi >> 16)) + lo;
  lo += hi;
  return hi;
}

uint32_t brim_random(uint32_t n) { return n ? brim_rand() % n : 0; }
