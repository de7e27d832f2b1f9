// The arithmetic script functions and their charges.
#include <gtest/gtest.h>

#include "lang/fixed.h"
#include "unit/lang_script.h"

#include "machine/cpu.h"

TEST(LangApi, FloorAbsSign) {
  lang_script s;
  EXPECT_EQ(s.num("flr(-0.5)"), fix(-1));
  EXPECT_EQ(s.num("flr(1.99998)"), fix(1));
  EXPECT_EQ(s.num("flr()"), 0);
  EXPECT_EQ(s.num("flr('2.5')"), fix(2));
  EXPECT_EQ(s.num("flr({})"), 0);
  EXPECT_EQ(s.num("abs(-3.5)"), fix(3.5));
  EXPECT_EQ(s.num("abs(-32768)"), fix(-32768));
  EXPECT_EQ(s.num("sgn(0)"), fix(1));
  EXPECT_EQ(s.num("sgn(-0.001)"), fix(-1));
  EXPECT_EQ(s.num("sgn()"), fix(1));
}

TEST(LangApi, MinMaxMid) {
  lang_script s;
  EXPECT_EQ(s.num("min(3, -2)"), fix(-2));
  EXPECT_EQ(s.num("max(3, -2)"), fix(3));
  EXPECT_EQ(s.num("min(5)"), 0);  // missing argument reads as 0
  EXPECT_EQ(s.num("max(-5)"), 0);
  EXPECT_EQ(s.num("mid(1, 5, 3)"), fix(3));
  EXPECT_EQ(s.num("mid(5, 1, 3)"), fix(3));
  EXPECT_EQ(s.num("mid(3, 1, 5)"), fix(3));
  EXPECT_EQ(s.num("mid(1, 1, 5)"), fix(1));
  EXPECT_EQ(s.num("mid(7, 7, 7)"), fix(7));
  EXPECT_EQ(s.num("mid(9, 2)"), fix(2));
}

TEST(LangApi, Trigonometry) {
  lang_script s;
  EXPECT_EQ(s.num("cos(0)"), fix(1));
  EXPECT_EQ(s.num("sin(0.25)"), fix(-1));
  EXPECT_EQ(s.num("cos(0.5)"), fix(-1));
  EXPECT_EQ(s.num("sin()"), 0);
  EXPECT_EQ(s.num("atan2(0, 0)"), fix(0.25));
  EXPECT_EQ(s.num("atan2(0, 1)"), fix(0.75));
  EXPECT_EQ(s.num("sqrt(32767)"), fix(181));
  EXPECT_EQ(s.num("sqrt(0)"), 0);
  EXPECT_EQ(s.num("sqrt(2)"), 0x16AAB);
}

TEST(LangApi, Bits) {
  lang_script s;
  EXPECT_EQ(s.num("band(0x0f0f, 0x00ff)"), fix(0x000f));
  EXPECT_EQ(s.num("bor(1, 0.5)"), fix(1.5));
  EXPECT_EQ(s.num("bxor(3, 1)"), fix(2));
  EXPECT_EQ(s.num("bnot(0)"), -1);
  EXPECT_EQ(s.num("shl(1, 14)"), fix(16384));
  EXPECT_EQ(s.num("shl(1, 15)"), fix(-32768));
  EXPECT_EQ(s.num("shl(1, 16)"), 0);
  EXPECT_EQ(s.num("shr(-1, 40)"), 0);
  EXPECT_EQ(s.num("shr(-2, 1)"), fix(-1));
  EXPECT_EQ(s.num("shl(0.5, -1)"), static_cast<int32_t>(0x8000u << 31));  // shifts by 31
  EXPECT_EQ(s.num("shl(1, -1)"), 0);
  EXPECT_EQ(s.num("shr(1, -31)"), fix(0.5));  // -31 + 32 = 1
  EXPECT_EQ(s.num("shr(-32768, 31)"), -1);
}

TEST(LangApi, Random) {
  lang_script s;
  EXPECT_EQ(s.run("srand(42) a1, a2, a3 = rnd(), rnd(), rnd(10) srand(42) b1, b2, b3 = rnd(), rnd(), rnd(10)"), "");
  EXPECT_EQ(s.str("a1 == b1 and a2 == b2 and a3 == b3"), "true");
  EXPECT_EQ(s.str("a1 ~= a2"), "true");
  EXPECT_EQ(s.str("(function() srand(0) local x = rnd(100) srand(-32768) return x == rnd(100) end)()"), "true");
  EXPECT_EQ(s.str("(function() srand(7) local x = rnd(0) local y = rnd(nil) local z = rnd() "
                  "srand(7) return x == 0 and y == 0 and z == rnd() end)()"),
            "true");
  EXPECT_EQ(s.str("(function() for i = 1, 500 do local r = rnd(6) if r < 0 or r >= 6 then return false end end "
                  "return true end)()"),
            "true");
  EXPECT_EQ(s.results(), 1);
  EXPECT_EQ(s.run("return srand(3)"), "");
  EXPECT_EQ(s.results(), 0);
  // srand seeds with the raw bits, sign bit cleared.
  zurkel_srand(static_cast<uint32_t>(fix(-1.5)) & 0x7FFFFFFF);
  int32_t want = zurkel_random(fix(1000));
  EXPECT_EQ(s.num("(function() srand(-1.5) return rnd(1000) end)()"), want);
}

TEST(LangApi, Tonum) {
  lang_script s;
  EXPECT_EQ(s.num("tonum('0x10')"), fix(16));
  EXPECT_EQ(s.num("tonum('-0x10')"), fix(-16));
  EXPECT_EQ(s.num("tonum('0b101.1')"), fix(5.5));
  EXPECT_EQ(s.num("tonum('1e2')"), fix(100));
  EXPECT_EQ(s.num("tonum(3.25)"), fix(3.25));
  EXPECT_EQ(s.num("tonum('-0xffff')"), fix(-1));  // "-" always gives a negative value
  EXPECT_EQ(s.num("tonum(' 12 ')"), fix(12));
  for (const char* none : {"tonum('abc')", "tonum('nan')", "tonum({})", "tonum()", "tonum(true)", "tonum('')"}) {
    EXPECT_EQ(s.run(std::string("return ") + none), "");
    EXPECT_EQ(s.results(), 0) << none;
  }
}

TEST(LangApi, Tostr) {
  lang_script s;
  EXPECT_EQ(s.str("tostr(-1, true)"), "0xffff.0000");
  EXPECT_EQ(s.str("tostr(0.5, true)"), "0x0000.8000");
  EXPECT_EQ(s.str("tostr(0x1234.5678, 1)"), "0x1234.5678");
  EXPECT_EQ(s.str("tostr(12.5, false)"), "12.5");
  EXPECT_EQ(s.str("tostr(1/3)"), "0.3333");
  EXPECT_EQ(s.str("tostr('x', true)"), "x");
  EXPECT_EQ(s.str("tostr(true)"), "true");
  EXPECT_EQ(s.str("tostr(false)"), "false");
  EXPECT_EQ(s.str("tostr(nil)"), "[nil]");
  EXPECT_EQ(s.str("tostr({})"), "[table]");
  EXPECT_EQ(s.str("tostr(tostr)"), "[function]");
  EXPECT_EQ(s.str("tostr(cocreate(tostr))"), "[thread]");
  EXPECT_EQ(s.str("tostr()"), "[no value]");
}

TEST(LangApi, Charges) {
  zurkel_machine machine;
  lang_script s(&machine);  // charges count only while a machine exists
  auto cost = [&](const char* code) {
    int32_t before = machine.cpu.frame_cycles;
    EXPECT_EQ(s.run(code), "") << code;
    return machine.cpu.frame_cycles - before;
  };
  EXPECT_EQ(cost("flr(1)"), -2);
  EXPECT_EQ(cost("flr(1, 2)"), 0);
  EXPECT_EQ(cost("band(1, 2)"), -3);
  EXPECT_EQ(cost("bor(1, 2)"), -3);
  EXPECT_EQ(cost("bxor(1, 2)"), -3);
  EXPECT_EQ(cost("band(1)"), 0);
  EXPECT_EQ(cost("bnot(1)"), -2);
  EXPECT_EQ(cost("shl(1, 2)"), -3);
  EXPECT_EQ(cost("shr(1, 2)"), -3);
  EXPECT_EQ(cost("rnd(5)"), 4);
  EXPECT_EQ(cost("sqrt(5)"), 16 + 8);
  EXPECT_EQ(cost("local a, b = 2, 3 local c = a ^ b"), 8);
  EXPECT_EQ(cost("local a, b = 2, 0 local c = a ^ b"), 0);
  EXPECT_EQ(cost("local a, b = 2, 0.5 local c = a ^ b"), 16);
  EXPECT_EQ(cost("abs(1) min(1, 2) cos(1)"), 0);
}
