#include "audio/brim_random.h"

// Two words; the audio thread (noise) and the main thread both draw from it,
// which only perturbs the sequence.
static uint32_t m_high = 0xDEADBEEFu;
static uint32_t m_low = 0x01234567u;

void brim_srand(uint32_t seed) {
  if (seed == 0) {
    m_low = 0xDEADBEEFu;
    m_high = 0x60009755u;
  } else {
    m_low = seed;
    m_high = seed ^ 0xBEAD29BAu;
  }
}

uint32_t brim_rand() {
  m_high = ((m_high << 16) | (m_high >> 16)) + m_low;
  m_low += m_high;
  return m_high;
}

uint32_t brim_random(uint32_t n) {
  if (n == 0) return 0;
  return brim_rand() % n;
}
