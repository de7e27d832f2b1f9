// The code tokenizer, token counting and the API name list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "script/tokens.h"
#include "script/tokens_limits.h"

namespace {

struct read_token {
  int kind;
  std::string text;
};

std::vector<read_token> tokens_of(const char* text) {
  std::vector<read_token> out;
  const char* p = get_first_token(text);
  while (get_token() != TOK_EOF) {
    out.push_back({get_token(), std::string(get_token_text())});
    p = get_next_token(p);
  }
  return out;
}

TEST(TextTokens, CountsFromTheEdgeCaseList) {
  EXPECT_EQ(count_tokens("local x = 1"), 3);
  EXPECT_EQ(count_tokens("x.y.z"), 3);
  EXPECT_EQ(count_tokens("f(a, b)"), 4);
  EXPECT_EQ(count_tokens("t[1]"), 3);
  EXPECT_EQ(count_tokens("-1"), 2);
  EXPECT_EQ(count_tokens("a ~= b"), 3);
  EXPECT_EQ(count_tokens("a != b"), 3);
  EXPECT_EQ(count_tokens("-- just a comment"), 0);
  EXPECT_EQ(count_tokens("0x1F"), 2);
  EXPECT_EQ(count_tokens(".5"), 1);
  EXPECT_EQ(count_tokens("x += 1"), 3);
  EXPECT_EQ(count_tokens("\"a -- b\""), 1);
  EXPECT_EQ(count_tokens("'a // b'"), 1);
}

TEST(TextTokens, FreeTokens) {
  // end, local, closing brackets and separators cost nothing.
  EXPECT_EQ(count_tokens("end local ; ) } ] . , :"), 0);
  EXPECT_EQ(count_tokens("function f() end"), 3);   // function f (
  EXPECT_EQ(count_tokens("{1,2,3}"), 4);            // { 1 2 3
  EXPECT_EQ(count_tokens("a..b"), 3);
  EXPECT_EQ(count_tokens("x\n\n\ny"), 2);
  EXPECT_EQ(count_tokens("--[[ many\nlines ]] x"), 1);
  EXPECT_EQ(count_tokens("x // comment y z"), 1);
  EXPECT_EQ(count_tokens(""), 0);
  EXPECT_EQ(count_tokens(nullptr), 0);
}

TEST(TextTokens, KindsOfKeywordsAndOperators) {
  const char* text =
      "function end for if then else elseif while do in local return repeat until goto "
      "break foreach all add del menuitem not and or <= >= ~= != <> == += -= *= /= %= .. "
      "true false nil";
  const int want[] = {TOK_FUNCTION, TOK_END, TOK_FOR, TOK_IF, TOK_THEN, TOK_ELSE, TOK_ELSEIF,
                      TOK_WHILE, TOK_DO, TOK_IN, TOK_LOCAL, TOK_RETURN, TOK_REPEAT, TOK_UNTIL,
                      TOK_GOTO, TOK_BREAK, TOK_API, TOK_API, TOK_API, TOK_API, TOK_API, TOK_NOT,
                      TOK_AND, TOK_OR, TOK_LE, TOK_GE, TOK_NE, TOK_NE, TOK_NE, TOK_EQ,
                      TOK_COMPOUND, TOK_COMPOUND, TOK_COMPOUND, TOK_COMPOUND, TOK_COMPOUND,
                      TOK_CONCAT, TOK_LITERAL, TOK_LITERAL, TOK_LITERAL};
  auto got = tokens_of(text);
  ASSERT_EQ(got.size(), std::size(want));
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].kind, want[i]) << got[i].text;
  // The documented codes.
  EXPECT_EQ(TOK_EOF, -1000);
  EXPECT_EQ(TOK_NEWLINE, -999);
  EXPECT_EQ(TOK_NAME, -998);
  EXPECT_EQ(TOK_NUMBER, -997);
  EXPECT_EQ(TOK_STRING, -996);
  EXPECT_EQ(TOK_COMMENT, -995);
  EXPECT_EQ(TOK_WHILE, -986);
  EXPECT_EQ(TOK_BREAK, -978);
  EXPECT_EQ(TOK_API, -977);
  EXPECT_EQ(TOK_OR, -972);
  EXPECT_EQ(TOK_NE, -965);
  EXPECT_EQ(TOK_LITERAL, -961);
}

TEST(TextTokens, SingleCharactersReportTheirOwnCode) {
  auto got = tokens_of("( ) [ ] { } = < > + - * / % ^ # . , ; : ! ~ @");
  const char* chars = "()[]{}=<>+-*/%^#.,;:!~@";
  ASSERT_EQ(got.size(), std::strlen(chars));
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].kind, chars[i]);
}

TEST(TextTokens, Names) {
  auto got = tokens_of("_a1 Bz \x8b\x8bq x.y ends");
  ASSERT_EQ(got.size(), 7u);
  EXPECT_EQ(got[0].text, "_a1");
  EXPECT_EQ(got[1].text, "Bz");
  EXPECT_EQ(got[2].text, "\x8b\x8bq");   // bytes from 0x80 up are name characters
  EXPECT_EQ(got[2].kind, TOK_NAME);
  EXPECT_EQ(got[3].text, "x");
  EXPECT_EQ(got[4].kind, '.');
  EXPECT_EQ(got[6].text, "ends");
  EXPECT_EQ(got[6].kind, TOK_NAME);   // a keyword only when it is the whole name
}

TEST(TextTokens, Numbers) {
  auto texts = [](const char* s) {
    std::vector<std::string> out;
    for (auto& t : tokens_of(s)) out.push_back(t.text);
    return out;
  };
  using v = std::vector<std::string>;
  EXPECT_EQ(texts("0x1F"), (v{"0x1", "F"}));
  EXPECT_EQ(texts("0x1f.8"), (v{"0x1f.8"}));
  EXPECT_EQ(texts("0b1012"), (v{"0b101", "2"}));
  EXPECT_EQ(texts("1e5"), (v{"1", "e5"}));
  EXPECT_EQ(texts("3.25"), (v{"3.25"}));
  EXPECT_EQ(texts("12x"), (v{"12", "x"}));
  EXPECT_EQ(texts("1..2"), (v{"1..2"}));   // "." is taken anywhere after the first digit
  EXPECT_EQ(texts("1b2"), (v{"1b", "2"}));
  // A digit 2-9 followed by "b" fits no form; it is taken as one token.
  EXPECT_EQ(texts("2b"), (v{"2b"}));
  EXPECT_EQ(texts("9b x"), (v{"9b", "x"}));
  EXPECT_EQ(tokens_of("2b")[0].kind, TOK_NUMBER);
}

TEST(TextTokens, Strings) {
  auto got = tokens_of("\"a\\\"b\" 'c' [[x\n[[y]]\nz]] \"open\nq");
  ASSERT_EQ(got.size(), 6u);
  EXPECT_EQ(got[0].text, "\"a\\\"b\"");
  EXPECT_EQ(got[1].text, "'c'");
  EXPECT_EQ(got[2].text, "[[x\n[[y]]\nz]]");
  EXPECT_EQ(got[3].text, "\"open");   // stops before the newline
  EXPECT_EQ(got[4].kind, TOK_NEWLINE);
  EXPECT_EQ(got[5].text, "q");
  for (int i : {0, 1, 2, 3}) EXPECT_EQ(got[i].kind, TOK_STRING);
  // An escaped backslash does not hide the closing quote.
  auto esc = tokens_of("\"a\\\\\" x");
  ASSERT_EQ(esc.size(), 2u);
  EXPECT_EQ(esc[1].text, "x");
  // A long string that never closes runs to the end of text.
  auto open = tokens_of("[[abc\ndef");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].text, "[[abc\ndef");
}

TEST(TextTokens, Comments) {
  auto got = tokens_of("a --[[ x [[ y ]] z ]] b -- rest\nc --[[ open\nd");
  ASSERT_EQ(got.size(), 9u);
  EXPECT_EQ(got[1].kind, TOK_COMMENT);
  EXPECT_EQ(got[1].text, "--[[ x [[ y ]] z ]]");
  EXPECT_EQ(got[2].text, "b");
  EXPECT_EQ(got[3].text, "-- rest");
  EXPECT_EQ(got[4].kind, TOK_NEWLINE);
  // An unclosed block comment runs only to the end of its line.
  EXPECT_EQ(got[6].text, "--[[ open");
  // "//" reports a newline and leaves the position at the "\n".
  const char* text = "x // note\ny";
  const char* p = get_first_token(text);
  p = get_next_token(p);
  EXPECT_EQ(get_token(), TOK_NEWLINE);
  EXPECT_EQ(*p, '\n');
  EXPECT_EQ(get_token_newlines(), 0);
  p = get_next_token(p);
  EXPECT_EQ(get_token(), TOK_NEWLINE);
  EXPECT_EQ(get_token_newlines(), 1);
}

TEST(TextTokens, BlanksAndEndOfText) {
  const char* text = " \t\r\b";
  const char* p = get_first_token(text);
  EXPECT_EQ(get_token(), TOK_EOF);
  EXPECT_EQ(*p, '\0');
  const char* q = get_next_token(p);
  EXPECT_EQ(q, p);   // the end does not advance
  EXPECT_EQ(get_token(), TOK_EOF);
}

TEST(TextTokens, ApiNames) {
  init_api_function_names();
  EXPECT_EQ(tokens_of("spr")[0].kind, TOK_NAME);
  add_api_function_name("spr");
  add_api_function_name("spr");
  add_api_function_name(std::string(64, 'q').c_str());   // too long for an entry
  add_api_function_name(std::string(63, 'r').c_str());
  EXPECT_EQ(api_function_name_count(), 2);
  EXPECT_EQ(tokens_of("spr sprx")[0].kind, TOK_API);
  EXPECT_EQ(tokens_of("spr sprx")[1].kind, TOK_NAME);
  EXPECT_EQ(tokens_of(std::string(63, 'r').c_str())[0].kind, TOK_API);
  EXPECT_EQ(count_tokens("spr(1, 2)"), 4);
  init_api_function_names();
  EXPECT_EQ(api_function_name_count(), 0);
  EXPECT_EQ(tokens_of("spr")[0].kind, TOK_NAME);
  EXPECT_EQ(tokens_of("add")[0].kind, TOK_API);   // built-in header names always count as API
}

TEST(TextLimits, TokenLimitBoundary) {
  std::string at_limit;
  for (int i = 0; i < 8192; ++i) at_limit += "x ";
  std::string first, second;
  int tokens = 0;
  EXPECT_TRUE(check_run_limits(at_limit.c_str(), &first, &second, &tokens));
  EXPECT_EQ(tokens, 8192);
  std::string over = at_limit + "y";
  EXPECT_FALSE(check_run_limits(over.c_str(), &first, &second, &tokens));
  EXPECT_EQ(first, "program too large");
  EXPECT_EQ(second, "8193 / 8192 tokens\n");
}

TEST(TextLimits, CharLimitBoundary) {
  std::string code(65536, ' ');
  std::string first, second;
  EXPECT_TRUE(check_run_limits(code.c_str(), &first, &second, nullptr));
  code += ' ';
  EXPECT_FALSE(check_run_limits(code.c_str(), &first, &second, nullptr));
  EXPECT_EQ(first, "program exceeds char limit");
  EXPECT_EQ(second, "65537 / 65536 chars\n");
}

TEST(TextLimits, InfoLines) {
  EXPECT_EQ(info_tokens_line(8192).text, "tokens:      8192 /  8192");
  EXPECT_EQ(info_tokens_line(8192).colour, 6);
  EXPECT_EQ(info_tokens_line(8193).colour, 9);
  EXPECT_EQ(info_chars_line(12).text, "chars:         12 / 65535");
  EXPECT_EQ(info_chars_line(65535).colour, 6);
  EXPECT_EQ(info_chars_line(65536).colour, 9);
  EXPECT_EQ(info_compressed_line(15360).text, "compressed: 15360 / 15360");
  EXPECT_EQ(info_compressed_line(15360).colour, 6);
  EXPECT_EQ(info_compressed_line(15361).colour, 9);
}

}  // namespace
