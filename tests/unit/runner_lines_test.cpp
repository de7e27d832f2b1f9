#include "runner_fixture.h"

// Error reports name the tab and the 1-based line within it.
class LinesTest : public RunnerTest {
 protected:
  void expect_lines(const std::vector<std::pair<std::string, int>>& want) {
    std::vector<std::pair<std::string, int>> got;
    for (auto& l : printed()) got.push_back({l.text, l.colour});
    EXPECT_EQ(got, want) << all_printed();
  }
};

TEST_F(LinesTest, SyntaxErrorOnTheFirstLineOfTab1) {
  EXPECT_FALSE(start("x=1\n-->8\nx = = 2\n"));
  expect_lines({{"syntax error line 1 (tab 1)", 14}, {"x = = 2", 7}, {"unexpected symbol near '='", 6}});
  EXPECT_EQ(machine.run.finished_notice, 1);
}

TEST_F(LinesTest, SyntaxErrorInTab0) {
  EXPECT_FALSE(start("a=1\nb=2\nc=)\n"));
  expect_lines({{"syntax error line 3 (tab 0)", 14}, {"c=)", 7}, {"unexpected symbol near ')'", 6}});
}

TEST_F(LinesTest, UnexpectedEndOfLine) {
  EXPECT_FALSE(start("a=1\nb=\nend\n"));
  ASSERT_EQ(printed().size(), 3u) << all_printed();
  EXPECT_EQ(printed()[1].text, "b=");
  EXPECT_EQ(printed()[2].text, "unexpected end of line");
}

TEST_F(LinesTest, RuntimeErrorOnTheFirstLineOfTab1) {
  ASSERT_TRUE(start("function _init() end\n-->8\nlocal t=nil t.x=1\n"));
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_RUNTIME_ERROR);
  ASSERT_GE(printed().size(), 3u) << all_printed();
  EXPECT_EQ(printed()[0].text, "runtime error line 1 tab 1");
  EXPECT_EQ(printed()[0].colour, 14);
  EXPECT_EQ(printed()[1].text, "local t=nil t.x=1");
  EXPECT_EQ(printed()[1].colour, 7);
  EXPECT_EQ(printed()[2].text, "attempt to index local 't' (a nil value)");
  EXPECT_EQ(printed()[2].colour, 6);
}

TEST_F(LinesTest, TracebackNamesFunctionsWithTabLines) {
  ASSERT_TRUE(start("x=0\nfunction f()\n local a=nil\n return a.b+1\nend\n-->8\nfunction _update()\n f()\nend\n"));
  step();
  expect_lines({{"runtime error line 4 tab 0", 14},
                {" return a.b+1", 7},
                {"attempt to index local 'a' (a nil value)", 6},
                {"in f line 4 (tab 0)", 13},
                {"in _update line 2 (tab 1)", 13}});
}

TEST_F(LinesTest, ArgumentErrorsHaveNoLine) {
  ASSERT_TRUE(start("sub(nil)"));
  step();
  // a host function leaves the last stored line as it was; the message
  // itself carries no position
  EXPECT_TRUE(printed_has("bad argument #1 to 'sub' (string expected, got nil)", 6)) << all_printed();
}

TEST_F(LinesTest, FailingAssertRecordsItsMessage) {
  ASSERT_TRUE(start("function f()\n assert(1==1, \"fine\")\n assert(false, \"hp below 0\")\nend\n-->8\nfunction _update()\n f()\nend\n"));
  step();
  expect_lines({{"hp below 0", 6}, {"hp below 0", 6}, {"in f line 3 (tab 0)", 13}, {"in _update line 2 (tab 1)", 13}});
  EXPECT_STREQ(machine.fault.assert_message, "hp below 0");
}

TEST_F(LinesTest, AssertWithoutMessageClearsTheRecord) {
  zurkel_assert_message(&machine, "left over");
  ASSERT_TRUE(start("assert(nil)"));
  zurkel_assert_message(&machine, "left over");
  step();
  expect_lines({{"assertion failed!", 6}});
  EXPECT_STREQ(machine.fault.assert_message, "");
}

TEST_F(LinesTest, PassingAssertReturnsItsArguments) {
  ASSERT_TRUE(start("a,b,c=assert(1,2,3) if a+b+c!=6 then x=nil+1 end"));
  step();
  EXPECT_TRUE(printed().empty()) << all_printed();
  EXPECT_EQ(machine.run.end_reason, ZK_END_NORMAL);
}

TEST_F(LinesTest, AssertMessageOver254IsCutInTheRecordOnly) {
  ASSERT_TRUE(start("m=\"\" for i=1,30 do m=m..\"0123456789\" end assert(false, m)"));
  step();
  ASSERT_EQ(printed().size(), 2u) << all_printed();
  EXPECT_EQ(printed()[0].text.size(), 300u);
  EXPECT_EQ(printed()[1].text, printed()[0].text.substr(0, 254));
}
