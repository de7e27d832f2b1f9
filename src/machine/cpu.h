// The CPU budget: every program gets 4,194,304 cycles per second, divided
// over the frames of its current frame rate. Interpreter instructions cost
// one cycle each (counted by the hook every 1,024); API functions charge
// their own costs through spend_cpu / refund_cpu.
#pragma once
#include <cstdint>

struct lua_State;
struct lua_Debug;
struct zurkel_machine;

constexpr int32_t ZURKEL_CYCLES_PER_SECOND = 4194304;
constexpr int ZURKEL_HOOK_INSTRUCTIONS = 1024;

struct zurkel_cpu_state {
  int32_t remainder = 0;       // charges not yet passed to the hook countdown
  int32_t yield_counter = 0;   // cycles since the last flip or budget yield
  int32_t frame_cycles = 0;    // cycles since the last flip (stat(1))
  int32_t api_total = 0;       // positive API charges since the last flip (stat(2))
  int fps_cap = 30;            // the rate the program asked for (30 or 60)
  int host_rates[30] = {};     // host frame-rate history, 0 = no sample
  int32_t mark_cycles[3] = {};
  uint64_t mark_ms[3] = {};
  int32_t load_current = 0;    // 16.16 fraction of the budget
  int32_t load_previous = 0;
  int penalty = 0;             // 0-10 ms added to the frame-time estimate
  uint64_t last_drop_ms = 0;
  bool dropped_before = false;
  bool frame_held = false;     // a slice ended before the frame was finished
};

// Charge an API cost (n <= 0 counts as 1). Nothing is charged without a
// machine or while it has no script machine.
void spend_cpu(zurkel_machine* m, int cycles);
// Charge an amount that may be negative (a refund).
void refund_cpu(zurkel_machine* m, int cycles);

// Cycles one frame may spend at the current target: 4,194,304 / target.
int32_t cpu_budget_per_frame(const zurkel_machine* m);
// The count hook, installed with a count of 1,024 on every resume; it acts
// on the machine of the script machine it runs in.
void instruction_limiter(lua_State* L, lua_Debug* ar);
// 16.16 fraction of one frame at the cap rate.
int32_t cycles_2_frame_capacity(const zurkel_machine* m, int32_t cycles);

// False inside a call the interpreter cannot suspend (a finalizer, a
// metamethod run from a host function): a yield there fails.
bool cpu_can_yield(lua_State* L);
// flip(): the frame's counters start again.
void cpu_end_frame(zurkel_machine* m);
// _mark_cpu(i): i clamps to 0-2.
void cpu_mark(zurkel_machine* m, int i);
// _set_fps(n): target and cap.
void cpu_set_fps(zurkel_machine* m, int n);
// Start of each slice: charges not yet passed on are dropped.
void cpu_clear_remainder(zurkel_machine* m);
// Cleared by reset_runtime_state: penalty and its timer.
void cpu_reset_penalty(zurkel_machine* m);
// Everything back to the power-on state (tests, new machine).
void cpu_reset_all(zurkel_machine* m);
