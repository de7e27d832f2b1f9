// The runner's per-frame costs: charging an API cost must stay a few
// nanoseconds (it runs on every API call), and one update step of a cart
// that spends its whole budget (139,810 cycles at 30 frames per second)
// must leave most of a 33 ms frame to drawing and presentation: target
// below 5 ms, collection included.
#include <benchmark/benchmark.h>

#include <cstring>

#include "base/bitmap.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "runner/cpu.h"
#include "runner/links.h"
#include "runner/runner.h"

namespace {
struct machine_setup {
  zurkel_machine m;
  machine_setup() {
    m.screen = brim_create_bitmap(128, 128, 8);
    m.mode = 0;
    pstate = &m;
  }
  ~machine_setup() {
    pstate = nullptr;
    brim_destroy_bitmap(m.screen);
  }
  void start(const char* code) {
    zurkel_cart* cart = prog_loaded_cart();
    std::strncpy(cart->code, code, ZURKEL_CODE_BUFFER - 1);
    run_cart();
  }
};

void BM_SpendCpu(benchmark::State& state) {
  machine_setup s;
  s.start("function _update() end");
  for (auto _ : state) {
    spend_cpu(4);
    benchmark::DoNotOptimize(zcpu.api_total);
    if (zcpu.api_total > 1 << 30) cpu_end_frame();
  }
}
BENCHMARK(BM_SpendCpu);

void BM_FullBudgetFrame(benchmark::State& state) {
  machine_setup s;
  s.start("t={} for i=1,500 do t[i]={x=i,y=i} end n=0 while true do n=n+0.25 if n>30000 then n=0 end end");
  for (auto _ : state) run_slice();
  state.counters["cycles_per_frame"] = cpu_budget_per_frame();
}
BENCHMARK(BM_FullBudgetFrame)->Unit(benchmark::kMillisecond);

void BM_StartCart(benchmark::State& state) {
  machine_setup s;
  std::string code;
  for (int i = 0; i < 400; i++)
    code += "function f" + std::to_string(i) + "(a,b) local c=a+b if c>10 then return c*2 end return c end\n";
  for (auto _ : state) s.start(code.c_str());
}
BENCHMARK(BM_StartCart)->Unit(benchmark::kMillisecond);
}  // namespace
