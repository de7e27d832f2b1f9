// The memory functions and the heap budget seen by a running program:
// CPU charges, running out of memory, and the machine afterwards.
#include <filesystem>

#include "machine/heap.h"
#include "cart/pipeline.h"
#include "cart_test_util.h"
#include "machine/memory.h"
#include "runner_fixture.h"

namespace {

class MemRun : public RunnerTest {
 protected:
  std::string folder = cart_test_folder("memrun");
  cart_test_folders folders{folder, folder};

  void SetUp() override {
    RunnerTest::SetUp();
    clear_cstore_file_list(&machine);
    forget_last_other_file(&machine);
  }
  void TearDown() override {
    clear_cstore_file_list(&machine);
    forget_last_other_file(&machine);
    std::filesystem::remove_all(folder);
    RunnerTest::TearDown();
  }

  // Runs top-level code to its end (no flip, so the frame's counters keep
  // everything it charged).
  void run_to_end(const std::string& code) {
    ASSERT_TRUE(start(code));
    for (int i = 0; i < 20 && machine.mode == 1; i++) step();
    ASSERT_EQ(machine.mode, 0) << all_printed();
  }
  int32_t api_total_of(const std::string& code) {
    cpu_reset_all(&machine);
    run_to_end(code);
    return machine.cpu.api_total;
  }
  int32_t frame_cycles_of(const std::string& code) {
    cpu_reset_all(&machine);
    run_to_end(code);
    return machine.cpu.frame_cycles;
  }
  int ram16(int addr) { return machine.ram[addr] | machine.ram[addr + 1] << 8; }
};

TEST_F(MemRun, MemsetChargesHalfTheLength) {
  int32_t base = api_total_of("x=1");
  EXPECT_EQ(api_total_of("memset(0x6000, 0x77, 0x2000)") - base, 4096);
  EXPECT_EQ(machine.ram[0x6000], 0x77);
  EXPECT_EQ(machine.ram[0x7fff], 0x77);
  EXPECT_EQ(api_total_of("memset(0x6000, 0x77, 2)") - base, 1);
}

TEST_F(MemRun, MemcpyChargesTheLengthPlusOne) {
  int32_t base = api_total_of("x=1");
  EXPECT_EQ(api_total_of("memcpy(0x6000, 0, 100)") - base, 101);
}

TEST_F(MemRun, ReloadCharges8PerByteUpTo4096) {
  int32_t base = api_total_of("x=1");
  EXPECT_EQ(api_total_of("reload()") - base, 0x8000);
  EXPECT_EQ(api_total_of("reload(0, 0, 100)") - base, 800);
  EXPECT_EQ(api_total_of("reload(0, 0, 5000)") - base, 8 * 4096);
}

TEST_F(MemRun, CstoreCharges64PerByteUpTo4096) {
  int32_t base = api_total_of("x=1");
  EXPECT_EQ(api_total_of("n = cstore(0, 0, 5000, \"c.zk\")") - base, 64 * 4096);
  EXPECT_TRUE(std::filesystem::exists(folder + "/cstore/c.zk"));
  EXPECT_EQ(api_total_of("cstore(0, 0, 10, \"c.zk\")") - base, 640);
}

TEST_F(MemRun, PeekAndPokeRefundOnlyWithTheirUsualArguments) {
  int32_t peek1 = frame_cycles_of("peek(0)");
  int32_t peek2 = frame_cycles_of("peek(0, 0)");
  EXPECT_EQ(peek2 - peek1, 2);
  int32_t poke2 = frame_cycles_of("poke(0, 0)");
  int32_t poke3 = frame_cycles_of("poke(0, 0, 0)");
  EXPECT_EQ(poke3 - poke2, 3);
  int32_t base = frame_cycles_of("x=1");
  EXPECT_EQ(frame_cycles_of("peek(0) peek(0) peek(0)") - base, -6);
  // a refund never adds to the API total
  EXPECT_EQ(api_total_of("peek(0) poke(0, 0)"), api_total_of("x=1"));
}

// Builds tables without bound and records the largest stat(0) seen (whole
// KiB) at 0x4300, which outlives the script machine.
constexpr const char* kGreedy = R"(
t = {}
function _update()
  for i = 1, 3000 do add(t, {i, i, i, i}) end
  local kib = flr(stat(0))
  if kib > peek(0x4300) + peek(0x4301) * 256 then
    poke(0x4300, kib % 256) poke(0x4301, flr(kib / 256))
  end
  poke(0x4302, peek(0x4302) + 1)
end
)";

TEST_F(MemRun, UnboundedTablesRunOutOfMemoryWithinAFewFrames) {
  ASSERT_TRUE(start(kGreedy));
  int frames = 0;
  while (machine.mode == 1 && frames < 60) {
    step();
    frames++;
    EXPECT_LE(zurkel_heap_stat(&machine), 2048 << 16);
  }
  EXPECT_EQ(machine.mode, 0);
  EXPECT_LT(frames, 30);
  EXPECT_EQ(machine.run.end_reason, ZK_END_OUT_OF_MEMORY);
  EXPECT_TRUE(printed_has("out of memory", 6)) << all_printed();
  EXPECT_FALSE(printed_has("not enough memory"));
  int most = ram16(0x4300);
  EXPECT_LE(most, 2048);
  EXPECT_GT(most, 1000);  // it did get near the budget first
  EXPECT_GE(machine.ram[0x4302], 3);
  // the old machine is gone: its globals with it, and its memory uncounted
  EXPECT_LT(machine.heap_bytes, 200000);

  ASSERT_TRUE(start("n = 0 function _update() n = n + 1 m = stat(0) end"));
  for (int i = 0; i < 5; i++) step();
  EXPECT_EQ(machine.mode, 1);
  EXPECT_EQ(global_int("n"), 5);
  EXPECT_LT(global_int("m"), 200);
  EXPECT_EQ(global_str("t"), "<nil>");
}

TEST_F(MemRun, GarbageOverTheBudgetIsCollectedWithinTheFrame) {
  // over 3 MiB of tables per frame, all garbage at once
  ASSERT_TRUE(start(R"(
frames = 0
function _update()
  for i = 1, 9000 do local g = {a=i, b=i, c=i, d=i, e=i, f=i, g=i, h=i} end
  frames = frames + 1
end)"));
  int steps = 12;
  for (int i = 0; i < steps; i++) {
    int before = global_int("frames");
    step();
    ASSERT_EQ(machine.mode, 1) << all_printed();
    EXPECT_LE(global_int("frames"), before + 1) << "never two frames in one update step";
    EXPECT_FALSE(machine.hold_frame) << "the frame was finished and can be shown";
  }
  EXPECT_GE(global_int("frames"), steps - 1);
  // the pressure was met by extra slice sections within the update steps
  EXPECT_GT(machine.run.section_count, steps);
}

TEST_F(MemRun, LongStringsDoNotCountAgainstTheBudget) {
  ASSERT_TRUE(start(R"(
s = "0123456789012345678901234567890123456789x"
for i = 1, 14 do s = s .. s end
keep = {}
for i = 1, 8 do keep[i] = s .. i end
n = 0
function _update() n = n + 1 m = stat(0) end
)"));
  // eight strings of 656 KiB each: over 5 MiB alive, yet not counted
  for (int i = 0; i < 5; i++) step();
  EXPECT_EQ(machine.mode, 1) << all_printed();
  EXPECT_EQ(global_int("n"), 5);
  EXPECT_LT(global_int("m"), 100);
}

TEST_F(MemRun, AStringTooLargeForTheHostIsRefusedWithoutATraceback) {
  ASSERT_TRUE(start(R"(
function grow()
  s = "x"
  for i = 1, 40 do s = s .. s end
end
function _update() grow() end
)"));
  for (int i = 0; i < 10 && machine.mode == 1; i++) step();
  EXPECT_EQ(machine.mode, 0);
  EXPECT_EQ(machine.run.end_reason, ZK_END_OUT_OF_MEMORY);
  EXPECT_EQ(machine.heap_refused, 0);  // cleared by the report
  EXPECT_FALSE(printed_has("not enough memory")) << all_printed();
  for (auto& l : printed()) EXPECT_NE(l.colour, 13) << "traceback line: " << l.text;
  ASSERT_TRUE(start("ok = 1"));
  step();
  EXPECT_EQ(global_int("ok"), 1);
}

TEST_F(MemRun, AnOldRefusalDoesNotHideTheNextTraceback) {
  ASSERT_TRUE(start("function f()\n local a=nil\n return a.b\nend\nfunction _update() f() end\n"));
  machine.heap_refused = 1;  // left over from an error a coroutine caught
  step();
  EXPECT_EQ(machine.run.end_reason, ZK_END_RUNTIME_ERROR);
  EXPECT_TRUE(printed_has("in f line 3 (tab 0)", 13)) << all_printed();
}

}  // namespace
