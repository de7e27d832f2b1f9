#include "runner/cpu.h"

#include <algorithm>

#include "ldebug.h"
#include "lstate.h"
#include "lua.h"
#include "machine/machine.h"
#include "runner/links.h"

zurkel_cpu_state zcpu;

namespace {
int target() { return pstate ? pstate->fps_target : 30; }

// Passes whole 1,024-cycle units to the interpreter so the next budget
// check comes sooner; the rest stays in the remainder.
void pass_remainder(lua_State* L) {
  if (zcpu.remainder < ZURKEL_HOOK_INSTRUCTIONS) return;
  int units = zcpu.remainder / ZURKEL_HOOK_INSTRUCTIONS;
  zcpu.remainder %= ZURKEL_HOOK_INSTRUCTIONS;
  prog_lua_spend_cpu(L, units);
}
}  // namespace

void spend_cpu(int cycles) {
  lua_State* L = prog_machine();
  if (!L) return;
  if (cycles <= 0) cycles = 1;
  zcpu.api_total += cycles;
  zcpu.remainder += cycles;
  zcpu.frame_cycles += cycles;
  zcpu.yield_counter += cycles;
  pass_remainder(L);
}

void refund_cpu(int cycles) {
  lua_State* L = prog_machine();
  if (!L) return;
  if (cycles > 0) zcpu.api_total += cycles;
  zcpu.remainder += cycles;
  zcpu.frame_cycles += cycles;
  zcpu.yield_counter += cycles;
  pass_remainder(L);
}

int32_t cpu_budget_per_frame() { return ZURKEL_CYCLES_PER_SECOND / std::max(target(), 1); }

void instruction_limiter(lua_State* L, lua_Debug*) {
  zcpu.frame_cycles += ZURKEL_HOOK_INSTRUCTIONS;
  zcpu.yield_counter += ZURKEL_HOOK_INSTRUCTIONS;
  // A hook inside a call the interpreter cannot suspend (a metamethod run
  // from a host function) waits for the next check instead of failing the
  // program with a yield across the host call.
  if (zcpu.yield_counter < cpu_budget_per_frame()) return;
  if (L->nny == 0) {
    zcpu.yield_counter = 0;
    lua_yield(L, 0);
  }
  // Such a call may run one more second of budget; past that it fails as a
  // yield there would, so an endless loop in it cannot hang the host.
  if (zcpu.yield_counter - cpu_budget_per_frame() >= ZURKEL_CYCLES_PER_SECOND)
    luaG_runerror(L, "attempt to yield across a C-call boundary");
}

int32_t cycles_2_frame_capacity(int32_t cycles) {
  int64_t per_frame = ZURKEL_CYCLES_PER_SECOND / std::max(zcpu.fps_cap, 1);
  return static_cast<int32_t>(static_cast<int64_t>(cycles) * 65536 / per_frame);
}

void update_frame_rate() {
  // 1. host rate history
  std::copy(zcpu.host_rates + 1, zcpu.host_rates + 30, zcpu.host_rates);
  zcpu.host_rates[29] = prog_host_fps();
  int sum = 0, n = 0;
  for (int r : zcpu.host_rates)
    if (r) sum += r, n++;
  int avg = n ? sum / n : 1;

  // 2. update-plus-draw load of this frame
  int32_t load = 16 << 16;
  const int cap = std::max(zcpu.fps_cap, 1);
  if (zcpu.mark_cycles[2] > zcpu.mark_cycles[0]) {
    int64_t per_frame = ZURKEL_CYCLES_PER_SECOND / cap;
    int32_t current = static_cast<int32_t>(
        static_cast<int64_t>(zcpu.mark_cycles[2] - zcpu.mark_cycles[0]) * 65536 / per_frame);
    int32_t previous = zcpu.load_current;
    zcpu.load_previous = previous;
    zcpu.load_current = current;
    load = previous ? std::max(previous, current) : current;
  }

  // 3. estimated frame time. A frame whose marks fall in the same
  // millisecond took less than one, so it counts from 0 rather than as a
  // whole second (which would keep a fast program at half rate forever).
  int64_t ms = 1000;
  bool measured = zcpu.mark_ms[2] > zcpu.mark_ms[0] ||
                  (zcpu.mark_ms[2] == zcpu.mark_ms[0] && zcpu.mark_cycles[2] > zcpu.mark_cycles[0]);
  if (measured)
    ms = zcpu.penalty + static_cast<int64_t>(zcpu.mark_ms[2] - zcpu.mark_ms[0]) +
         std::max(prog_last_draw_ms(), 0) + prog_sleep_ms();

  // 4.
  if (!prog_host_framerate_control()) {
    avg = 10000;
    ms = 0;
  }
  if (!pstate) return;
  int& tgt = pstate->fps_target;

  // 5. an overrun frame halves the rate
  if (zcpu.frame_held && tgt == zcpu.fps_cap) {
    tgt /= 2;
    zcpu.frame_held = false;
    return;
  }
  zcpu.frame_held = false;

  if (tgt == 60 && zcpu.fps_cap == 60) {
    // 7. the host cannot keep up
    if (avg <= 57) {
      tgt = 30;
      uint64_t now = prog_time_ms();
      if (prog_window_active() && zcpu.dropped_before && now - zcpu.last_drop_ms < 200)
        zcpu.penalty = std::min(zcpu.penalty + 1, 10);
      zcpu.last_drop_ms = now;
      zcpu.dropped_before = true;
    }
  } else if (tgt < zcpu.fps_cap) {
    // 8. back up when host, time and load allow
    if (avg >= zcpu.fps_cap - 2 && (zcpu.fps_cap == 30 || ms <= 16) && load <= 0xF7FF) tgt = zcpu.fps_cap;
  }
}

void cpu_end_frame() {
  zcpu.yield_counter = 0;
  zcpu.frame_cycles = 0;
  zcpu.api_total = 0;
}

void cpu_mark(int i) {
  i = std::clamp(i, 0, 2);
  zcpu.mark_cycles[i] = zcpu.frame_cycles;
  zcpu.mark_ms[i] = prog_time_ms();
}

void cpu_set_fps(int n) {
  if (pstate) pstate->fps_target = n;
  zcpu.fps_cap = n;
}

void cpu_clear_remainder() { zcpu.remainder = 0; }

void cpu_reset_penalty() {
  zcpu.penalty = 0;
  zcpu.last_drop_ms = 0;
  zcpu.dropped_before = false;
}

void cpu_reset_all() {
  zcpu = zurkel_cpu_state{};
}
