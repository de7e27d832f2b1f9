#include "host_fixture.h"

#include <algorithm>
#include <string>

#include "console/automation.h"
#include "base/random.h"

TEST(HostPace, AddsRateTimesElapsedAndOwesAtMostFourSteps) {
  EXPECT_EQ(zurkel_pace(0, 30, 1000), ZURKEL_MAX_OWED_STEPS);
  EXPECT_EQ(zurkel_pace(0, 60, 16), 60 * ((16 * 65536) / 1000));
  EXPECT_EQ(zurkel_pace(0, 30, 33), 30 * 2162);
  EXPECT_EQ(zurkel_pace(100, 30, -5), 100);
  EXPECT_EQ(zurkel_pace(0, 30, int64_t(1) << 40), ZURKEL_MAX_OWED_STEPS);
}

TEST_F(HostLoopTest, SixtyIterationsPerSecondAtThirtyTakeAStepEverySecondIteration) {
  pretend_running(30);
  // Whole-millisecond clocks lose a little to truncation, so the phase of
  // the 16/17 ms pattern matters; start it on a whole second.
  host_advance_virtual_clock(60000 - host_virtual_clock_units() % 60000);
  iterate(0);  // starts the loop's clock
  std::string pattern;
  for (int i = 0; i < 600; i++) {
    int before = machine.frame_count;
    iterate(1000);  // 1000/60 ms
    pattern += machine.frame_count != before ? 'U' : '.';
  }
  // From an empty accumulator the first step needs two iterations too.
  EXPECT_EQ(pattern.substr(0, 3), "..U");
  for (size_t i = 1; i + 1 < pattern.size(); i++)
    ASSERT_NE(pattern[i], pattern[i + 1]) << "iteration " << i << ": " << pattern;
  EXPECT_EQ(std::count(pattern.begin(), pattern.end(), 'U'), 299);
}

TEST_F(HostLoopTest, SixtyFpsProgramStepsEveryIteration) {
  pretend_running(60);
  iterate(1000);
  int start = machine.frame_count;
  for (int i = 0; i < 120; i++) iterate(1000);
  EXPECT_GE(machine.frame_count - start, 119);
  EXPECT_LE(machine.frame_count - start, 120);
}

TEST_F(HostLoopTest, AfterAOneSecondStallFourStepsAreOwedAndTakenOnePerIteration) {
  pretend_running(30);
  iterate(0);
  iterate(60000);  // one second
  EXPECT_EQ(machine.frame_count, 1);
  EXPECT_EQ(machine.frame_accumulator, 3 * 65536);
  iterate(0);
  iterate(0);
  iterate(0);
  EXPECT_EQ(machine.frame_count, 4);
  iterate(0);
  EXPECT_EQ(machine.frame_count, 4);
}

TEST_F(HostLoopTest, PauseMenuRunsAtThirtyStepsForASixtyFpsProgram) {
  pretend_running(60);
  zcon.menu_open = true;
  iterate(1000);
  int64_t start = zcon.steps;
  int frames = machine.frame_count;
  for (int i = 0; i < 120; i++) iterate(1000);
  EXPECT_NEAR(static_cast<double>(zcon.steps - start), 60.0, 1.0);
  EXPECT_EQ(machine.frame_count, frames);  // the program does not advance
}

TEST_F(HostLoopTest, WhenNothingRunsTheRateIsThirtyAndTheMenuCloses) {
  machine.mode = 0;
  machine.fps_target = 60;
  zcon.menu_open = true;
  brim_set_paused(1);
  iterate(1000);
  EXPECT_EQ(machine.fps_target, 30);
  EXPECT_FALSE(zcon.menu_open);
  EXPECT_EQ(brim_is_paused(), 0);
}

TEST_F(HostLoopTest, FastModeTakesExactlyOneStepPerIteration) {
  zopts.fast = 1;
  pretend_running(60);
  uint64_t t0 = brim_get_time();
  for (int i = 0; i < 60; i++) brim_main_update(&machine);
  EXPECT_EQ(machine.frame_count, 60);
  EXPECT_EQ(brim_get_time() - t0, 1000u);
  machine.fps_target = 30;
  t0 = brim_get_time();
  for (int i = 0; i < 30; i++) brim_main_update(&machine);
  EXPECT_EQ(machine.frame_count, 90);
  EXPECT_EQ(brim_get_time() - t0, 1000u);
}

TEST_F(HostLoopTest, FramesOptionEndsAfterThatManySteps) {
  zopts.fast = 1;
  zopts.frames = 5;
  pretend_running(30);
  int iterations = 0;
  while (!brim_quit && iterations < 100) {
    brim_main_update(&machine);
    iterations++;
  }
  EXPECT_EQ(iterations, 5);
  EXPECT_EQ(zcon.steps, 5);
}

TEST_F(HostLoopTest, BannerColourAlternatesAndEndsAfterItsTimePlusTheSlide) {
  show_message("one", 1000);
  int c1 = zcon.message_colour;
  show_message("two", 1400);
  EXPECT_NE(zcon.message_colour, c1);
  EXPECT_TRUE(zcon.message_colour == 15 || zcon.message_colour == 7);
  EXPECT_EQ(zcon.message_end - zcon.message_start, 1800u);
  EXPECT_STREQ(zcon.message, "two");
}

TEST(HostRandom, EngineGeneratorFollowsItsRecurrence) {
  brim_srand(0);
  EXPECT_EQ(brim_rand(), 0x76031EEFu);
  brim_srand(5);
  uint32_t hi = 5u ^ 0xBEAD29BAu, lo = 5;
  hi = ((hi << 16) | (hi >> 16)) + lo;
  EXPECT_EQ(brim_rand(), hi);
  EXPECT_EQ(brim_random(0), 0u);
  brim_srand(0);
  brim_rand();
  uint32_t second = brim_rand();
  brim_srand(0);
  brim_rand();
  EXPECT_EQ(brim_random(1000), second % 1000);
}

TEST(HostAutomation, InputScriptLinesAreSortedAndBadOnesSkipped) {
  auto s = parse_input_script("# comment\n\n10 30 1\n0 0\nx 5\n5 zz\n7 ff 02 03\n");
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].step, 0);
  EXPECT_EQ(s[1].step, 5);
  EXPECT_TRUE(s[1].masks.empty());
  EXPECT_EQ(s[2].step, 7);
  ASSERT_EQ(s[2].masks.size(), 3u);
  EXPECT_EQ(s[2].masks[0], 0xff);
  EXPECT_EQ(s[2].masks[2], 3);
  EXPECT_EQ(s[3].step, 10);
  EXPECT_EQ(s[3].masks[0], 0x30);
}

TEST(HostAutomation, TypedInputLinesAreKeysAndTextNotMasks) {
  std::string script = "9 key ctrl+v\n3 text ls -a\n4 key f12\n5 key nosuch\n6 key\n2 10\n";
  EXPECT_EQ(parse_input_script(script).size(), 1u);
  auto k = parse_input_keys(script);
  ASSERT_EQ(k.size(), 3u);
  EXPECT_EQ(k[0].text, "ls -a");
  EXPECT_EQ(k[1].scancode, input_key_scancode("f1") + 11);
  EXPECT_EQ(k[2].scancode, input_key_scancode("v"));
  EXPECT_TRUE(k[2].ctrl);
  EXPECT_FALSE(k[1].ctrl);
}

TEST_F(HostLoopTest, ScriptedMasksHoldButtonsFromTheirStepOn) {
  std::string path = std::string(::testing::TempDir()) + "zk_input.txt";
  FILE* f = std::fopen(path.c_str(), "w");
  std::fputs("2 10\n4 0 20\n", f);
  std::fclose(f);
  std::snprintf(zopts.input_file, sizeof zopts.input_file, "%s", path.c_str());
  ASSERT_TRUE(automation_init());
  zopts.fast = 1;
  machine.mode = 0;
  int held[6] = {};
  for (int i = 0; i < 6; i++) {
    brim_main_update(&machine);
    held[i] = zbuttons.held[4] + 2 * zbuttons.held[8 + 5];
  }
  EXPECT_EQ(held[1], 0);
  EXPECT_EQ(held[2], 1);
  EXPECT_EQ(held[3], 1);
  EXPECT_EQ(held[4], 2);
  EXPECT_EQ(held[5], 2);
  zopts.input_file[0] = 0;
  automation_init();
}

TEST(HostAutomation, AudioIsSplitEvenlyOverSteps) {
  zurkel_machine machine;
  zurkel_options_default();
  std::snprintf(zopts.dump_audio, sizeof zopts.dump_audio, "%s/zk_dump.wav",
                ::testing::TempDir().c_str());
  automation_init();
  for (int i = 0; i < 60; i++) automation_step_end(&machine, 60);
  for (int i = 0; i < 30; i++) automation_step_end(&machine, 30);
  automation_finish(&machine);
  FILE* f = std::fopen(zopts.dump_audio, "rb");
  ASSERT_NE(f, nullptr);
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fclose(f);
  EXPECT_EQ(size, 44 + 2 * 2 * 22050);
  zurkel_options_default();
  automation_init();
}
