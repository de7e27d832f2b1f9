#include "runner/errors.h"
#include "runner_fixture.h"

class ErrorsTest : public RunnerTest {};

TEST_F(ErrorsTest, NthLine) {
  char out[64];
  get_nth_line("a\nbb\nccc", 1, out, sizeof out);
  EXPECT_STREQ(out, "bb");
  get_nth_line("a\nbb\nccc", 2, out, sizeof out);
  EXPECT_STREQ(out, "ccc");
  get_nth_line("a\nbb\nccc", 3, out, sizeof out);
  EXPECT_STREQ(out, "<eof>");
  get_nth_line("a\n", 1, out, sizeof out);
  EXPECT_STREQ(out, "");
  get_nth_line("a", -1, out, sizeof out);
  EXPECT_STREQ(out, "<eof>");
  get_nth_line("0123456789", 0, out, 5);
  EXPECT_STREQ(out, "0123");
}

TEST_F(ErrorsTest, SyntaxMessageAfterTheLastColon) {
  char out[1024];
  const char* r = extract_syntax_error(&machine, "[string \"-- zurkel header...\"]:5: unexpected symbol near 'x'", out, sizeof out);
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r, "unexpected symbol near 'x'");
  r = extract_syntax_error(&machine, "no colon here", out, sizeof out);
  EXPECT_STREQ(r, "no colon here");
  EXPECT_TRUE(printed().empty());
}

TEST_F(ErrorsTest, SyntaxMessageNearTheTailPrintsNothing) {
  char out[1024];
  EXPECT_EQ(extract_syntax_error(&machine, "x:9: '=' expected near '_end_of_program'", out, sizeof out), nullptr);
  EXPECT_TRUE(printed().empty());
}

TEST_F(ErrorsTest, UnclosedBlockNamesTheWord) {
  char out[1024];
  EXPECT_EQ(extract_syntax_error(&machine, "x:9: 'end' expected (to close 'while' at line 3) near <eof>", out, sizeof out), nullptr);
  ASSERT_EQ(printed().size(), 1u);
  EXPECT_EQ(printed()[0].text, "unclosed while\n");
  EXPECT_EQ(printed()[0].colour, 6);
}

TEST_F(ErrorsTest, RuntimeMessages) {
  extract_runtime_error(&machine, "attempt to index a nil value");
  extract_runtime_error(&machine, "not enough memory");
  ASSERT_EQ(printed().size(), 1u);
  EXPECT_EQ(printed()[0].text, "attempt to index a nil value");
  printed().clear();
  zurkel_assert_message(&machine, "hp below 0");
  extract_runtime_error(&machine, "[string \"-- zurkel header...\"]:9: assertion failed!");
  ASSERT_EQ(printed().size(), 2u);
  EXPECT_EQ(printed()[0].text, "assertion failed");
  EXPECT_EQ(printed()[0].colour, 6);
  EXPECT_EQ(printed()[1].text, "hp below 0");
  EXPECT_EQ(printed()[1].colour, 7);
  printed().clear();
  extract_runtime_error(&machine, "[string \"-- zurkel header...\"]:9: something else");
  EXPECT_TRUE(printed().empty());
}

TEST_F(ErrorsTest, AssertMessageKeeps254) {
  zurkel_assert_message(&machine, std::string(300, 'm').c_str());
  EXPECT_EQ(std::strlen(machine.fault.assert_message), 254u);
  zurkel_assert_message(&machine, nullptr);
  EXPECT_STREQ(machine.fault.assert_message, "");
}

TEST_F(ErrorsTest, RuntimeErrorTextIsCutTo511) {
  zurkel_runtime_error(&machine, std::string(600, 'e').c_str());
  EXPECT_EQ(std::strlen(zurkel_runtime_error_text(&machine)), 511u);
  EXPECT_EQ(machine.pending_command, 4);
}
