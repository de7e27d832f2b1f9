#include "machine/cpu.h"

#include <algorithm>
#include <climits>

#include "host/time.h"
#include "ldebug.h"
#include "lstate.h"
#include "lua.h"
#include "machine/machine.h"

namespace {
// Passes whole 1,024-cycle units to the interpreter so the next budget
// check comes sooner; the rest stays in the remainder.
void pass_remainder(zurkel_machine* m) {
  zurkel_cpu_state& c = m->cpu;
  if (c.remainder < ZURKEL_HOOK_INSTRUCTIONS) return;
  int units = c.remainder / ZURKEL_HOOK_INSTRUCTIONS;
  c.remainder %= ZURKEL_HOOK_INSTRUCTIONS;
  lua_spend_cpu(m->L, units);
}

// The counters are 32-bit; one call may charge a great deal (a long print
// scrolling thousands of lines), so sums stop at the 32-bit limits instead
// of wrapping round.
void add_clamped(int32_t& counter, int64_t cycles) {
  counter = static_cast<int32_t>(std::clamp<int64_t>(counter + cycles, INT32_MIN, INT32_MAX));
}

void charge(zurkel_machine* m, int cycles) {
  zurkel_cpu_state& c = m->cpu;
  add_clamped(c.remainder, cycles);
  add_clamped(c.frame_cycles, cycles);
  add_clamped(c.yield_counter, cycles);
  pass_remainder(m);
}
}  // namespace

void spend_cpu(zurkel_machine* m, int cycles) {
  if (!m || !m->L) return;
  if (cycles <= 0) cycles = 1;
  add_clamped(m->cpu.api_total, cycles);
  charge(m, cycles);
}

void refund_cpu(zurkel_machine* m, int cycles) {
  if (!m || !m->L) return;
  if (cycles > 0) add_clamped(m->cpu.api_total, cycles);
  charge(m, cycles);
}

int32_t cpu_budget_per_frame(const zurkel_machine* m) {
  return ZURKEL_CYCLES_PER_SECOND / std::max(m->fps_target, 1);
}

void instruction_limiter(lua_State* L, lua_Debug*) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return;
  zurkel_cpu_state& c = m->cpu;
  add_clamped(c.frame_cycles, ZURKEL_HOOK_INSTRUCTIONS);
  add_clamped(c.yield_counter, ZURKEL_HOOK_INSTRUCTIONS);
  // A hook inside a call the interpreter cannot suspend (a metamethod run
  // from a host function) waits for the next check instead of failing the
  // program with a yield across the host call.
  if (c.yield_counter < cpu_budget_per_frame(m)) return;
  if (L->nny == 0) {
    // A coroutine of the program yields to its resumer, which goes on in
    // the same frame: the count stays spent, so the program's own thread
    // yields at its next check instead of looping on resumes for ever.
    if (L == G(L)->mainthread) c.yield_counter = 0;
    lua_yield(L, 0);
  }
  // Such a call may run one more second of budget; past that it fails as a
  // yield there would, so an endless loop in it cannot hang the host.
  if (int64_t{c.yield_counter} - cpu_budget_per_frame(m) >= ZURKEL_CYCLES_PER_SECOND)
    luaG_runerror(L, "attempt to yield across a C-call boundary");
}

int32_t cycles_2_frame_capacity(const zurkel_machine* m, int32_t cycles) {
  int64_t per_frame = ZURKEL_CYCLES_PER_SECOND / std::max(m->cpu.fps_cap, 1);
  return static_cast<int32_t>(static_cast<int64_t>(cycles) * 65536 / per_frame);
}

bool cpu_can_yield(lua_State* L) { return L->nny == 0; }

void cpu_end_frame(zurkel_machine* m) {
  m->cpu.yield_counter = 0;
  m->cpu.frame_cycles = 0;
  m->cpu.api_total = 0;
}

void cpu_mark(zurkel_machine* m, int i) {
  i = std::clamp(i, 0, 2);
  m->cpu.mark_cycles[i] = m->cpu.frame_cycles;
  m->cpu.mark_ms[i] = host_ticks_ms();
}

void cpu_set_fps(zurkel_machine* m, int n) {
  m->fps_target = n;
  m->cpu.fps_cap = n;
}

void cpu_clear_remainder(zurkel_machine* m) { m->cpu.remainder = 0; }

void cpu_reset_penalty(zurkel_machine* m) {
  m->cpu.penalty = 0;
  m->cpu.last_drop_ms = 0;
  m->cpu.dropped_before = false;
}

void cpu_reset_all(zurkel_machine* m) { m->cpu = zurkel_cpu_state{}; }
