// The reset effect: a few frames of random memory damage before the cart
// restarts (Ctrl+R, "reset cart", glitch-test mode).
#pragma once

struct zurkel_machine;

// Starts it: the reset-glitch counter becomes 1.
void zurkel_start_reset_effect(zurkel_machine* m);
// At the end of every update step while the counter is non-zero.
void update_reset_glitch(zurkel_machine* m);
// The damage itself (first step of the effect); n_override >= 0 fixes n.
void zurkel_glitch_memory(zurkel_machine* m, int n_override);
