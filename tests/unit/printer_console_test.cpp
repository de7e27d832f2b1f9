#include <cstdio>

#include "runner_fixture.h"

class PrinterTest : public RunnerTest {};

TEST_F(PrinterTest, LinesAdvanceTheCursorBySix) {
  machine.draw[DS_CURSOR_Y] = 0;
  zurkel_print(&machine, "hello");
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 6);
  zurkel_print_2(&machine, "%d / %d", 3, 4);
  EXPECT_EQ(printed().back().text, "3 / 4");
  EXPECT_EQ(printed().back().colour, 6);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 12);
}

TEST_F(PrinterTest, LongLineTakesOneRowPer32Characters) {
  machine.draw[DS_CURSOR_Y] = 0;
  zurkel_print_col(&machine, std::string(70, 'a').c_str(), 7);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 18);
  zurkel_print_col(&machine, std::string(32, 'a').c_str(), 7);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 24);
  zurkel_print_col(&machine, "", 7);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 30);
}

TEST_F(PrinterTest, SeventyCharactersNearTheBottomScrollTwice) {
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) machine.screen->line[y][x] = static_cast<uint8_t>(y & 15);
  machine.draw[DS_CURSOR_Y] = 120;
  ASSERT_TRUE(start("function _update() end"));  // scrolling is charged to a program
  cpu_end_frame(&machine);
  machine.mode = 1;
  zurkel_print_col(&machine, std::string(70, 'a').c_str(), 7);
  // two scrolls before drawing, one after the last line
  EXPECT_EQ(machine.cpu.api_total, 3 * 65536);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 120);
  // row 0 now holds what was row 18; the three text rows were cleared
  EXPECT_EQ(machine.screen->line[0][5], 18 & 15);
  EXPECT_EQ(machine.screen->line[101][5], (101 + 18) & 15);
  // the text rows (102-119 after the last scroll) and everything below
  for (int y = 102; y < 128; y++) EXPECT_EQ(machine.screen->line[y][100], 0) << y;
}

TEST_F(PrinterTest, ExecuteModeWithoutAProgramWritesToStdout) {
  zopts.exec = 1;
  machine.mode = 0;
  machine.draw[DS_CURSOR_Y] = 0;
  testing::internal::CaptureStdout();
  zurkel_print_col(&machine, "syntax error line 1 (tab 0)", 14);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "** syntax error line 1 (tab 0)\n");
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 0);
  machine.mode = 1;
  testing::internal::CaptureStdout();
  zurkel_print_col(&machine, "on screen", 6);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 6);
}
