// The reset effect: a few frames of random memory damage before the cart
// restarts (Ctrl+R, "reset cart", glitch-test mode).
#pragma once

// Starts it: the reset-glitch counter becomes 1.
void zurkel_start_reset_effect();
// At the end of every update step while the counter is non-zero.
void update_reset_glitch();
// The damage itself (first step of the effect); n_override >= 0 fixes n.
void zurkel_glitch_memory(int n_override);
