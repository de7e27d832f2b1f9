#include <string>
#include <vector>

#include "host_fixture.h"
#include "input/scancodes.h"
#include "console/boot.h"
#include "gfx/printer.h"

namespace {
std::vector<std::string>& lines() {
  static std::vector<std::string> l;
  return l;
}
}  // namespace

class HostBootTest : public HostLoopTest {
 protected:
  void SetUp() override {
    HostLoopTest::SetUp();
    lines().clear();
    machine.print_listener = [](const char* t, int) { lines().push_back(t); };
  }
  void TearDown() override {
    machine.print_listener = nullptr;
    HostLoopTest::TearDown();
  }
  int px(int x, int y) { return machine.screen->line[y][x]; }
  int step_of(const std::string& text, const std::vector<std::pair<int, std::string>>& log) {
    for (auto& e : log)
      if (e.second.rfind(text, 0) == 0) return e.first;
    return -1;
  }
};

TEST_F(HostBootTest, BootInitStartsAtFrameMinusFifteenWithAClearScreen) {
  machine.screen->line[5][5] = 9;
  boot_init(&machine);
  EXPECT_EQ(machine.mode, 2);
  EXPECT_EQ(machine.frame_count, -15);
  EXPECT_EQ(px(5, 5), 0);
  EXPECT_EQ(machine.draw[DS_PEN], 7);
}

TEST_F(HostBootTest, BootMessagesAndTheHeadCartArriveOnTheirFrames) {
  zopts.fast = 1;
  boot_init(&machine);
  std::vector<std::pair<int, std::string>> log;
  for (int step = 1; step <= 120; step++) {
    size_t before = lines().size();
    brim_main_update(&machine);
    for (size_t i = before; i < lines().size(); i++) log.push_back({step, lines()[i]});
  }
  // Frame f is reached after f + 15 steps at 30 steps per second.
  EXPECT_EQ(step_of("zurkel 0.1.11c", log), 61);
  EXPECT_EQ(step_of("booting cartridge..", log), 66);
  // Frame 90: 3.5 seconds after start, the head cartridge is looked for
  // (no data.pod here, so it is reported missing).
  EXPECT_EQ(step_of("head cart not found", log), 106);
}

// The notice at frame 50 is a sentence on one console line (32 characters),
// so the printer neither cuts nor wraps it.
TEST_F(HostBootTest, TheBootNoticeIsOneWholeSentence) {
  boot_init(&machine);
  lines().clear();
  machine.frame_count = 50;
  move_boot(&machine);
  ASSERT_EQ(lines().size(), 4u);
  EXPECT_LE(lines()[0].size(), 32u);
  EXPECT_EQ(lines()[0].back(), '.');
  EXPECT_EQ(lines()[2], "booting cartridge..");
}

TEST_F(HostBootTest, BootPicturesFollowTheFrameTable) {
  boot_init(&machine);
  machine.frame_count = 14;
  move_boot(&machine);
  EXPECT_EQ(px(0, 0), 6);
  EXPECT_EQ(px(8, 0), 7);
  EXPECT_EQ(px(4, 2), 6);
  EXPECT_EQ(px(1, 0), 0);
  EXPECT_EQ(px(0, 1), 0);
  EXPECT_EQ(px(60, 60), ((60 + 60) / 8) % 8 + 6);
  machine.frame_count = 19;
  machine.screen->line[3][2] = 11;
  machine.screen->line[3][10] = 12;
  move_boot(&machine);
  EXPECT_EQ(px(1, 3), 11);
  EXPECT_EQ(px(9, 3), 12);
  machine.frame_count = 22;
  machine.screen->line[4][0] = 5;
  machine.screen->line[5][0] = 5;
  machine.screen->line[0][0] = 5;
  move_boot(&machine);
  EXPECT_EQ(px(0, 4), 5);
  EXPECT_EQ(px(0, 0), 5);
  EXPECT_EQ(px(0, 5), 0);
  machine.frame_count = 25;
  move_boot(&machine);
  EXPECT_EQ(px(0, 4), 0);
}

TEST_F(HostBootTest, RandomColumnsAndRowsStayInTheirRanges) {
  boot_init(&machine);
  machine.frame_count = 11;
  move_boot(&machine);
  for (int y = 0; y < 128; y++) {
    int c = px(2, y);
    EXPECT_GE(c, y / 32);
    EXPECT_LE(c, y / 32 + 3);
    EXPECT_EQ(px(3, y), 0);
  }
  boot_init(&machine);
  machine.frame_count = 17;
  move_boot(&machine);
  EXPECT_GE(px(6, 126), 10);
  EXPECT_LE(px(6, 126), 13);
  EXPECT_EQ(px(6, 1), 0);
  EXPECT_EQ(px(4, 0), 0);
}

TEST_F(HostBootTest, AnyKeyEndsTheSplash) {
  machine.mode = 3;
  zopts.fast = 1;
  brim_main_update(&machine);
  EXPECT_EQ(machine.mode, 3);
  press_key(KEY_A);
  brim_main_update(&machine);
  EXPECT_EQ(machine.mode, 2);
}
