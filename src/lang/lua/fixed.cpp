// Fixed-point routines behind the interpreter's number operators and the
// arithmetic script functions. Built into the interpreter library (zklua)
// because the patched Lua core calls them.
#include "lang/fixed.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void (*zurkel_cpu_charge)(int cycles) = nullptr;

static void charge(int cycles) {
  if (zurkel_cpu_charge) zurkel_cpu_charge(cycles);
}

// ---- tables ---------------------------------------------------------------

static const std::array<int32_t, 4097> cos_table = [] {
  std::array<int32_t, 4097> t{};
  for (int i = 0; i <= 4096; i++)
    t[i] = static_cast<int32_t>(std::lround(std::cos(2.0 * M_PI * i / 16384.0) * 65536.0));
  return t;
}();

static const std::array<int32_t, 2049> atan_table = [] {
  std::array<int32_t, 2049> t{};
  for (int i = 0; i <= 2048; i++)
    t[i] = static_cast<int32_t>(std::lround(std::atan(i / 2048.0) / (2.0 * M_PI) * 65536.0));
  return t;
}();

const int32_t* const cos_val = cos_table.data();
const int32_t* const atan_val = atan_table.data();

// ---- trigonometry ---------------------------------------------------------

static int32_t cos_of_turn(uint32_t u) {
  int i = static_cast<int>((u & 0xFFFF) >> 2);  // 14-bit angle
  if (i > 8191) i = 16384 - i;
  return i <= 4095 ? cos_table[i] : -cos_table[8192 - i];
}

int32_t fcos(int32_t t) { return cos_of_turn(static_cast<uint32_t>(t) + 2); }

int32_t fsin(int32_t t) { return cos_of_turn(static_cast<uint32_t>(t) + 0x4002); }

int32_t fatan2(int32_t dx, int32_t dy) {
  // 64-bit so that -dy of the most negative number keeps its sign.
  int64_t ny = -static_cast<int64_t>(dy);
  int64_t q;
  int s;
  if (dx == 0) {
    q = FIX_MAX;
    s = ny >= 0 ? 1 : -1;
  } else {
    q = (ny * 65536) / dx;
    if (q > FIX_MAX) q = FIX_MAX;
    if (q < FIX_NEG_MAX) q = FIX_NEG_MAX;
    s = 1;
    if (q < 0) {
      s = -1;
      q = -q;
    }
  }
  int64_t angle;
  if (q > 0x10000) {
    q = (int64_t{1} << 32) / q;
    int64_t idx = q >> 5;
    if (idx > 2048) idx = 2048;
    angle = 0x4000 - atan_table[idx];
  } else {
    int64_t idx = q >> 5;
    if (idx > 2048) idx = 2048;
    angle = atan_table[idx];
  }
  angle *= s;
  if (dx < 0) angle += 0x8000;
  return static_cast<int32_t>(angle & 0xFFFF);
}

// ---- square root and power ------------------------------------------------

// Root of x >= 1.0: whole-number search, then two correction steps.
static int32_t root_from_one(int32_t x) {
  int32_t k = 1;
  while (fmul(k << 16, k << 16) <= x) k++;
  int64_t r0 = static_cast<int64_t>(k - 1) << 16;
  int64_t rem = x - fmul(static_cast<int32_t>(r0), static_cast<int32_t>(r0));
  int64_t d = (rem * 65536) / (2 * r0);
  int64_t r1 = r0 + d;
  int64_t dd = fmul(static_cast<int32_t>(d), static_cast<int32_t>(d));
  int64_t e = (dd * 65536) / (2 * r1);
  return static_cast<int32_t>(r1 - e);
}

int32_t fsqrt(int32_t x) {
  charge(8);
  // Negative arguments have no root: 0, like the root of 0.
  if (x <= 0) return 0;
  if (x > 0x7FF8FFFF) return 0xB50000;  // 181.0
  if (x > 0xFFFF) return root_from_one(x);
  // Below 1.0 the root goes through the reciprocal. For raw 1 and 2 the
  // reciprocal does not fit in 32 bits; their roots are 1/256 and
  // sqrt(2)/256 to the nearest step.
  if (x == 1) return 0x100;
  if (x == 2) return 0x16A;
  int32_t y = static_cast<int32_t>((int64_t{1} << 32) / x);
  int32_t r = root_from_one(y);
  if (r == 0) return FIX_MAX;
  return static_cast<int32_t>(static_cast<uint32_t>((int64_t{1} << 32) / r));
}

int32_t zk_fpow(int32_t a, int32_t b) {
  if (b == 0) return FIX_ONE;
  if (b < 0) {
    a = fdiv(FIX_ONE, a);
    b = zk_fneg(b);
  }
  int32_t r = FIX_ONE;
  int32_t base = a;
  int32_t n = b & ~0xFFFF;
  while (n > 0xFFFF) {
    if (n & 0x10000) r = fmul(r, base);
    base = fmul(base, base);
    n >>= 1;
  }
  // Fraction bits, most significant first: a^(1/2), a^(1/4), ...
  // A negative base takes the root of a negative number, which is 0.
  int32_t f = b & 0xFFFF;
  while (f != 0) {
    if (f <= 0xFFFF) {
      a = fsqrt(a);
      f *= 2;
    } else {
      r = fmul(r, a);
      f -= 0x10000;
    }
  }
  charge(8);
  return r;
}

// ---- random numbers -------------------------------------------------------

zk_rng zurkel_script_rng = {0xDEADBEEF, 0x60009755};

uint32_t zk_rng_step(zk_rng& g) {
  g.m_high = ((g.m_high << 16) | (g.m_high >> 16)) + g.m_low;
  g.m_low += g.m_high;
  return g.m_high;
}

void zk_rng_seed(zk_rng& g, uint32_t seed) {
  if (seed == 0) {
    g.m_low = 0xDEADBEEF;
    g.m_high = 0x60009755;
  } else {
    g.m_low = seed;
    g.m_high = seed ^ 0xBEAD29BA;
  }
  for (int i = 0; i < 32; i++) zk_rng_step(g);
}

int32_t zk_rng_random(zk_rng& g, int32_t n) {
  if (n == 0) return 0;
  return static_cast<int32_t>(zk_rng_step(g) % static_cast<uint32_t>(n));
}

uint32_t zurkel_rand() { return zk_rng_step(zurkel_script_rng); }
void zurkel_srand(uint32_t seed) { zk_rng_seed(zurkel_script_rng, seed); }
int32_t zurkel_random(int32_t n) { return zk_rng_random(zurkel_script_rng, n); }

// ---- text conversions -----------------------------------------------------

static bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

static int digit_value(char c, int base) {
  int v;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  else return -1;
  return v < base ? v : -1;
}

// "0x" / "0b" forms. Fraction digits past the 16 bits below the point
// (4 hexadecimal or 16 binary digits) are read and ignored.
static bool radix_to_fixed(const char* s, const char* end, int base, int32_t* out) {
  while (s < end && is_space(*s)) s++;
  bool neg = false;
  if (s < end && (*s == '-' || *s == '+')) neg = *s++ == '-';
  char marker = base == 16 ? 'x' : 'b';
  if (end - s < 2 || s[0] != '0' || (s[1] | 0x20) != marker) return false;
  s += 2;
  int bits = base == 16 ? 4 : 1;
  int digits = 0;
  uint32_t whole = 0;
  for (int v; s < end && (v = digit_value(*s, base)) >= 0; s++, digits++)
    whole = whole * base + v;
  uint32_t frac = 0;
  if (s < end && *s == '.') {
    s++;
    int shift = 16;
    for (int v; s < end && (v = digit_value(*s, base)) >= 0; s++, digits++) {
      shift -= bits;
      if (shift >= 0) frac |= static_cast<uint32_t>(v) << shift;
    }
  }
  if (digits == 0) return false;
  while (s < end && is_space(*s)) s++;
  if (s != end) return false;
  uint32_t v = (whole << 16) + frac;
  *out = static_cast<int32_t>(neg ? 0u - v : v);
  return true;
}

// Short plain decimals ("12", "-3.5", " 0.25 ") without the C library: the
// text is the exact fraction m / 10^f, so (d·65536 + 2^-17) is known exactly
// as (m·2^33 ± 10^f) / (2^17·10^f). The library's double differs from the
// exact value by far less than 2^-19 of a step, so the truncated results
// agree unless the exact value lies that close to a whole step; those
// texts, and everything that is not such a decimal, return false here and
// go the library's way.
static bool plain_decimal_to_fixed(const char* s, const char* end, int32_t* out) {
  while (s < end && is_space(*s)) s++;
  bool neg = false;
  if (s < end && (*s == '-' || *s == '+')) neg = *s++ == '-';
  uint64_t m = 0;
  int digits = 0, frac_digits = 0;
  for (; s < end && *s >= '0' && *s <= '9'; s++, digits++) m = m * 10 + (*s - '0');
  if (s < end && *s == '.') {
    for (s++; s < end && *s >= '0' && *s <= '9'; s++, digits++, frac_digits++) m = m * 10 + (*s - '0');
  }
  if (digits == 0 || digits > 9) return false;  // m below 10^9 < 2^30
  while (s < end && is_space(*s)) s++;
  if (s != end) return false;
  static constexpr uint64_t kPow10[10] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};
  const uint64_t p = kPow10[frac_digits];
  const uint64_t den = p << 17;
  const uint64_t scaled = m << 33;
  // |d·65536 + 2^-17| · den; a negative d whose magnitude is below 2^-17
  // rounds to 0 either way.
  bool negative_result = neg && scaled > p;
  uint64_t num = negative_result ? scaled - p : (neg ? p - scaled : scaled + p);
  uint64_t q = num / den, rem = num % den;
  const uint64_t margin = den >> 19;
  if (rem < margin || rem > den - margin) return false;
  if (!negative_result) {
    *out = q > 0x7FFFFFFF ? FIX_MIN : static_cast<int32_t>(q);
  } else {
    *out = q > 0x80000000u ? FIX_MIN : static_cast<int32_t>(0u - static_cast<uint32_t>(q));
  }
  return true;
}

bool zurkel_str_to_fixed(const char* s, size_t len, int32_t* out) {
  const char* end = s + len;
  if (plain_decimal_to_fixed(s, end, out)) return true;
  if (std::memchr(s, '\0', len)) return false;
  if (std::memchr(s, 'n', len) || std::memchr(s, 'N', len)) return false;
  if (std::memchr(s, 'x', len) || std::memchr(s, 'X', len))
    return radix_to_fixed(s, end, 16, out);
  if (std::memchr(s, 'b', len) || std::memchr(s, 'B', len))
    return radix_to_fixed(s, end, 2, out);
  // Decimal through the C library; the text may not be terminated at len.
  char small[64];
  char* text = len < sizeof small ? small : static_cast<char*>(std::malloc(len + 1));
  if (!text) return false;
  std::memcpy(text, s, len);
  text[len] = '\0';
  char* stop = nullptr;
  double d = std::strtod(text, &stop);
  bool ok = stop != text;
  while (ok && is_space(*stop)) stop++;
  ok = ok && stop == text + len;
  if (text != small) std::free(text);
  if (!ok) return false;
  double raw = d * 65536.0 + 1.0 / 131072.0;
  if (!(raw < 2147483648.0 && raw > -2147483649.0))
    *out = FIX_MIN;
  else
    *out = static_cast<int32_t>(raw);  // truncates towards zero
  return true;
}

// |raw| / 65536 rounded to `decimals` places, the way printf's "%.Nf" rounds
// the exact binary value (half to even); returns the scaled digits.
static uint64_t scaled_decimal(uint64_t magnitude, uint64_t scale) {
  uint64_t num = magnitude * scale;  // below 2^31 * 10^5: no overflow
  uint64_t q = num >> 16, rem = num & 0xFFFF;
  if (rem > 0x8000 || (rem == 0x8000 && (q & 1))) q++;
  return q;
}

// "%0.5f", then "%0.3f" when that shows ".9999" or ".0000", else "%0.4f";
// trailing zeros and a bare point removed. Computed with integers, giving
// the same text as the C library's formatting without its cost.
int zurkel_fixed_to_string(char* buf, int32_t raw) {
  if ((raw & 0xFFFF) == 0) {  // a whole number prints as just its digits
    int32_t whole = raw >> 16;
    uint32_t u = whole < 0 ? 0u - static_cast<uint32_t>(whole) : static_cast<uint32_t>(whole);
    char tmp[8];
    int n = 0, len = 0;
    do {
      tmp[n++] = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u);
    if (whole < 0) buf[len++] = '-';
    while (n) buf[len++] = tmp[--n];
    buf[len] = '\0';
    return len;
  }
  bool neg = raw < 0;
  uint64_t mag = neg ? static_cast<uint64_t>(-static_cast<int64_t>(raw)) : static_cast<uint64_t>(raw);
  uint64_t five = scaled_decimal(mag, 100000) % 100000;
  uint64_t first4 = five / 10;
  int decimals = (first4 == 9999 || first4 == 0) ? 3 : 4;
  uint64_t scale = decimals == 3 ? 1000 : 10000;
  uint64_t q = scaled_decimal(mag, scale);
  uint64_t whole = q / scale, frac = q % scale;
  char tmp[32];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole);
  int len = 0;
  if (neg) buf[len++] = '-';
  while (n) buf[len++] = tmp[--n];
  // Fraction digits without the trailing zeros.
  int digits = decimals;
  while (digits > 0 && frac % 10 == 0) {
    frac /= 10;
    digits--;
  }
  if (digits > 0) {
    buf[len++] = '.';
    for (int i = digits - 1; i >= 0; i--) {
      buf[len + i] = static_cast<char>('0' + frac % 10);
      frac /= 10;
    }
    len += digits;
  }
  buf[len] = '\0';
  return len;
}
