#include "console/reset_effect.h"

#include <cstdio>

#include "base/random.h"
#include "console/main_loop.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "settings/options.h"

namespace {
int r(uint32_t n) { return static_cast<int>(brim_random(n)); }
}  // namespace

void zurkel_start_reset_effect(zurkel_machine* m) { m->reset_glitch = 1; }

void zurkel_glitch_memory(zurkel_machine* m, int n_override) {
  zurkel_cart* live = m->cart;
  // Everything goes through the memory map, so cart data (guarded while the
  // counter is non-zero) is never touched; 0x5F2E survives.
  int keep_palette = zurkel_peek(m, live, 0x5F2E);
  if (r(8) == 0) zurkel_poke(m, live, 0x5F2C, r(4));
  if (r(8) == 0)
    for (int i = 0; i < 4; i++) zurkel_poke(m, live, 0x5F40, r(256));
  int n = brim_rand() != 0 ? r(4) + 2 : r(30) + 10;
  if (r(20) == 0) n = 300;
  if (n_override >= 0) n = n_override;
  for (int i = 0; i < 10 * n; i++) {
    int addr = r(0x8000);
    zurkel_poke(m, live, addr, r(256));
  }
  for (int i = 0; i < n / 2; i++) {
    int d = 1024 + r(30720);
    int s = d + r(2048);
    s -= r(2048);
    zurkel_memcpy(m, live, d, s, r(1024));
    int len = r(1024);
    int src = r(0x7C00);
    zurkel_memcpy(m, live, r(0x7C00), src, len);
  }
  for (int i = 0; i < n / 2; i++) {
    int len = r(512);
    int addr = r(0x4800);
    zurkel_memset(m, live, addr, r(256), len);
  }
  zurkel_poke(m, live, 0x5F2E, keep_palette);
}

void update_reset_glitch(zurkel_machine* m) {
  if (m->reset_glitch == 0) return;
  if (m->reset_glitch == 1) zurkel_glitch_memory(m, zopts.glitch_test ? 2 * zcon.glitch_shots : -1);
  if (++m->reset_glitch > 4) {
    m->reset_glitch = 0;
    // The program restarts with the parameters it was running with.
    std::snprintf(m->run_args, sizeof m->run_args, "%s", m->run.current_params);
    m->pending_command = 1;
  }
}
