#include "base/random.h"

namespace {
struct {
  uint32_t hi = 0x60009755u;
  uint32_t lo = 0xDEADBEEFu;
} state;
}  // namespace

void brim_srand(uint32_t seed) {
  if (seed == 0) {
    state.lo = 0xDEADBEEFu;
    state.hi = 0x60009755u;
  } else {
    state.lo = seed;
    state.hi = seed ^ 0xBEAD29BAu;
  }
}

uint32_t brim_rand() {
  state.hi = ((state.hi << 16) | (state.hi >> 16)) + state.lo;
  state.lo += state.hi;
  return state.hi;
}

uint32_t brim_random(uint32_t n) { return n ? brim_rand() % n : 0; }
