// The source preprocessor: every shorthand, comments, line keeping and the
// work-buffer limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/preprocess.h"
#include "script/preprocess_line.h"

namespace {

std::string pp(const std::string& source) {
  std::string out = "stale";
  EXPECT_TRUE(zurkel_preprocess(source.c_str(), out)) << source;
  return out;
}

size_t lines_of(const std::string& s) { return std::count(s.begin(), s.end(), '\n') + 1; }

TEST(TextPreprocess, PrintShorthand) {
  EXPECT_EQ(pp("?x,y"), "print(x,y)");
  EXPECT_EQ(pp("  ? 1"), "print( 1)");
  EXPECT_EQ(pp("\t?\"hi\""), "print(\"hi\")");
  EXPECT_EQ(pp("x = 1 ? 2"), "x = 1 ? 2");   // not the first non-blank character
  // The rewrite loop is not applied to a print line...
  EXPECT_EQ(pp("?a!=b"), "print(a!=b)");
  // ...but the conditional shorthand is.
  EXPECT_EQ(pp("?1 if (x) y()"), "print(1 if (x) then  y()) end ");
}

TEST(TextPreprocess, NotEqual) {
  EXPECT_EQ(pp("a != b"), "a ~= b");
  EXPECT_EQ(pp("print(\"!=\")"), "print(\"!=\")");
  EXPECT_EQ(pp("a != b and c != d and \"!=\" != e"), "a ~= b and c ~= d and \"!=\" ~= e");
}

TEST(TextPreprocess, ConditionalWithCompoundAssignment) {
  EXPECT_EQ(pp("if (a != b) x += 1"), "if (a ~= b) then  x = x + ( 1)  end ");
}

TEST(TextPreprocess, ConditionalShorthand) {
  EXPECT_EQ(pp("if (x) then y() end"), "if (x) then y() end");
  EXPECT_EQ(pp("if (a) or b"), "if (a) or b");
  EXPECT_EQ(pp("if (a) and b"), "if (a) and b");
  EXPECT_EQ(pp("elseif (x) y()"), "elseif (x) y()");
  EXPECT_EQ(pp("if (x) 5"), "if (x) 5");
  EXPECT_EQ(pp("if (x) y()"), "if (x) then  y() end ");
  EXPECT_EQ(pp("if(x)y()"), "if(x) then y() end ");
  EXPECT_EQ(pp("  if (f(a)) _g=1"), "  if (f(a)) then  _g=1 end ");
  EXPECT_EQ(pp("if (x) order()"), "if (x) then  order() end ");   // "or" only as a whole token
  EXPECT_EQ(pp("if (x"), "if (x");                                 // unbalanced
  EXPECT_EQ(pp("if x y()"), "if x y()");                           // no bracket
  EXPECT_EQ(pp("if (x)"), "if (x)");                               // nothing after it
  EXPECT_EQ(pp("gif (x) y()"), "gif (x) y()");
  EXPECT_EQ(pp("\tif (x) y()"), "\tif (x) then  y() end ");
  // "if" and "then" inside strings are not seen.
  EXPECT_EQ(pp("s=\"if (\" if (x) y()"), "s=\"if (\" if (x) then  y() end ");
  EXPECT_EQ(pp("if (x) print(\"then\")"), "if (x) then  print(\"then\") end ");
  // Brackets inside strings still count.
  EXPECT_EQ(pp("if (s==\")\") y()"), "if (s==\")\") y()");
}

TEST(TextPreprocess, CompoundAssignmentExamples) {
  EXPECT_EQ(pp("  x.y[i] *= 2 + f(3) z=1"), "  x.y[i] = x.y[i] * ( 2 + f(3))  z=1");
  EXPECT_EQ(pp("a+=1 b+=2"), "a = a + (1)  b = b + (2) ");
  EXPECT_EQ(pp("+= 1"), "+= 1");
  // The tail keeps its leading blank after the ") " of the format.
  EXPECT_EQ(pp("a += b and c"), "a = a + ( b)  and c");
  EXPECT_EQ(pp("a -= 1"), "a = a - ( 1) ");
  EXPECT_EQ(pp("a *= 2"), "a = a * ( 2) ");
  EXPECT_EQ(pp("a /= 2"), "a = a / ( 2) ");
  EXPECT_EQ(pp("a %= 2"), "a = a % ( 2) ");
  EXPECT_EQ(pp("s += \"+=\""), "s = s + ( \"+=\") ");
}

TEST(TextPreprocess, CompoundLeftHandSide) {
  EXPECT_EQ(pp("if (c) x += 1"), "if (c) then  x = x + ( 1)  end ");
  EXPECT_EQ(pp("t[a[i] + 1] += 2"), "t[a[i] + 1] = t[a[i] + 1] + ( 2) ");
  EXPECT_EQ(pp("  += 1"), " =  + ( 1) ");               // nothing but spaces before it
  EXPECT_EQ(pp("f(x)+=1"), "f(x) =  + (1) ");            // ")" is not part of it
  EXPECT_EQ(pp("a\t+=1"), "a\t =  + (1) ");              // tabs are not skipped
  EXPECT_EQ(pp("p.x+=p.dx"), "p.x = p.x + (p.dx) ");
}

TEST(TextPreprocess, CompoundRightHandSide) {
  EXPECT_EQ(pp("a += b - c"), "a = a + ( b - c) ");
  EXPECT_EQ(pp("a += f(b, c) d()"), "a = a + ( f(b, c))  d()");
  EXPECT_EQ(pp("a += -b"), "a = a + ( -b) ");
  EXPECT_EQ(pp("a += #t"), "a = a + ( #t) ");
  EXPECT_EQ(pp("a += t.x:y(1)"), "a = a + ( t.x:y(1)) ");
  EXPECT_EQ(pp("a += 2^b"), "a = a + ( 2^b) ");
  EXPECT_EQ(pp("f(a += 1)"), "f(a = a + ( 1) )");           // unmatched ")" ends it
  EXPECT_EQ(pp("a += b == c"), "a = a + ( b)  == c");
  EXPECT_EQ(pp("a += b .. c"), "a = a + ( b)  .. c");
  EXPECT_EQ(pp("a += b c += d"), "a = a + ( b)  c = c + ( d) ");
  EXPECT_EQ(pp("a += (b) c = 1"), "a = a + ( (b))  c = 1");
  EXPECT_EQ(pp("a += t[i] x"), "a = a + ( t[i])  x");
  EXPECT_EQ(pp("a += {1}"), "a = a + ( {) 1}");              // "{" is an operand
}

TEST(TextPreprocess, CompoundOperatorOrder) {
  // All "+=" go first, then "-=", ...
  EXPECT_EQ(pp("a-=1 b+=2"), "a = a - (1)  b = b + (2) ");
  EXPECT_EQ(pp("a%=1 b/=2 c*=3 d-=4 e+=5"),
            "a = a % (1)  b = b / (2)  c = c * (3)  d = d - (4)  e = e + (5) ");
  // A "+=" at the very start is found first and blocks all others.
  EXPECT_EQ(pp("+=1 b+=2"), "+=1 b+=2");
  EXPECT_EQ(pp("-=1 b+=2"), "-=1 b = b + (2) ");
}

TEST(TextPreprocess, ButtonGlyphs) {
  EXPECT_EQ(pp("btn(\x8b)"), "btn(0)");
  EXPECT_EQ(pp("btn(\x91) btn(\x94) btn(\x83) btn(\x8e) btn(\x97) btn(\x8f)"),
            "btn(1) btn(2) btn(3) btn(4) btn(5) btn(6)");
  EXPECT_EQ(pp("print(\"\x8b\") btn(\x8b)"), "print(\"\x8b\") btn(0)");
  EXPECT_EQ(pp("btn(\x8b) or btn(\x8b) or btn(\x8b)"), "btn(0) or btn(0) or btn(0)");
  // A glyph in a print line is left alone (the rewrite loop does not run).
  EXPECT_EQ(pp("?btn(\x8b)"), "print(btn(\x8b))");
  // One-line conditional on a button.
  EXPECT_EQ(pp("if (btn(\x8b)) x-=1"), "if (btn(0)) then  x = x - (1)  end ");
}

TEST(TextPreprocess, SlashComments) {
  EXPECT_EQ(pp("x=1 // note"), "x=1");
  EXPECT_EQ(pp("x=1 // note\ny=2"), "x=1\ny=2");
  EXPECT_EQ(pp("s=\"a//b\""), "s=\"a//b\"");
  EXPECT_EQ(pp("// only\n// only\nz"), "\n\nz");
}

TEST(TextPreprocess, DashComments) {
  EXPECT_EQ(pp("x=1 -- note\ny=2"), "x=1\ny=2");
  EXPECT_EQ(pp("s=\"--\" -- c"), "s=\"--\"");
  // A block comment spanning three lines joins the statements around it and
  // re-emits its line breaks so the next line keeps its number.
  const std::string src = "a=1 --[[ one\ntwo\nthree ]] b=2\nc=3";
  const std::string out = pp(src);
  EXPECT_EQ(out, "a=1 b=2\n\n\nc=3");
  EXPECT_EQ(lines_of(out), lines_of(src));
  // An unclosed block comment is a line comment.
  EXPECT_EQ(pp("a=1 --[[ open\nb=2"), "a=1\nb=2");
}

TEST(TextPreprocess, LongStringsKeepTheirLines) {
  const std::string src = "s=[[one\ntwo]] x+=1\ny=2";
  EXPECT_EQ(pp(src), "s=[[one\ntwo]] x = x + (1) \ny=2");
}

TEST(TextPreprocess, OutputIsClearedAndLinesKept) {
  std::string out = "old";
  ASSERT_TRUE(zurkel_preprocess("", out));
  EXPECT_EQ(out, "");
  EXPECT_EQ(pp("\n\n"), "\n\n");
  EXPECT_EQ(pp("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(pp("  x = 1  \n"), "  x = 1\n");   // blanks before a line break go with it
}

TEST(TextPreprocess, Pstrstr) {
  const char* text = "a\"!=\"!=";
  const uint8_t mask[] = {0, 1, 1, 1, 1, 0, 0};
  const char* hit = pstrstr(text, "!=", mask);
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit - text, 5);
  EXPECT_EQ(pstrstr(text, "a\"", mask), nullptr);   // touches the string
  EXPECT_EQ(pstrstr(text, "zz", mask), nullptr);
}

TEST(TextPreprocess, LogicalLineLimit) {
  std::string src;
  for (int i = 0; i < 65536 + 10; ++i) src += "\n";
  src += "x";
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(out, std::string(65536, '\n'));   // text beyond is dropped
}

TEST(TextPreprocess, LineOverWorkBufferIsRefused) {
  std::string src = "x=\"" + std::string(ZURKEL_PREPROCESS_BUFFER, 'a') + "\"";
  std::string out = "old";
  EXPECT_FALSE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(out, "");
}

TEST(TextPreprocess, GrowthPastWorkBufferIsRefused) {
  // Each rewrite copies the long left-hand side; the line outgrows 128 KiB.
  const std::string lhs = "t[" + std::string(30000, 'i') + "]";
  std::string src;
  for (int i = 0; i < 4; ++i) src += lhs + "+=1 ";
  ASSERT_LT(src.size(), 128000u);
  std::string out = "old";
  EXPECT_FALSE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(out, "");
  // Two of them still fit.
  std::string two = lhs + "+=1 " + lhs + "+=1";
  EXPECT_TRUE(zurkel_preprocess(two.c_str(), out));
  EXPECT_EQ(out.size(), 4 * lhs.size() + 21);
}

TEST(TextPreprocess, TotalOutputOverWorkBufferIsRefused) {
  // Short lines whose total grows past 128 KiB after rewriting.
  std::string src;
  while (src.size() < 120000) src += "a+=1\n";
  std::string out;
  EXPECT_FALSE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(out, "");
}

TEST(TextPreprocess, DeeplyNestedRightHandSideIsRefused) {
  auto nested = [](int depth) {
    return "a+=" + std::string(depth, '(') + "1" + std::string(depth, ')');
  };
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(nested(256).c_str(), out));
  EXPECT_EQ(out, "a = a + (" + std::string(256, '(') + "1" + std::string(256, ')') + ") ");
  out = "old";
  EXPECT_FALSE(zurkel_preprocess(nested(257).c_str(), out));
  EXPECT_EQ(out, "");
  // Deep brackets without a compound assignment are none of its business.
  const std::string plain = "x=" + std::string(300, '(') + "1" + std::string(300, ')');
  EXPECT_TRUE(zurkel_preprocess(plain.c_str(), out));
  EXPECT_EQ(out, plain);
}

TEST(TextPreprocess, NullSource) {
  std::string out = "old";
  EXPECT_TRUE(zurkel_preprocess(nullptr, out));
  EXPECT_EQ(out, "");
}

}  // namespace
