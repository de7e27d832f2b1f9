#include "runner_fixture.h"
#include "api/frame_rate.h"
#include "api/system_api.h"

class CpuTest : public RunnerTest {
 protected:
  void SetUp() override {
    RunnerTest::SetUp();
    ASSERT_TRUE(start("function _update() end"));
    step();
    cpu_end_frame(&machine);
    machine.cpu.remainder = 0;
  }
};

TEST_F(CpuTest, BudgetPerFrame) {
  machine.fps_target = 60;
  EXPECT_EQ(cpu_budget_per_frame(&machine), 69905);
  machine.fps_target = 30;
  EXPECT_EQ(cpu_budget_per_frame(&machine), 139810);
  machine.fps_target = 15;
  EXPECT_EQ(cpu_budget_per_frame(&machine), 279620);
}

TEST_F(CpuTest, SpendCountsNonPositiveAsOne) {
  spend_cpu(&machine, 0);
  spend_cpu(&machine, -5);
  spend_cpu(&machine, 10);
  EXPECT_EQ(machine.cpu.api_total, 12);
  EXPECT_EQ(machine.cpu.frame_cycles, 12);
  EXPECT_EQ(machine.cpu.yield_counter, 12);
}

TEST_F(CpuTest, RemainderKeepsOnlyThePartBelow1024) {
  spend_cpu(&machine, 3000);
  EXPECT_EQ(machine.cpu.remainder, 3000 % 1024);
  spend_cpu(&machine, 100);
  EXPECT_EQ(machine.cpu.remainder, 3000 % 1024 + 100 - 1024);
}

TEST_F(CpuTest, RefundLowersCountersButNotTheApiTotal) {
  spend_cpu(&machine, 100);
  refund_cpu(&machine, -2);
  EXPECT_EQ(machine.cpu.api_total, 100);
  EXPECT_EQ(machine.cpu.frame_cycles, 98);
  EXPECT_EQ(machine.cpu.yield_counter, 98);
  EXPECT_EQ(machine.cpu.remainder, 98);
  refund_cpu(&machine, 5);
  EXPECT_EQ(machine.cpu.api_total, 105);
}

TEST_F(CpuTest, NothingIsChargedWithoutAMachine) {
  lua_State* L = machine.L;
  machine.L = nullptr;
  spend_cpu(&machine, 50);
  refund_cpu(&machine, 50);
  EXPECT_EQ(machine.cpu.api_total, 0);
  machine.L = L;
}

TEST_F(CpuTest, FrameCapacityAtTheCapRate) {
  machine.cpu.fps_cap = 30;
  EXPECT_EQ(cycles_2_frame_capacity(&machine, 139810), 65536);
  EXPECT_EQ(cycles_2_frame_capacity(&machine, 69905), 32768);
  EXPECT_EQ(cycles_2_frame_capacity(&machine, 1000), 468);  // 1000 * 65536 / 139810, truncated
  machine.cpu.fps_cap = 60;
  EXPECT_EQ(cycles_2_frame_capacity(&machine, 69905), 65536);
}

TEST_F(CpuTest, FlipClearsTheFrameCounters) {
  spend_cpu(&machine, 500);
  cpu_end_frame(&machine);
  EXPECT_EQ(machine.cpu.api_total, 0);
  EXPECT_EQ(machine.cpu.frame_cycles, 0);
  EXPECT_EQ(machine.cpu.yield_counter, 0);
}

TEST_F(CpuTest, MarksClampTheirIndex) {
  spend_cpu(&machine, 77);
  cpu_mark(&machine, 9);
  EXPECT_EQ(machine.cpu.mark_cycles[2], 77);
  cpu_mark(&machine, -4);
  EXPECT_EQ(machine.cpu.mark_cycles[0], 77);
}

// --- frame-rate controller

class FrameRateTest : public CpuTest {
 protected:
  void fill_host_rate(int fps) {
    for (int& r : machine.cpu.host_rates) r = fps;
  }
  void marks(int32_t c0, int32_t c2, uint64_t t0, uint64_t t2) {
    machine.cpu.mark_cycles[0] = c0;
    machine.cpu.mark_cycles[2] = c2;
    machine.cpu.mark_ms[0] = t0;
    machine.cpu.mark_ms[2] = t2;
  }
};

TEST_F(FrameRateTest, OverrunHalvesTheRate) {
  cpu_set_fps(&machine, 60);
  fill_host_rate(60);
  machine.cpu.frame_held = true;
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
  EXPECT_FALSE(machine.cpu.frame_held);
}

TEST_F(FrameRateTest, OverrunAt30GoesTo15) {
  cpu_set_fps(&machine, 30);
  machine.cpu.frame_held = true;
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 15);
}

TEST_F(FrameRateTest, HeldFlagBelowTheCapIsOnlyCleared) {
  cpu_set_fps(&machine, 30);
  machine.fps_target = 15;
  machine.cpu.frame_held = true;
  fill_host_rate(10);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 15);
  EXPECT_FALSE(machine.cpu.frame_held);
}

TEST_F(FrameRateTest, SlowHostDrops60To30) {
  cpu_set_fps(&machine, 60);
  console_config.host_framerate_control = true;
  for (int i = 0; i < 30; i++) update_frame_rate(&machine);
  // the stand-in host runs at 60: no drop
  EXPECT_EQ(machine.fps_target, 60);
  // 29 samples of 40 and the new one of 60 average 40
  fill_host_rate(40);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
}

TEST_F(FrameRateTest, GoodFrameRestores30From15) {
  cpu_set_fps(&machine, 30);
  machine.fps_target = 15;
  fill_host_rate(28);
  marks(0, 60000, 100, 110);  // load 60000/139810 of a frame
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
}

TEST_F(FrameRateTest, HeavyLoadKeepsTheLowerRate) {
  cpu_set_fps(&machine, 30);
  machine.fps_target = 15;
  fill_host_rate(30);
  marks(0, 139000, 100, 110);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 15);
}

TEST_F(FrameRateTest, Back60NeedsAShortFrame) {
  cpu_set_fps(&machine, 60);
  machine.fps_target = 30;
  fill_host_rate(60);
  marks(0, 1000, 100, 140);  // 40 ms
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
  machine.cpu.load_current = 0;
  marks(0, 1000, 100, 102);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 60);
}

TEST_F(FrameRateTest, ControlOffIgnoresTheHost) {
  console_config.host_framerate_control = false;
  cpu_set_fps(&machine, 60);
  fill_host_rate(20);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 60);
  machine.cpu.frame_held = true;
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
  marks(0, 1000, 100, 900);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 60);
}

TEST_F(FrameRateTest, HostRateIsTheSmoothedPresentationRate) {
  smoothed_fps = (41 << 16) + 0x8000;
  EXPECT_EQ(brim_host_fps(), 41);
  EXPECT_EQ(zurkel_stat_value(&machine, 9), 41 << 16);
  cpu_set_fps(&machine, 60);
  fill_host_rate(41);
  update_frame_rate(&machine);
  EXPECT_EQ(machine.fps_target, 30);
}

TEST_F(FrameRateTest, VirtualClockHostKeepsUp) {
  smoothed_fps = 30 << 16;  // the virtual clock's rate echoes the target
  zopts.fast = 1;
  EXPECT_EQ(brim_host_fps(), 60);
  zopts.fast = 0;
}
