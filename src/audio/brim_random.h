// The engine random generator (noise synthesis, boot and reset effects).
// Separate from the script generator behind rnd().
#pragma once
#include <cstdint>

// Seed 0 restores lo = 0xDEADBEEF, hi = 0x60009755.
void brim_srand(uint32_t seed);
// One draw; returns the new high word.
uint32_t brim_rand();
// brim_rand() mod n as unsigned; 0 when n is 0 (and nothing is drawn).
uint32_t brim_random(uint32_t n);
