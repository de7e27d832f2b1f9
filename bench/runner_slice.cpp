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
#include "cart/pipeline.h"
#include "console/main_loop.h"
#include "machine/cpu.h"
#include "runner/runner.h"

namespace {
struct machine_setup {
  zurkel_machine m;
  machine_setup() {
    m.screen = brim_create_bitmap(128, 128, 8);
    m.mode = 0;
    m.host = &zurkel_console_host;
  }
  ~machine_setup() {
    brim_destroy_bitmap(m.screen);
  }
  void start(const char* code) {
    zurkel_cart* cart = get_loaded_cart(&m);
    std::strncpy(cart->code, code, ZURKEL_CODE_BUFFER - 1);
    run_cart(&m);
  }
};

void BM_SpendCpu(benchmark::State& state) {
  machine_setup s;
  s.start("function _update() end");
  for (auto _ : state) {
    spend_cpu(&s.m, 4);
    benchmark::DoNotOptimize(s.m.cpu.api_total);
    if (s.m.cpu.api_total > 1 << 30) cpu_end_frame(&s.m);
  }
}
BENCHMARK(BM_SpendCpu);

void BM_FullBudgetFrame(benchmark::State& state) {
  machine_setup s;
  s.start("t={} for i=1,500 do t[i]={x=i,y=i} end n=0 while true do n=n+0.25 if n>30000 then n=0 end end");
  for (auto _ : state) run_slice(&s.m);
  state.counters["cycles_per_frame"] = cpu_budget_per_frame(&s.m);
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
