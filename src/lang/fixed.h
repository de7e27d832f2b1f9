// Script numbers: signed 16.16 fixed point in 32 bits (raw value v stands
// for v / 65536). Everything here is integer arithmetic except the decimal
// text conversions. The interpreter's number macros (luaconf.h) call these,
// so this header must not include any Lua header.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t FIX_ONE = 0x10000;
constexpr int32_t FIX_MAX = 0x7FFFFFFF;
constexpr int32_t FIX_MIN = INT32_MIN;
constexpr int32_t FIX_NEG_MAX = -0x7FFFFFFF;  // 0x80000001, -32767.99998

// Plain 32-bit operations that wrap instead of overflowing.
inline int32_t zk_fadd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t zk_fsub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t zk_fneg(int32_t a) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
inline int32_t fix_from_int(int n) {
  return static_cast<int32_t>(static_cast<uint32_t>(n) << 16);
}

// a * b: 64-bit product shifted right 16 (floored), low 32 bits kept.
inline int32_t zk_fmul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(
      static_cast<uint64_t>((static_cast<int64_t>(a) * b) >> 16)));
}
inline int32_t fmul(int32_t a, int32_t b) { return zk_fmul(a, b); }

// a / b: truncating, wraps beyond the range; division by zero gives the
// largest value of a's sign (0 counts as positive).
inline int32_t zk_fdiv(int32_t a, int32_t b) {
  if (b == 0) return a >= 0 ? FIX_MAX : FIX_NEG_MAX;
  int64_t q = (static_cast<int64_t>(a) * 65536) / b;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(q)));
}

// The engine's division: as zk_fdiv but saturating instead of wrapping.
inline int32_t fdiv(int32_t a, int32_t b) {
  if (b == 0) return a >= 0 ? FIX_MAX : FIX_NEG_MAX;
  int64_t q = (static_cast<int64_t>(a) * 65536) / b;
  if (q > FIX_MAX) return FIX_MAX;
  if (q < FIX_NEG_MAX) return FIX_NEG_MAX;
  return static_cast<int32_t>(q);
}

// a % b in [0, |b|): the sign of b is ignored; modulo zero gives a.
inline int32_t zk_fmod(int32_t a, int32_t b) {
  if (b == 0) return a;
  int64_t m = b < 0 ? -static_cast<int64_t>(b) : b;
  int64_t r = a % m;
  if (r < 0) r += m;
  return static_cast<int32_t>(r);
}

// a ^ b by squaring for the integer part and square roots for the
// fraction; charges the CPU budget.
int32_t zk_fpow(int32_t a, int32_t b);

// Square root (charges 8 cycles). Negative arguments give 0.
int32_t fsqrt(int32_t x);

// Angles in turns (1.0 = full circle); sine is negated for a y-down screen.
int32_t fcos(int32_t t);
int32_t fsin(int32_t t);
int32_t fatan2(int32_t dx, int32_t dy);

// The trigonometry tables (read-only, computed at start-up).
extern const int32_t* const cos_val;   // 4097 entries
extern const int32_t* const atan_val;  // 2049 entries

// Random generator: two 32-bit words. The script machine has its own pair.
struct zk_rng {
  uint32_t m_low;
  uint32_t m_high;
};
extern zk_rng zurkel_script_rng;
uint32_t zk_rng_step(zk_rng& g);
void zk_rng_seed(zk_rng& g, uint32_t seed);
int32_t zk_rng_random(zk_rng& g, int32_t n);  // [0, n) as unsigned; 0 gives 0
// The script machine's generator.
uint32_t zurkel_rand();
void zurkel_srand(uint32_t seed);
int32_t zurkel_random(int32_t n);

// Text to number: decimal, "0x" hexadecimal or "0b" binary, surrounding
// white space allowed, the whole text must be consumed. Returns false when
// the text is not a number.
bool zurkel_str_to_fixed(const char* s, size_t len, int32_t* out);

// Number to text (at most 31 characters plus terminator); returns length.
int zurkel_fixed_to_string(char* buf, int32_t raw);

// Cycles charged by the arithmetic routines (power, square root) go
// through this hook; null charges nothing. zurkel_open_base (script/interp.h)
// points it at the machine's spend_cpu.
extern void (*zurkel_cpu_charge)(int cycles);
