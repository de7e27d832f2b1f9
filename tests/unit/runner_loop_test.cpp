#include "api/runner_api.h"
#include "runner_fixture.h"
#include "lang/fixed.h"

TEST_F(RunnerTest, UpdateAndDrawRunOncePerFrameAt30) {
  ASSERT_TRUE(start("u=0 d=0 i=0 function _init() i=i+1 end function _update() u=u+1 end function _draw() d=d+1 end"));
  for (int f = 0; f < 5; f++) step();
  EXPECT_EQ(machine.mode, 1);
  EXPECT_EQ(global_int("i"), 1);
  EXPECT_EQ(global_int("u"), 5);
  EXPECT_EQ(global_int("d"), 5);
  EXPECT_EQ(machine.fps_target, 30);
  EXPECT_EQ(machine.cpu.fps_cap, 30);
  EXPECT_EQ(machine.run.mainloop_exists, 2);
  EXPECT_EQ(machine.run.time_counter, 5);
}

TEST_F(RunnerTest, Update60RunsOnceAt60AndTwiceWhenTheRateDrops) {
  ASSERT_TRUE(start("u=0 d=0 function _update60() u=u+1 end function _draw() d=d+1 end"));
  step();
  EXPECT_EQ(machine.fps_target, 60);
  EXPECT_EQ(machine.cpu.fps_cap, 60);
  EXPECT_EQ(global_int("u"), 1);
  EXPECT_EQ(machine.run.time_counter, 1);
  machine.fps_target = 30;
  step();
  EXPECT_EQ(global_int("u"), 3);
  EXPECT_EQ(global_int("d"), 2);
  // a button poll between the two updates
  EXPECT_EQ(machine.run.time_counter, 3);
}

TEST_F(RunnerTest, UpdateRunsTwiceAtHalfOf30) {
  ASSERT_TRUE(start("u=0 function _update() u=u+1 end"));
  step();
  EXPECT_EQ(global_int("u"), 1);
  machine.fps_target = 15;
  step();
  EXPECT_EQ(global_int("u"), 3);
}

TEST_F(RunnerTest, DrawOnlyCartGetsTheGeneratedLoop) {
  ASSERT_TRUE(start("d=0 function _draw() d=d+1 end"));
  step();
  step();
  EXPECT_EQ(machine.mode, 1);
  EXPECT_EQ(global_int("d"), 2);
  EXPECT_EQ(machine.run.mainloop_exists, 2);
}

TEST_F(RunnerTest, InitOnlyCartRunsOnceAndStops) {
  ASSERT_TRUE(start("x=1 function _init() x=2 end"));
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_NORMAL);
  EXPECT_EQ(machine.run.finished_notice, 1);
  EXPECT_EQ(global_int("x"), 2);
  EXPECT_EQ(machine.run.mainloop_exists, 0);
}

TEST_F(RunnerTest, CartWithoutCallbacksRunsTopLevelOnce) {
  ASSERT_TRUE(start("n=(n or 0)+1"));
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(global_int("n"), 1);
  step();
  EXPECT_EQ(global_int("n"), 1);
}

TEST_F(RunnerTest, OwnMainloopIsKept) {
  ASSERT_TRUE(start("k=0 function _update() k=100 end function _mainloop() while true do k=k+1 flip() end end"));
  step();
  step();
  step();
  EXPECT_EQ(machine.run.mainloop_exists, 1);
  EXPECT_EQ(global_int("k"), 3);
  EXPECT_EQ(machine.run.time_counter, 0);
}

TEST_F(RunnerTest, HoldframeUntilFlip) {
  ASSERT_TRUE(start("function _update() end"));
  step();
  EXPECT_FALSE(machine.hold_frame);
}

TEST_F(RunnerTest, StopEndsTheProgramAndKeepsTheMachine) {
  ASSERT_TRUE(start("v=7 stop() v=8"));
  machine.draw[DS_CAMERA_X] = 5;
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(global_int("v"), 7);
  EXPECT_EQ(machine.draw[DS_CAMERA_X], 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_NORMAL);
}

TEST_F(RunnerTest, RunRequestsARestartWithParameters) {
  ASSERT_TRUE(start("run('again')"));
  step();
  EXPECT_EQ(machine.pending_command, 1);
  EXPECT_STREQ(machine.run_args, "again");
}

TEST_F(RunnerTest, HeaderCollectionFunctions) {
  ASSERT_TRUE(start(
      "t={} add(t,1) add(t,2) add(t,3) add(t,4)\n"
      "s='' for v in all(t) do s=s..v if v==2 then del(t,v) end end\n"
      "n=count(t) c=0 foreach(t,function(v) c=c+v end)\n"
      "e=0 for v in all({}) do e=e+1 end for v in all(nil) do e=e+1 end\n"
      "r=add(nil,5) del(nil,1) add(t,nil) m=count(t)\n"
      "z={1,nil,3} zc=count(z)\n"));
  step();
  EXPECT_EQ(global_str("s"), "1234");
  EXPECT_EQ(global_int("n"), 3);
  EXPECT_EQ(global_int("c"), 8);
  EXPECT_EQ(global_int("e"), 0);
  EXPECT_EQ(global_int("m"), 3);
}

TEST_F(RunnerTest, MenuitemLimits) {
  ASSERT_TRUE(start(
      "menuitem(6,'x',function() end) menuitem(0,'y') "
      "menuitem(1,'abcdefghijklmnopqrst',function() hit=1 end) menuitem(2,'two') menuitem(2) "
      "function _update() end"));
  step();
  EXPECT_STREQ(machine.run.menu_labels[1], "abcdefghijklmnop");
  EXPECT_STREQ(machine.run.menu_labels[2], "");
  EXPECT_STREQ(machine.run.menu_labels[0], "");
  machine.run.menu_selected[1] = 1;
  step();
  EXPECT_EQ(global_int("hit"), 1);
  EXPECT_EQ(machine.run.menu_selected[1], 0);
}

TEST_F(RunnerTest, ParametersReachStat6) {
  ASSERT_TRUE(start("p=stat(6)", "level 3"));
  step();
  EXPECT_EQ(global_str("p"), "level 3");
  EXPECT_STREQ(machine.run_args, "");
  ASSERT_TRUE(start("p=stat(6)"));
  step();
  EXPECT_EQ(global_str("p"), "");
}

TEST_F(RunnerTest, NeverYieldingCartIsCutByTheBudget) {
  ASSERT_TRUE(start("n=0 while true do n=n+0.25 end"));
  step();
  EXPECT_EQ(machine.mode, 1);
  int after_one = global_int("n");
  EXPECT_GT(after_one, 250);
  EXPECT_GE(machine.cpu.frame_cycles, cpu_budget_per_frame(&machine));
  step();
  EXPECT_GT(global_int("n"), after_one);
}

TEST_F(RunnerTest, OverrunLeavesTheFrameHeld) {
  ASSERT_TRUE(start("function _update60() for i=1,100 do for j=1,1000 do end end end function _draw() end"));
  step();
  // 100,000 instructions take more than the 69,905 cycles of a 60 fps frame
  EXPECT_TRUE(machine.hold_frame);
}

TEST_F(RunnerTest, FrameOf100kInstructionsFitsAt30) {
  ASSERT_TRUE(start("f=0 function _update() for i=1,100 do for j=1,1000 do end end f=f+1 end"));
  for (int i = 0; i < 4; i++) {
    step();
    EXPECT_FALSE(machine.hold_frame) << i;
  }
  EXPECT_EQ(global_int("f"), 4);
}

TEST_F(RunnerTest, OutOfMemoryStopsAndTheMachineRecovers) {
  ASSERT_TRUE(start("t={} function _update() for i=1,2000 do add(t,{i,i,i,i}) end end"));
  for (int i = 0; i < 400 && machine.mode == 1; i++) step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_OUT_OF_MEMORY);
  EXPECT_TRUE(printed_has("out of memory", 6)) << all_printed();
  ASSERT_TRUE(start("ok=1 function _update() end"));
  step();
  EXPECT_EQ(global_int("ok"), 1);
  EXPECT_EQ(machine.mode, 1);
}

TEST_F(RunnerTest, FailedStartLeavesNoProgramRunning) {
  ASSERT_TRUE(start("function _update() end"));
  step();
  EXPECT_FALSE(start("x = = 1"));
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_SYNTAX_ERROR);
  EXPECT_EQ(machine.run.finished_notice, 1);
}

TEST_F(RunnerTest, CodeOverCharLimitIsRefused) {
  std::string code(65537, ' ');
  EXPECT_FALSE(start(code));
  EXPECT_TRUE(printed_has("program exceeds char limit", 6));
  EXPECT_TRUE(printed_has("65537 / 65536 chars\n", 6));
  EXPECT_EQ(machine.run.end_reason, ZK_END_SIZE_LIMIT);
  std::string fits(65536, ' ');
  EXPECT_TRUE(start(fits));
}

TEST_F(RunnerTest, ResetRuntimeStateRestoresDrawState) {
  machine.draw[DS_PEN] = 3;
  machine.draw[DS_PAL + 4] = 9;
  machine.draw[DS_SCREEN_MODE] = 2;
  machine.draw[DS_FILLP] = 0x1234;
  machine.draw[DS_CURSOR_X] = 40;
  machine.run.time_counter = 9;
  machine.run.section_count = 4;
  machine.cpu.penalty = 5;
  reset_runtime_state(&machine);
  EXPECT_EQ(machine.draw[DS_PEN], 6);
  EXPECT_EQ(machine.draw[DS_PAL + 4], 4);
  EXPECT_EQ(machine.draw[DS_PAL], 16);
  EXPECT_EQ(machine.draw[DS_SCREEN_MODE], 0);
  EXPECT_EQ(machine.draw[DS_FILLP], 0);
  EXPECT_EQ(machine.draw[DS_CURSOR_X], 0);
  EXPECT_EQ(machine.draw[DS_CLIP_RIGHT], 128);
  EXPECT_EQ(machine.run.time_counter, 0);
  EXPECT_EQ(machine.run.section_count, 0);
  EXPECT_EQ(machine.cpu.penalty, 0);
}

TEST_F(RunnerTest, SuspendClampsTheCursorAndResetsThePalette) {
  ASSERT_TRUE(start("function _update() end"));
  step();
  machine.draw[DS_CURSOR_Y] = 126;
  machine.draw[DS_SCREEN_PAL + 3] = 11;
  suspend_program(&machine);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 120);
  EXPECT_EQ(machine.draw[DS_SCREEN_PAL + 3], 3);
  EXPECT_EQ(machine.mode, 0);
}

TEST_F(RunnerTest, ConsoleSideErrorIsShownWithAFreshMachine) {
  ASSERT_TRUE(start("function _update() end"));
  step();
  lua_State* before = machine.L;
  zurkel_runtime_error(&machine, "bad memory access");
  EXPECT_EQ(machine.pending_command, 4);
  zurkel_show_runtime_error(&machine);
  EXPECT_EQ(machine.mode, 0);
  EXPECT_NE(machine.L, nullptr);
  (void)before;
  ASSERT_GE(printed().size(), 2u);
  EXPECT_EQ(printed()[printed().size() - 2].text, "");
  EXPECT_EQ(printed().back().text, "bad memory access");
  EXPECT_EQ(machine.run.end_reason, ZK_END_RUNTIME_ERROR);
}

TEST_F(RunnerTest, RuntimeErrorDuringResetEffectIsIgnored) {
  machine.reset_glitch = 2;
  zurkel_runtime_error(&machine, "x");
  EXPECT_EQ(machine.pending_command, 0);
}

TEST_F(RunnerTest, ARunResetsTheDrawStateAndCounters) {
  machine.draw[DS_PEN] = 3;
  machine.draw[DS_CAMERA_X] = 7;
  machine.run.time_counter = 50;
  ASSERT_TRUE(start("function _update() end"));
  EXPECT_EQ(machine.draw[DS_PEN], 6);
  EXPECT_EQ(machine.draw[DS_CAMERA_X], 0);
  EXPECT_EQ(machine.run.time_counter, 0);
  EXPECT_TRUE(machine.run.program_started);
}

TEST_F(RunnerTest, RunChainKeepsFileLabelAndParameters) {
  reset_run_chain(&machine);
  EXPECT_EQ(get_run_chain_label(&machine), nullptr);
  std::strcpy(machine.run.current_params, "first params");
  add_run_chain_item(&machine, "carts/first.zk", "back to the very first cart", 0);
  EXPECT_STREQ(get_run_chain_filename(&machine), "carts/first.zk");
  EXPECT_STREQ(get_run_chain_label(&machine), "back to the very first cart");
  EXPECT_STREQ(get_run_chain_param_str(&machine), "first params");
  add_run_chain_item(&machine, "b.zk", "pending", 1);
  EXPECT_EQ(run_chain_cancel_pending(&machine), 1);
  EXPECT_STREQ(get_run_chain_filename(&machine), "carts/first.zk");
  EXPECT_EQ(run_chain_cancel_pending(&machine), 0);
  add_run_chain_item(&machine, "c.zk", "x", 1);
  run_chain_confirm_pending(&machine);
  EXPECT_EQ(run_chain_cancel_pending(&machine), 0);
  EXPECT_EQ(machine.run.run_chain.size(), 2u);
  pop_run_chain(&machine);
  pop_run_chain(&machine);
  pop_run_chain(&machine);
  EXPECT_EQ(machine.run.run_chain.size(), 0u);
}

TEST_F(RunnerTest, RunChainLabelIsCutTo31) {
  reset_run_chain(&machine);
  add_run_chain_item(&machine, "a.zk", std::string(40, 'l').c_str(), 0);
  EXPECT_EQ(std::strlen(get_run_chain_label(&machine)), 31u);
  reset_run_chain(&machine);
}

TEST_F(RunnerTest, CartIdentity) {
  char out[1024];
  derive_cart_identity("/u/carts/games/x.zk", "/u/carts/", "/u/bbs/", out, sizeof out);
  EXPECT_STREQ(out, "games/x.zk");
  derive_cart_identity("/u/bbs/carts/my_game-19488.zk.png", "/u/carts/", "/u/bbs/", out, sizeof out);
  EXPECT_STREQ(out, "my_game-19488");
  derive_cart_identity("/u/bbs/carts/Cool.Game-12.zk", "/u/carts/", "/u/bbs/", out, sizeof out);
  EXPECT_STREQ(out, "ame-12");  // upper case ends the run
  derive_cart_identity("/elsewhere/y.zk", "/u/carts/", "/u/bbs/", out, sizeof out);
  EXPECT_STREQ(out, "/elsewhere/y.zk");
  derive_cart_identity("", "/u/carts/", "/u/bbs/", out, sizeof out);
  EXPECT_STREQ(out, "");
}

namespace {
std::string lines_of(int n, const char* line) {
  std::string s;
  for (int i = 0; i < n; i++) s += line;
  return s;
}
}  // namespace

TEST_F(RunnerTest, TokenLimitIs8192) {
  // "x=1" counts 3 tokens; "z=z" 3 more
  EXPECT_TRUE(start(lines_of(2730, "x=1\n") + "z()"));
  EXPECT_TRUE(printed().empty()) << all_printed();
  EXPECT_FALSE(start(lines_of(2730, "x=1\n") + "z=z"));
  EXPECT_TRUE(printed_has("program too large", 6));
  EXPECT_TRUE(printed_has("8193 / 8192 tokens\n", 6));
  EXPECT_EQ(machine.run.end_reason, ZK_END_SIZE_LIMIT);
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.code_allowance, 16 * 8192);
}

TEST_F(RunnerTest, MemoryBaselineIsSixteenBytesPerToken) {
  ASSERT_TRUE(start("x=1 y=2"));
  EXPECT_EQ(machine.code_allowance, 16 * 6);
}

TEST_F(RunnerTest, PreprocessedShorthandRuns) {
  ASSERT_TRUE(start("a=1 a+=2 if (a!=3) a=100\nb=a"));
  step();
  EXPECT_EQ(global_int("b"), 3);
}

TEST_F(RunnerTest, UnclosedBlockIsNamed) {
  EXPECT_FALSE(start("function f()\n x=1\n"));
  EXPECT_TRUE(printed_has("unclosed function\n", 6)) << all_printed();
  EXPECT_EQ(machine.run.end_reason, ZK_END_SYNTAX_ERROR);
}

TEST_F(RunnerTest, BudgetNeverYieldsAcrossAHostCall) {
  // __pairs runs from inside pairs(), a host function: the budget check must
  // wait instead of raising "attempt to yield across a C-call boundary".
  ASSERT_TRUE(start(
      "t=setmetatable({},{__pairs=function(t) for i=1,100 do for j=1,2000 do end end "
      "return function() return nil end,t,nil end}) "
      "for k in pairs(t) do end ok=1 function _update() end"));
  step();
  step();
  EXPECT_EQ(machine.mode, 1) << all_printed();
  EXPECT_EQ(global_int("ok"), 1);
  EXPECT_TRUE(printed().empty()) << all_printed();
}

TEST_F(RunnerTest, EndlessLoopInAHostCallFailsAfterASecondOfBudget) {
  ASSERT_TRUE(start("t=setmetatable({},{__pairs=function(t)\n while true do end\nend})\nfor k in pairs(t) do end"));
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_RUNTIME_ERROR);
  ASSERT_GE(printed().size(), 3u) << all_printed();
  EXPECT_EQ(printed()[0].text, "runtime error line 2 tab 0");
  EXPECT_EQ(printed()[1].text, " while true do end");
  EXPECT_EQ(printed()[2].text, "attempt to yield across a C-call boundary");
  // one frame's budget at 30 plus one second
  EXPECT_GE(machine.cpu.frame_cycles, 139810 + 4194304);
  EXPECT_LT(machine.cpu.frame_cycles, 139810 + 4194304 + 2048);
}

TEST_F(RunnerTest, FailingFinalizerEndsTheProgramNotTheHost) {
  ASSERT_TRUE(start("function _update()\n local t=setmetatable({},{__gc=function() local x=nil+1 end})\nend"));
  step();
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_RUNTIME_ERROR);
  EXPECT_TRUE(printed_has("error in __gc metamethod (attempt to perform arithmetic on a nil value)", 6))
      << all_printed();
  // the machine still works for the next run
  ASSERT_TRUE(start("x=1 function _update() x+=1 end"));
  step();
  step();
  EXPECT_EQ(global_int("x"), 3);
}

TEST_F(RunnerTest, AFailedMachineIsNotResumedAgain) {
  ASSERT_TRUE(start("function _update() local t=nil t.x=1 end"));
  step();
  EXPECT_EQ(machine.mode, 0);
  size_t lines = printed().size();
  machine.mode = 1;  // a stray run mode with the failed machine
  step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(printed().size(), lines);
}

TEST_F(RunnerTest, ARunCopiesTheRomPartOfTheLoadedCart) {
  zurkel_cart* cart = get_loaded_cart(&machine);
  cart->gfx->line[0][0] = 7;
  cart->gfx->line[0][1] = 2;
  cart->sprite_flags[3] = 0x55;
  ASSERT_TRUE(start("a=peek(0) b=peek(0x3003)"));
  EXPECT_EQ(machine.cart->gfx->line[0][0], 7);
  EXPECT_EQ(machine.cart->sprite_flags[3], 0x55);
  cart->gfx->line[0][0] = 0;
  cart->gfx->line[0][1] = 0;
  cart->sprite_flags[3] = 0;
}

TEST_F(RunnerTest, EachRunSeedsTheScriptGenerator) {
  auto first_rnd = [&](uint32_t seed) {
    zopts.seed_given = 1;
    zopts.seed = seed;
    EXPECT_TRUE(start("x=rnd(30000)"));
    step();
    return global_int("x");
  };
  int a = first_rnd(5);
  zurkel_srand(1234);  // whatever the generator did before, the run reseeds it
  int b = first_rnd(5);
  int c = first_rnd(6);
  zopts.seed_given = 0;
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
}
