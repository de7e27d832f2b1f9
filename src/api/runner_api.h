// The runner's script functions (table zk_runner_api) and the runtime state
// they share with the runner.
#pragma once

struct zurkel_machine;

// Draw state, counters and the assert message back to their start values
// (each run, and load()).
void reset_runtime_state(zurkel_machine* m);
