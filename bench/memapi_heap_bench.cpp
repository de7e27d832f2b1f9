// The script heap budget's costs. The allocator runs for every object a
// program makes: target within a few nanoseconds of the host allocator.
// Every slice starts with a full collection: with a program holding nearly
// the whole 2 MiB budget it must stay well inside a 33 ms frame (target
// below 5 ms).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "machine/heap.h"
#include "lua.h"
#include "machine/machine.h"

namespace {

void BM_HostRealloc(benchmark::State& state) {
  for (auto _ : state) {
    void* p = std::realloc(nullptr, 56);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}
BENCHMARK(BM_HostRealloc);

void BM_BudgetAllocFree(benchmark::State& state) {
  zurkel_machine m;
  for (auto _ : state) {
    void* p = zurkel_lua_alloc(&m, nullptr, 5, 56);
    benchmark::DoNotOptimize(p);
    zurkel_lua_alloc(&m, p, 56, 0);
  }
}
BENCHMARK(BM_BudgetAllocFree);

void BM_SliceCollectionNearBudget(benchmark::State& state) {
  zurkel_machine m;
  lua_State* L = lua_newstate(zurkel_lua_alloc, &m);
  m.L = L;
  lua_gc(L, LUA_GCSTOP, 0);
  lua_newtable(L);
  for (int i = 1; m.heap_bytes < 0x1C0000; i++) {  // 1.75 MiB alive
    lua_createtable(L, 4, 0);
    lua_rawseti(L, -2, i);
  }
  lua_setglobal(L, "kept");
  for (auto _ : state) benchmark::DoNotOptimize(zurkel_heap_collect_for_slice(&m));
  state.counters["heap_kib"] = m.heap_bytes / 1024;
  m.L = nullptr;
  lua_close(L);
}
BENCHMARK(BM_SliceCollectionNearBudget)->Unit(benchmark::kMillisecond);

}  // namespace
