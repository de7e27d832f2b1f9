// Host cost of one emulated second: 60 iterations of the console loop
// (update, draw) with the virtual clock, for a cart that spends its whole
// CPU budget in every update step at 60 frames per second. Target: below
// 50 ms of host CPU per emulated second, peak memory below 64 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>

#include "base/bitmap.h"
#include "machine/cart.h"
#include "console/main_loop.h"
#include "machine/machine.h"
#include "host/time.h"
#include "cart/pipeline.h"
#include "machine/cpu.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/options.h"

namespace {
struct loop_setup {
  zurkel_machine m;
  loop_setup() {
    m.screen = brim_create_bitmap(128, 128, 8);
    m.display = brim_create_bitmap(128, 128, 8);
    m.capture = brim_create_bitmap(128, 128, 8);
    m.mode = 0;
    m.host = &zurkel_console_host;
    std::memset(&zcon, 0, sizeof zcon);
    zurkel_options_default();
    brim_config_default();
    zurkel_config_default();
    zopts.fast = 1;
    host_use_virtual_clock(true);
  }
  ~loop_setup() {
    host_use_virtual_clock(false);
    brim_destroy_bitmap(m.screen);
    brim_destroy_bitmap(m.display);
    brim_destroy_bitmap(m.capture);
  }
  void start(const char* code) {
    zurkel_cart* cart = get_loaded_cart(&m);
    std::strncpy(cart->code, code, ZURKEL_CODE_BUFFER - 1);
    m.pending_command = 1;
  }
};

double peak_mb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_EmulatedSecondFullBudget60(benchmark::State& state) {
  loop_setup s;
  s.start("function _update60() end function _draw() local n=0 while true do n=n+1 end end");
  brim_main_update(&s.m);  // carries out the run request
  int64_t steps = 0;
  for (auto _ : state) {
    for (int i = 0; i < 60; i++) {
      brim_main_update(&s.m);
      brim_main_draw(&s.m);
    }
  }
  steps = zcon.steps;
  state.counters["fps_target"] = s.m.fps_target;
  state.counters["steps"] = static_cast<double>(steps);
  state.counters["budget_cycles"] = cpu_budget_per_frame(&s.m);
  state.counters["peak_MB"] = peak_mb();
}
BENCHMARK(BM_EmulatedSecondFullBudget60)->Unit(benchmark::kMillisecond);

void BM_EmulatedSecondIdleConsole(benchmark::State& state) {
  loop_setup s;
  for (auto _ : state)
    for (int i = 0; i < 30; i++) {
      brim_main_update(&s.m);
      brim_main_draw(&s.m);
    }
  state.counters["peak_MB"] = peak_mb();
}
BENCHMARK(BM_EmulatedSecondIdleConsole)->Unit(benchmark::kMillisecond);
}  // namespace
