#include "api/system_api.h"
#include "runner_fixture.h"

class StatTest : public RunnerTest {};

TEST_F(StatTest, FixedAnswers) {
  ASSERT_TRUE(start(
      "a=stat(3) b=stat(11) c=stat(100) d=stat(5) e=stat(-1) f=stat(24) g=stat(25) "
      "p=stat(4) t7=stat(7) t8=stat(8) pen=stat(10)"));
  step();
  EXPECT_EQ(global_int("a"), 0);
  EXPECT_EQ(global_int("b"), 0);
  EXPECT_EQ(global_int("c"), 0);
  EXPECT_EQ(global_int("d"), 12);
  EXPECT_EQ(global_int("e"), 0);
  EXPECT_EQ(global_int("f"), 0);
  EXPECT_EQ(global_int("g"), 0);
  EXPECT_EQ(global_str("p"), "");
  EXPECT_EQ(global_int("t7"), 30);
  EXPECT_EQ(global_int("t8"), 30);
  EXPECT_EQ(global_int("pen"), 0);
}

TEST_F(StatTest, NoArgumentIsStat2AndChargesSixteen) {
  ASSERT_TRUE(start("function _update() end"));
  step();
  cpu_end_frame(&machine);
  machine.cpu.api_total = 139810 / 2;
  EXPECT_EQ(zurkel_stat_value(&machine, 2), 32768);
  lua_State* L = machine.L;
  lua_settop(L, 0);
  zk_stat(L);
  EXPECT_EQ(zk_arg_fix(L, -1), 32768);
  EXPECT_EQ(machine.cpu.api_total, 139810 / 2 + 16);
  lua_settop(L, 0);
  lua_pushstring(L, "x");
  lua_pushnil(L);
  lua_settop(L, 0);
  zk_push_int(L, 6);  // stat(6), a string query
  int before = machine.cpu.api_total;
  zk_stat(L);
  EXPECT_EQ(machine.cpu.api_total, before);  // string queries are free
  lua_settop(L, 0);
}

TEST_F(StatTest, MemoryInKibCappedAt2048) {
  machine.heap_bytes = 1024 * 100;
  machine.code_allowance = 512;
  EXPECT_EQ(zurkel_stat_value(&machine, 0), (1024 * 100 + 512) << 6);
  machine.heap_bytes = 0x300000;
  EXPECT_EQ(zurkel_stat_value(&machine, 0), 2048 << 16);
  machine.heap_bytes = -5000;
  machine.code_allowance = 0;
  EXPECT_EQ(zurkel_stat_value(&machine, 0), 0);
}

TEST_F(StatTest, MouseNeedsDevkitInputOfExactlyOne) {
  machine.ram[0x5F2D] = machine.draw[0x2D] = 0;
  EXPECT_EQ(zurkel_stat_value(&machine, 32), 0);
  EXPECT_FALSE(machine.run.devkit_notice_shown);
  machine.ram[0x5F2D] = machine.draw[0x2D] = 2;
  EXPECT_EQ(zurkel_stat_value(&machine, 33), 0);
  EXPECT_FALSE(machine.run.devkit_notice_shown);
}

TEST_F(StatTest, DevkitBannerOncePerRunFromACartFile) {
  machine.ram[0x5F2D] = machine.draw[0x2D] = 1;
  machine.run.program_started = true;
  machine.run.cart_identity[0] = 0;
  zurkel_stat_value(&machine, 32);
  EXPECT_FALSE(machine.run.devkit_notice_shown);
  std::strcpy(machine.run.cart_identity, "game.zk");
  zurkel_stat_value(&machine, 32);
  EXPECT_TRUE(machine.run.devkit_notice_shown);
}

TEST_F(StatTest, ClockFieldsParse) {
  int v[6];
  zurkel_parse_clock("2017-03-04 05:06:07", v);
  EXPECT_EQ(v[0], 2017);
  EXPECT_EQ(v[1], 3);
  EXPECT_EQ(v[5], 7);
  zurkel_parse_clock("2017-xx", v);
  EXPECT_EQ(v[0], 2017);
  EXPECT_EQ(v[1], 0);
  int32_t year = zurkel_stat_value(&machine, 90);
  EXPECT_EQ(year & 0xFFFF, 0);
  EXPECT_GE(year >> 16, 2024);
  EXPECT_GE(zurkel_stat_value(&machine, 80) >> 16, 2024);
}

TEST_F(StatTest, TimeAdvancesTwicePerSecondAt60) {
  ASSERT_TRUE(start("function _update60() t=time() end"));
  for (int i = 0; i < 61; i++) step();
  // 60 polls before the 61st update: two seconds of game time
  EXPECT_EQ(global_int("t"), 2);
  machine.run.time_counter = 1;
  lua_State* L = machine.L;
  zk_time(L);
  EXPECT_EQ(zk_arg_fix(L, -1), 65536 / 30);
  lua_pop(L, 1);
}

TEST_F(StatTest, InertFunctions) {
  ASSERT_TRUE(start("a,b=scoresub() c=logout() d=bbsreq() printh('x') extcmd('y') e=login()"));
  step();
  EXPECT_EQ(global_str("a"), "<nil>");
  EXPECT_EQ(global_int("b"), 0);
  EXPECT_EQ(global_str("e"), "<nil>");
  EXPECT_TRUE(printed_has("login unavailable."));
  EXPECT_TRUE(printed_has("please update zurkel!"));
}
