// The script heap budget: the allocator's counts, limits and soft yield,
// and the collection in front of each slice.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "machine/heap.h"
#include "script/interp.h"
#include "lauxlib.h"
#include "lua.h"
#include "base/debug.h"
#include "machine/machine.h"

namespace {

struct HeapAlloc : ::testing::Test {
  std::unique_ptr<zurkel_machine> m = std::make_unique<zurkel_machine>();

  void SetUp() override { zurkel_soft_yield_count = 0; }
  void TearDown() override { zurkel_soft_yield_count = 0; }
  void* alloc(size_t kind, size_t n) { return zurkel_lua_alloc(m.get(), nullptr, kind, n); }
  void release(void* p, size_t n) { zurkel_lua_alloc(m.get(), p, n, 0); }
};

TEST_F(HeapAlloc, CountsByObjectKind) {
  EXPECT_EQ(zurkel_heap_count_for_kind(0, 100, false), 100);
  EXPECT_EQ(zurkel_heap_count_for_kind(0, 100, true), 0);
  EXPECT_EQ(zurkel_heap_count_for_kind(1, 100, true), 100);
  EXPECT_EQ(zurkel_heap_count_for_kind(2, 100, false), 0);
  EXPECT_EQ(zurkel_heap_count_for_kind(4, 30, false), 30);    // short string
  EXPECT_EQ(zurkel_heap_count_for_kind(5, 56, true), 56);     // table, even while compiling
  EXPECT_EQ(zurkel_heap_count_for_kind(6, 40, false), 40);    // script function
  EXPECT_EQ(zurkel_heap_count_for_kind(7, 5000, false), 32);  // userdata
  EXPECT_EQ(zurkel_heap_count_for_kind(8, 200, false), 32);   // thread
  EXPECT_EQ(zurkel_heap_count_for_kind(9, 120, true), 32);    // prototype
  EXPECT_EQ(zurkel_heap_count_for_kind(19, 1, false), 32);
  EXPECT_EQ(zurkel_heap_count_for_kind(20, 5000, false), 0);  // long string
  EXPECT_EQ(zurkel_heap_count_for_kind(38, 48, false), 0);    // host function
}

TEST_F(HeapAlloc, FreeSubtractsWhatTheBlockAdded) {
  void* a = alloc(5, 56);
  void* b = alloc(9, 500);
  void* c = alloc(20, 1000);
  EXPECT_EQ(m->heap_bytes, 56 + 32);
  release(b, 500);
  EXPECT_EQ(m->heap_bytes, 56);
  release(c, 1000);
  release(a, 56);
  EXPECT_EQ(m->heap_bytes, 0);
  EXPECT_EQ(zurkel_lua_alloc(m.get(), nullptr, 0, 0), nullptr);  // nothing to free
}

TEST_F(HeapAlloc, BlocksComeAlignedAndKeepTheirBytes) {
  auto* p = static_cast<unsigned char*>(alloc(0, 24));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
  for (int i = 0; i < 24; i++) p[i] = static_cast<unsigned char>(i);
  p = static_cast<unsigned char*>(zurkel_lua_alloc(m.get(), p, 24, 4000));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 24; i++) EXPECT_EQ(p[i], i);
  EXPECT_EQ(m->heap_bytes, 4000);
  release(p, 4000);
}

TEST_F(HeapAlloc, ResizeKeepsUncountedBlocksUncounted) {
  void* counted = alloc(0, 100);
  counted = zurkel_lua_alloc(m.get(), counted, 100, 300);
  EXPECT_EQ(m->heap_bytes, 300);
  m->heap_compiling = 1;
  void* quiet = alloc(0, 100);
  m->heap_compiling = 0;
  EXPECT_EQ(m->heap_bytes, 300);
  quiet = zurkel_lua_alloc(m.get(), quiet, 100, 5000);
  EXPECT_EQ(m->heap_bytes, 300);
  counted = zurkel_lua_alloc(m.get(), counted, 300, 10);
  EXPECT_EQ(m->heap_bytes, 10);
  release(quiet, 5000);
  release(counted, 10);
  EXPECT_EQ(m->heap_bytes, 0);
}

TEST_F(HeapAlloc, SoftLimitMarksAndYieldsWithoutRefusing) {
  lua_State* L = lua_newstate(zurkel_lua_alloc, m.get());
  ASSERT_NE(L, nullptr);
  m->L = L;
  lua_sethook(L, [](lua_State*, lua_Debug*) {}, LUA_MASKCOUNT, 1024);
  int start = m->heap_bytes;
  m->heap_bytes = ZURKEL_HEAP_SOFT_LIMIT + 100;
  m->code_allowance = 100;  // the allowance is taken off here: exactly at the limit
  void* p = alloc(5, 56);
  EXPECT_EQ(m->heap_over_budget, 0);
  release(p, 56);
  m->code_allowance = 99;
  p = alloc(5, 56);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(m->heap_over_budget, 1);
  EXPECT_EQ(m->heap_refused, 0);
  EXPECT_EQ(lua_get_cpu(L), 1);  // the hook runs before the next instruction
  EXPECT_EQ(zurkel_soft_yield_count, 1024);
  release(p, 56);
  m->heap_bytes = start;
  m->code_allowance = 0;
  m->L = nullptr;
  lua_close(L);
  EXPECT_EQ(m->heap_bytes, 0);
}

TEST_F(HeapAlloc, HardLimitRefusesGrowthButNotShrinking) {
  void* p = alloc(0, 4096);
  m->heap_bytes += ZURKEL_HEAP_HARD_LIMIT - 4096 + 1;  // just over 128 MiB
  EXPECT_EQ(alloc(5, 56), nullptr);
  EXPECT_EQ(m->heap_refused, 1);
  EXPECT_EQ(zurkel_lua_alloc(m.get(), p, 4096, 8192), nullptr);
  m->heap_refused = 0;
  p = zurkel_lua_alloc(m.get(), p, 4096, 16);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(m->heap_refused, 0);
  m->code_allowance = 1;  // back at the limit: allowed again
  void* q = alloc(5, 56);
  EXPECT_NE(q, nullptr);
  release(q, 56);
  release(p, 16);
  m->heap_bytes = 0;
}

TEST_F(HeapAlloc, UncountedBytesStillHaveAHostLimit) {
  int64_t before = zurkel_heap_host_bytes(m.get());
  EXPECT_EQ(alloc(20, static_cast<size_t>(ZURKEL_HEAP_HOST_LIMIT)), nullptr);
  EXPECT_EQ(m->heap_refused, 1);
  EXPECT_EQ(m->heap_bytes, 0);
  EXPECT_EQ(zurkel_heap_host_bytes(m.get()), before);
}

TEST_F(HeapAlloc, StatReportsKibCappedAt2048) {
  m->heap_bytes = 1536;
  m->code_allowance = 512;
  EXPECT_EQ(zurkel_heap_stat(m.get()), 2 << 16);
  m->heap_bytes = 1000;
  m->code_allowance = 0;
  EXPECT_EQ(zurkel_heap_stat(m.get()), 1000 << 6);  // fraction kept
  m->heap_bytes = ZURKEL_HEAP_HARD_LIMIT;
  EXPECT_EQ(zurkel_heap_stat(m.get()), 2048 << 16);
  m->heap_bytes = -10;
  EXPECT_EQ(zurkel_heap_stat(m.get()), 0);
  m->heap_bytes = 0;
}

// A machine on the budget allocator.
struct HeapMachine : HeapAlloc {
  lua_State* L = nullptr;
  void SetUp() override {
    HeapAlloc::SetUp();
    L = lua_newstate(zurkel_lua_alloc, m.get());
    ASSERT_NE(L, nullptr);
    m->L = L;
    lua_gc(L, LUA_GCSTOP, 0);
  }
  void TearDown() override {
    m->L = nullptr;
    lua_close(L);
    EXPECT_EQ(m->heap_bytes, 0);  // closing uncounts every block
    HeapAlloc::TearDown();
  }
  // n tables of four numbers, kept in a global table when keep is set.
  void make_tables(int n, bool keep) {
    lua_newtable(L);
    for (int i = 1; i <= n; i++) {
      lua_createtable(L, 4, 0);
      if (keep) lua_rawseti(L, -2, i);
      else lua_pop(L, 1);
    }
    if (keep) lua_setglobal(L, "kept");
    else lua_pop(L, 1);
  }
};

TEST_F(HeapMachine, LongStringsAreNotCounted) {
  int start = m->heap_bytes;
  std::string big(100000, 'x');
  lua_pushlstring(L, big.data(), big.size());
  EXPECT_LT(m->heap_bytes - start, 100);
  lua_pop(L, 1);
  int before_short = m->heap_bytes;
  lua_pushstring(L, "a short string of forty characters......");
  EXPECT_GT(m->heap_bytes - before_short, 40);  // up to 40 characters: counted
  lua_pop(L, 1);
}

TEST_F(HeapMachine, CompilingIsNotChargedForPlainMemory) {
  std::string code = "local a = 1\n";
  for (int i = 0; i < 200; i++) code += "a = a + " + std::to_string(i) + "\n";
  int start = m->heap_bytes;
  m->heap_compiling = 1;
  ASSERT_EQ(luaL_loadbufferx(L, code.c_str(), code.size(), "c", nullptr), LUA_OK);
  m->heap_compiling = 0;
  int quiet = m->heap_bytes - start;
  lua_pop(L, 1);
  lua_gc(L, LUA_GCCOLLECT, 0);
  start = m->heap_bytes;
  ASSERT_EQ(luaL_loadbufferx(L, code.c_str(), code.size(), "c", nullptr), LUA_OK);
  int loud = m->heap_bytes - start;
  lua_pop(L, 1);
  EXPECT_GT(loud, quiet + 800);  // 200 statements of code words at least
}

TEST_F(HeapMachine, SliceCollectionFreesGarbageAndStopsTheCollector) {
  make_tables(20000, false);
  EXPECT_GT(m->heap_bytes, ZURKEL_HEAP_SOFT_LIMIT);
  m->heap_over_budget = 1;
  EXPECT_TRUE(zurkel_heap_collect_for_slice(m.get()));
  EXPECT_LT(m->heap_bytes, 100000);
  EXPECT_EQ(m->heap_over_budget, 0);
  EXPECT_EQ(lua_gc(L, LUA_GCISRUNNING, 0), 0);
}

TEST_F(HeapMachine, LiveDataOverBudgetIsReportedWithAHardCollect) {
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  brim_debug_set_second(log);
  make_tables(20000, true);
  int live = m->heap_bytes;
  EXPECT_GT(live, ZURKEL_HEAP_SOFT_LIMIT);
  EXPECT_FALSE(zurkel_heap_collect_for_slice(m.get()));
  brim_debug_set_second(nullptr);
  EXPECT_EQ(lua_gc(L, LUA_GCISRUNNING, 0), 0);
  std::rewind(log);
  char line[128] = {};
  ASSERT_NE(std::fgets(line, sizeof line, log), nullptr);
  std::fclose(log);
  int before = 0, after = 0;
  const char* at = std::strstr(line, "gc hard collect: ");  // after any log indentation
  ASSERT_NE(at, nullptr) << line;
  ASSERT_EQ(std::sscanf(at, "gc hard collect: %d -> %d", &before, &after), 2) << line;
  EXPECT_EQ(after, m->heap_bytes);
  EXPECT_GE(before, after);
}

TEST_F(HeapMachine, CodeAllowanceCountsTowardsTheSliceBudget) {
  make_tables(9000, true);  // well under 2 MiB on its own
  ASSERT_LT(m->heap_bytes, ZURKEL_HEAP_SOFT_LIMIT - 100000);
  EXPECT_TRUE(zurkel_heap_collect_for_slice(m.get()));
  m->code_allowance = ZURKEL_HEAP_SOFT_LIMIT - m->heap_bytes + 1;
  EXPECT_FALSE(zurkel_heap_collect_for_slice(m.get()));
  m->code_allowance = 0;
}

}  // namespace
