// 16.16 numbers: routines, operators, conversions, keys and loops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "lang/fixed.h"
#include "unit/lang_script.h"

TEST(LangFixed, MultiplyFloorsAndWraps) {
  EXPECT_EQ(zk_fmul(fix(200), fix(200)), fix(-25536));
  EXPECT_EQ(zk_fmul(fix(1.5), fix(2)), fix(3));
  EXPECT_EQ(zk_fmul(-1, 1), -1);  // floored towards -infinity
  EXPECT_EQ(zk_fmul(1, 1), 0);
}

TEST(LangFixed, DivideByZeroAndWrap) {
  EXPECT_EQ(zk_fdiv(fix(1), 0), 0x7FFFFFFF);
  EXPECT_EQ(zk_fdiv(fix(-1), 0), static_cast<int32_t>(0x80000001));
  EXPECT_EQ(zk_fdiv(0, 0), 0x7FFFFFFF);
  EXPECT_EQ(zk_fdiv(fix(1), fix(3)), 0x5555);
  EXPECT_EQ(zk_fdiv(fix(-7), fix(2)), fix(-3.5));
  EXPECT_EQ(zk_fdiv(fix(-1), fix(3)), -0x5555);  // truncates towards zero
  // Quotients beyond the range wrap; the engine's fdiv saturates.
  EXPECT_EQ(zk_fdiv(fix(20000), fix(0.5)), fix(40000 - 65536));
  EXPECT_EQ(fdiv(fix(20000), fix(0.5)), 0x7FFFFFFF);
  EXPECT_EQ(fdiv(fix(-20000), fix(0.5)), static_cast<int32_t>(0x80000001));
}

TEST(LangFixed, ModuloIgnoresSignOfDivisor) {
  EXPECT_EQ(zk_fmod(fix(5), fix(-3)), fix(2));
  EXPECT_EQ(zk_fmod(fix(-5), fix(3)), fix(1));
  EXPECT_EQ(zk_fmod(fix(-5), fix(-3)), fix(1));
  EXPECT_EQ(zk_fmod(fix(5.5), fix(-2)), fix(1.5));
  EXPECT_EQ(zk_fmod(fix(7), 0), fix(7));
  EXPECT_EQ(zk_fmod(fix(3), INT32_MIN), fix(3));
  EXPECT_EQ(zk_fmod(fix(-3), INT32_MIN), fix(-3) - INT32_MIN);
}

TEST(LangFixed, SquareRoot) {
  EXPECT_EQ(fsqrt(fix(2)), 0x16AAB);
  EXPECT_EQ(fsqrt(0x8000), 0xB4B4);
  EXPECT_EQ(fsqrt(fix(4)), fix(2));
  EXPECT_EQ(fsqrt(fix(0.25)), fix(0.5));
  EXPECT_EQ(fsqrt(fix(32767)), fix(181));
  EXPECT_EQ(fsqrt(0x7FF8FFFF), fsqrt(0x7FF8FFFF));  // largest searched value
  EXPECT_EQ(fsqrt(0x7FF90000), fix(181));
  EXPECT_EQ(fsqrt(0), 0);
  EXPECT_EQ(fsqrt(fix(-4)), 0);
  EXPECT_EQ(fsqrt(1), 0x100);
  EXPECT_EQ(fsqrt(2), 0x16A);
  EXPECT_NEAR(fsqrt(3) / 65536.0, std::sqrt(3 / 65536.0), 0.0001);
  for (int64_t x = 3; x < 0x7FFF0000; x += 0x1234567 / 7) {
    double want = std::sqrt(x / 65536.0);
    EXPECT_NEAR(fsqrt(static_cast<int32_t>(x)) / 65536.0, want, want * 0.01 + 0.0002) << x;
  }
}

TEST(LangFixed, Power) {
  EXPECT_EQ(zk_fpow(fix(2), fix(0.5)), 0x16AAB);
  EXPECT_EQ(zk_fpow(fix(2), fix(-1)), fix(0.5));
  EXPECT_EQ(zk_fpow(0, fix(-1)), 0x7FFFFFFF);
  EXPECT_EQ(zk_fpow(fix(3), fix(4)), fix(81));
  EXPECT_EQ(zk_fpow(fix(-2), fix(3)), fix(-8));
  for (int32_t x : {0, 1, -1, fix(7), fix(-32768), 0x7FFFFFFF}) EXPECT_EQ(zk_fpow(x, 0), fix(1));
  EXPECT_EQ(zk_fpow(fix(2), fix(16)), 0);  // wraps like repeated multiplication
}

static int charged = 0;
static void count_charge(int n) { charged += n; }

TEST(LangFixed, PowerAndRootCharge) {
  auto saved = zurkel_cpu_charge;
  zurkel_cpu_charge = count_charge;
  charged = 0;
  zk_fpow(fix(5), 0);
  EXPECT_EQ(charged, 0);
  zk_fpow(fix(5), fix(2));
  EXPECT_EQ(charged, 8);
  charged = 0;
  zk_fpow(fix(5), fix(0.75));  // two square roots
  EXPECT_EQ(charged, 24);
  charged = 0;
  fsqrt(fix(9));
  EXPECT_EQ(charged, 8);
  zurkel_cpu_charge = saved;
}

TEST(LangFixed, TrigTables) {
  EXPECT_EQ(cos_val[0], 65536);
  EXPECT_EQ(cos_val[4096], 0);
  EXPECT_EQ(cos_val[2048], 46341);
  EXPECT_EQ(atan_val[0], 0);
  EXPECT_EQ(atan_val[2048], 8192);
  EXPECT_EQ(atan_val[1024], static_cast<int32_t>(std::lround(std::atan(0.5) / (2 * M_PI) * 65536)));
}

TEST(LangFixed, CosineAndSine) {
  EXPECT_EQ(fcos(0), fix(1));
  EXPECT_EQ(fsin(fix(0.25)), fix(-1));
  EXPECT_EQ(fsin(fix(0.75)), fix(1));
  EXPECT_EQ(fcos(fix(0.5)), fix(-1));
  EXPECT_EQ(fcos(fix(0.25)), 0);
  EXPECT_EQ(fcos(fix(7)), fix(1));  // only the low 16 bits matter
  EXPECT_EQ(fcos(fix(-0.5)), fix(-1));
  for (int32_t t = -0x30000; t < 0x30000; t += 97) EXPECT_EQ(fsin(t), fcos(t + 0x4000)) << t;
}

TEST(LangFixed, Atan2) {
  EXPECT_EQ(fatan2(fix(1), 0), 0);
  EXPECT_EQ(fatan2(0, fix(-1)), fix(0.25));
  EXPECT_EQ(fatan2(fix(-1), 0), fix(0.5));
  EXPECT_EQ(fatan2(0, fix(1)), fix(0.75));
  EXPECT_EQ(fatan2(0, 0), fix(0.25));
  EXPECT_EQ(fatan2(fix(1), fix(-1)), fix(0.125));
  EXPECT_EQ(fatan2(fix(-1), fix(1)), fix(0.625));
  EXPECT_EQ(fatan2(0, INT32_MIN), fix(0.25));
  for (int32_t dx = -fix(100); dx <= fix(100); dx += fix(7.3)) {
    int32_t a = fatan2(dx, fix(3));
    EXPECT_GE(a, 0);
    EXPECT_LT(a, fix(1));
  }
}

TEST(LangFixed, RandomGenerator) {
  zk_rng a{}, b{};
  zk_rng_seed(a, 0);
  zk_rng_seed(b, 0);
  EXPECT_EQ(zk_rng_step(a), zk_rng_step(b));
  // One step by hand.
  zk_rng g{1, 2};
  uint32_t h = ((2u << 16) | (2u >> 16)) + 1;
  EXPECT_EQ(zk_rng_step(g), h);
  EXPECT_EQ(g.m_low, 1 + h);
  EXPECT_EQ(zk_rng_random(g, 0), 0);
  EXPECT_EQ(g.m_high, h);  // n = 0 does not move the state
  for (int i = 0; i < 1000; i++) {
    int32_t r = zk_rng_random(g, fix(1));
    EXPECT_GE(r, 0);
    EXPECT_LT(r, fix(1));
  }
  // Seeding: 32 discarded steps from the seed words.
  zk_rng s{}, t{5, 5 ^ 0xBEAD29BA};
  zk_rng_seed(s, 5);
  for (int i = 0; i < 32; i++) zk_rng_step(t);
  EXPECT_EQ(s.m_low, t.m_low);
  EXPECT_EQ(s.m_high, t.m_high);
  zk_rng z{}, d{0xDEADBEEF, 0x60009755};
  zk_rng_seed(z, 0);
  for (int i = 0; i < 32; i++) zk_rng_step(d);
  EXPECT_EQ(z.m_high, d.m_high);
}

static int32_t s2f(const char* s, bool* ok = nullptr) {
  int32_t v = 0x5A5A5A5A;
  bool r = zurkel_str_to_fixed(s, std::strlen(s), &v);
  if (ok) *ok = r;
  return r ? v : 0x5A5A5A5A;
}

TEST(LangFixed, TextToNumber) {
  EXPECT_EQ(s2f("0.1"), 0x1999);
  EXPECT_EQ(s2f("-0.1"), -0x1999);
  EXPECT_EQ(s2f("  12.5\t"), fix(12.5));
  EXPECT_EQ(s2f("1e2"), fix(100));
  EXPECT_EQ(s2f("65535"), INT32_MIN);
  EXPECT_EQ(s2f("32768"), INT32_MIN);
  EXPECT_EQ(s2f("32767"), fix(32767));
  EXPECT_EQ(s2f("-32768"), -0x7FFFFFFF);  // -2^31 + 2^-17, truncated
  EXPECT_EQ(s2f("0x10"), fix(16));
  EXPECT_EQ(s2f("-0x10"), fix(-16));
  EXPECT_EQ(s2f("0xFFFF"), fix(-1));
  EXPECT_EQ(s2f("0x12345"), 0x23450000);
  EXPECT_EQ(s2f("0x1.8"), fix(1.5));
  EXPECT_EQ(s2f("0x0.0001"), 1);
  EXPECT_EQ(s2f("0x7fff.ffff"), 0x7FFFFFFF);
  EXPECT_EQ(s2f("0x8000"), INT32_MIN);
  EXPECT_EQ(s2f("0x.8"), fix(0.5));
  EXPECT_EQ(s2f("0x1.00008"), fix(1));  // digits past 16 bits are ignored
  EXPECT_EQ(s2f("0b101.1"), fix(5.5));
  EXPECT_EQ(s2f("0b0.1"), fix(0.5));
  EXPECT_EQ(s2f("-0b11"), fix(-3));
  EXPECT_EQ(s2f("0b0.0000000000000001"), 1);
  bool ok = true;
  for (const char* bad : {"", " ", "abc", "nan", "inf", "-inf", "1e", "0x", "0x1p4", "0b", "0b2",
                          "12a", "1 2", "0x1.g", "- 1", "0xx1", "1..2"}) {
    s2f(bad, &ok);
    EXPECT_FALSE(ok) << "'" << bad << "'";
  }
  int32_t v;
  EXPECT_FALSE(zurkel_str_to_fixed("1\0002", 3, &v));
  EXPECT_TRUE(zurkel_str_to_fixed("12", 1, &v));  // only len characters count
  EXPECT_EQ(v, fix(1));
}

// The decimal rule as written, through the C library.
static bool s2f_reference(const std::string& text, int32_t* out) {
  char* stop = nullptr;
  double d = std::strtod(text.c_str(), &stop);
  if (stop == text.c_str()) return false;
  while (*stop == ' ') stop++;
  if (*stop) return false;
  double raw = d * 65536.0 + 1.0 / 131072.0;
  *out = (raw < 2147483648.0 && raw > -2147483649.0) ? static_cast<int32_t>(raw) : INT32_MIN;
  return true;
}

// Plain decimals are read without the C library; the results must be the
// library rule's, also for texts that lie within a hair of a step (exact
// printouts of 16.16 values) and at the ends of the range.
TEST(LangFixed, TextToNumberMatchesTheLibraryRule) {
  uint32_t x = 777;
  auto next = [&x] { return x = x * 1664525u + 1013904223u, x >> 8; };
  for (int i = 0; i < 300000; i++) {
    std::string t;
    char buf[48];
    if (i % 3 == 0) {
      std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(next() % 10), static_cast<int32_t>(next() << 8) / 65536.0);
      t = buf;
    } else {
      t = (next() % 4 == 0 ? " " : "") + std::string(next() % 3 == 0 ? "-" : next() % 5 == 0 ? "+" : "");
      for (int k = next() % 7; k > 0; k--) t += static_cast<char>('0' + next() % 10);
      if (next() % 3) t += '.';
      for (int k = next() % 6; k > 0; k--) t += static_cast<char>('0' + next() % 10);
    }
    int32_t want = 0, got = 0;
    bool want_ok = s2f_reference(t, &want), ok = zurkel_str_to_fixed(t.data(), t.size(), &got);
    ASSERT_EQ(ok, want_ok) << "'" << t << "'";
    if (ok) {
      ASSERT_EQ(got, want) << "'" << t << "'";
    }
  }
  for (const char* t : {"32767.99999", "32767.999995", "32768", "-32768", "-32768.00001", "-32767.99999", "0.00001",
                        "-0.00001", "0.0000076293945", "-0", "-.5", "5.", "+7"}) {
    int32_t want = 0, got = 0;
    ASSERT_EQ(zurkel_str_to_fixed(t, std::strlen(t), &got), s2f_reference(t, &want)) << t;
    EXPECT_EQ(got, want) << t;
  }
}

static std::string f2s(int32_t raw) {
  char buf[32];
  int n = zurkel_fixed_to_string(buf, raw);
  EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
  return buf;
}

TEST(LangFixed, NumberToText) {
  EXPECT_EQ(f2s(fix(0.5)), "0.5");
  EXPECT_EQ(f2s(0x5555), "0.3333");
  EXPECT_EQ(f2s(0x1999), "0.1");
  EXPECT_EQ(f2s(0xFFFF), "1");
  EXPECT_EQ(f2s(0x50001), "5");
  EXPECT_EQ(f2s(0x50007), "5.0001");
  EXPECT_EQ(f2s(0x800), "0.0312");
  EXPECT_EQ(f2s(1), "0");
  EXPECT_EQ(f2s(-1), "-0");
  EXPECT_EQ(f2s(0x7FFFFFFF), "32768");
  EXPECT_EQ(f2s(INT32_MIN), "-32768");
  EXPECT_EQ(f2s(0), "0");
  EXPECT_EQ(f2s(fix(10)), "10");
  EXPECT_EQ(f2s(fix(-2.25)), "-2.25");
  EXPECT_EQ(f2s(0xFFFA), "1");
  EXPECT_EQ(f2s(0xFFF0), "0.9998");
}

// The rule as written, through the C library.
static std::string f2s_reference(int32_t raw) {
  double d = raw / 65536.0;
  char t[32], b[32];
  std::snprintf(t, sizeof t, "%0.5f", d);
  std::snprintf(b, sizeof b, (std::strstr(t, ".9999") || std::strstr(t, ".0000")) ? "%0.3f" : "%0.4f", d);
  std::string r = b;
  while (!r.empty() && r.back() == '0') r.pop_back();
  if (!r.empty() && r.back() == '.') r.pop_back();
  return r;
}

TEST(LangFixed, NumberToTextMatchesTheLibraryFormatting) {
  for (int32_t raw = -0x30000; raw <= 0x30000; raw++) ASSERT_EQ(f2s(raw), f2s_reference(raw)) << raw;
  uint32_t x = 12345;
  for (int i = 0; i < 300000; i++) {
    x = x * 1664525u + 1013904223u;
    int32_t raw = static_cast<int32_t>(x);
    ASSERT_EQ(f2s(raw), f2s_reference(raw)) << raw;
  }
  for (int w = -32768; w <= 32767; w++) ASSERT_EQ(f2s(fix_from_int(w)), f2s_reference(fix_from_int(w))) << w;
  for (int32_t raw : {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, 0x7FFF8000, -0x7FFF8000})
    EXPECT_EQ(f2s(raw), f2s_reference(raw)) << raw;
}

TEST(LangFixed, OperatorsInScripts) {
  lang_script s;
  EXPECT_EQ(s.num("32767 + 1"), fix(-32768));
  EXPECT_EQ(s.num("-(-32768)"), fix(-32768));
  EXPECT_EQ(s.run("local x = -32768 return -x"), "");
  EXPECT_EQ(static_cast<int32_t>(lua_tonumberx(s.L, 1, nullptr)), INT32_MIN);
  EXPECT_EQ(s.num("1 / 0"), 0x7FFFFFFF);
  EXPECT_EQ(s.num("-1 / 0"), static_cast<int32_t>(0x80000001));
  EXPECT_EQ(s.num("0 / 0"), 0x7FFFFFFF);
  EXPECT_EQ(s.run("local z = 0 return 1 / z, -1 / z, 7 % z"), "");
  EXPECT_EQ(lua_tonumberx(s.L, 1, nullptr), 0x7FFFFFFF);
  EXPECT_EQ(lua_tonumberx(s.L, 2, nullptr), static_cast<int32_t>(0x80000001));
  EXPECT_EQ(lua_tonumberx(s.L, 3, nullptr), fix(7));
  EXPECT_EQ(s.num("0.1 * 10"), 0xFFFA);
  EXPECT_EQ(s.str("tostr(0.1 * 10)"), "1");
  EXPECT_EQ(s.num("0.1 + 0.2"), 0x4CCC);
  EXPECT_EQ(s.str("tostr(0.1 + 0.2)"), "0.3");
  EXPECT_EQ(s.num("-5 % 3"), fix(1));
  EXPECT_EQ(s.num("5.5 % -2"), fix(1.5));
  EXPECT_EQ(s.num("7 % 0"), fix(7));
  EXPECT_EQ(s.num("2 ^ 0.5"), 0x16AAB);
  EXPECT_EQ(s.num("2 ^ -1"), fix(0.5));
  EXPECT_EQ(s.num("0 ^ -1"), 0x7FFFFFFF);
  EXPECT_EQ(s.num("200 * 200"), fix(-25536));
  EXPECT_EQ(s.val("local a, b = 200, 200 return a * b"), fix(-25536));
  EXPECT_EQ(s.str("1 < 2 and -1 < 0 and 32767 > -32768"), "true");
  EXPECT_EQ(s.num("\"3\" + 4"), fix(7));
  EXPECT_EQ(s.num("\"0x10\" * 2"), fix(32));
  EXPECT_EQ(s.str("10 .. \"\""), "10");
  EXPECT_EQ(s.str("0.5 .. \"|\" .. -3"), "0.5|-3");
}

TEST(LangFixed, Literals) {
  lang_script s;
  EXPECT_EQ(s.num("0x7fff.ffff"), 0x7FFFFFFF);
  EXPECT_EQ(s.num("0x8000"), INT32_MIN);
  EXPECT_EQ(s.num("0xffff"), fix(-1));
  EXPECT_EQ(s.num("65535"), INT32_MIN);
  EXPECT_EQ(s.num("32768"), INT32_MIN);
  EXPECT_EQ(s.num("0b1010"), fix(10));
  EXPECT_EQ(s.num("0b1.01"), fix(1.25));
  EXPECT_EQ(s.num("1e2"), fix(100));
  EXPECT_EQ(s.num("0x1p4"), INT32_MIN + 12345);  // no binary exponents
  EXPECT_NE(s.run("return 0x1p4").find("malformed number"), std::string::npos);
  EXPECT_NE(s.run("return 3f").find("malformed number"), std::string::npos);
}

TEST(LangFixed, ConstantFoldingMatchesRunTime) {
  lang_script s;
  EXPECT_EQ(s.num("7 / 3"), s.val("local a, b = 7, 3 return a / b"));
  EXPECT_EQ(s.num("-7 % 3"), s.val("local a, b = -7, 3 return a % b"));
  EXPECT_EQ(s.num("2 ^ 0.5"), s.val("local a, b = 2, 0.5 return a ^ b"));
  // Division and modulo by a constant zero are left for run time.
  EXPECT_EQ(s.num("1 / 0"), s.val("local a, b = 1, 0 return a / b"));
  EXPECT_EQ(s.num("5 % 0"), fix(5));
}

TEST(LangFixed, TableKeys) {
  lang_script s;
  EXPECT_EQ(s.str("(function() local t = {} t[1] = 'a' return t[1.0] .. t[0x1] end)()"), "aa");
  EXPECT_EQ(s.num("#{1, 2, 3}"), fix(3));
  EXPECT_EQ(s.val("local t = {1, 2, 3} t[0.5] = 9 t[-1] = 9 t[0] = 9 return #t"), fix(3));
  EXPECT_EQ(s.val("local t = {} t[0.5] = 7 return t[0.5]"), fix(7));
  EXPECT_EQ(s.val("local t = {} t[-32768] = 3 return t[-32768]"), fix(3));
  EXPECT_EQ(s.val("local t = {} for i = 1, 100 do t[i] = i end return #t"), fix(100));
  EXPECT_EQ(s.val("local t = {} for i = 1, 300 do t[i / 2] = i end return t[1] + t[0.5] + #t"),
            fix(2 + 1 + 150));
  // Positions handed back by pairs are whole numbers.
  EXPECT_EQ(s.val("local n = 0 for k, v in pairs({5, 6, 7}) do n = n + k end return n"), fix(6));
  EXPECT_EQ(s.val("local t = {} t[3] = 1 t[2] = 1 t[1] = 1 local n = 0 "
                  "for k in pairs(t) do n = n + k end return n"),
            fix(6));
  // Length near the largest key.
  EXPECT_EQ(s.val("local t = {} for i = 1, 32767 do t[i] = true end return #t"), fix(32767));
  EXPECT_EQ(s.val("local t = {} for i = 1, 32767 do t[i] = true end t[-32768] = 1 return #t"), fix(32767));
  EXPECT_EQ(s.num("#\"hello\""), fix(5));
  // lua_rawgeti / lua_rawseti take plain integers.
  EXPECT_EQ(s.run("t = {10, 20, 30} t[0.5] = 1"), "");
  lua_getglobal(s.L, "t");
  lua_rawgeti(s.L, -1, 2);
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(20));
  EXPECT_EQ(static_cast<int>(lua_rawlen(s.L, -2)), 3);
}

TEST(LangFixed, NumericFor) {
  lang_script s;
  EXPECT_EQ(s.val("local n = 0 for i = 32760, 32767 do n = n + 1 end return n"), fix(8));
  EXPECT_EQ(s.val("local n = 0 for i = 1, 10 do n = n + i end return n"), fix(55));
  EXPECT_EQ(s.val("local n = 0 for i = 10, 1, -1 do n = n + 1 end return n"), fix(10));
  EXPECT_EQ(s.val("local n = 0 for i = 0, 1, 0.25 do n = n + 1 end return n"), fix(5));
  EXPECT_EQ(s.val("local n = 0 for i = 0, 5, 0 do n = n + 1 end return n"), 0);
  EXPECT_EQ(s.val("local n = 0 for i = 32767, 32767 do n = n + 1 end return n"), fix(1));
  EXPECT_EQ(s.val("local n = 0 for i = -5, 5 do n = n + 1 end return n"), fix(11));
  EXPECT_EQ(s.val("local n = 0 for i = '1', '3' do n = n + i end return n"), fix(6));
  EXPECT_EQ(s.run("for i = {}, 2 do end"), "'for' initial value must be a number");
  EXPECT_EQ(s.run("for i = 1, nil do end"), "'for' limit must be a number");
  EXPECT_EQ(s.run("for i = 1, 2, 'x' do end"), "'for' step must be a number");
}

TEST(LangFixed, HostConversions) {
  lang_script s;
  lua_pushnumber(s.L, fix(-2.5));
  EXPECT_EQ(lua_tointegerx(s.L, -1, nullptr), -3);  // integer part, arithmetic
  lua_pushinteger(s.L, 5);
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), 5);  // raw
  lua_pushunsigned(s.L, 5);
  EXPECT_EQ(lua_tonumberx(s.L, -1, nullptr), fix(5));
  lua_pushstring(s.L, " 0x2.8 ");
  int ok = 0;
  EXPECT_EQ(lua_tonumberx(s.L, -1, &ok), fix(2.5));
  EXPECT_TRUE(ok);
  lua_pushstring(s.L, "nope");
  EXPECT_EQ(lua_tonumberx(s.L, -1, &ok), 0);
  EXPECT_FALSE(ok);
  lua_newtable(s.L);
  EXPECT_EQ(lua_tonumberx(s.L, -1, &ok), 0);
  EXPECT_FALSE(ok);
  lua_pushnumber(s.L, 0x50007);
  EXPECT_STREQ(lua_tostring(s.L, -1), "5.0001");
  lua_pushfstring(s.L, "%d|%f", 70000, fix(0.5));
  EXPECT_STREQ(lua_tostring(s.L, -1), "70000|0.5");
}
