// The engine random generator (boot sequence, reset effect, noise). The
// script's rnd() has its own.
#pragma once
#include <cstdint>

// Seed 0 gives lo = 0xDEADBEEF, hi = 0x60009755; else lo = s, hi = s ^ 0xBEAD29BA.
void brim_srand(uint32_t seed);
// hi = rotl(hi, 16) + lo; lo += hi; returns hi.
uint32_t brim_rand();
// brim_rand() mod n as unsigned; 0 (nothing drawn) when n is 0.
uint32_t brim_random(uint32_t n);
