// The host layer's time services (SDL behind it; the core never includes SDL).
#pragma once
#include <cstdint>

// Milliseconds since the host layer started, or the virtual clock when it
// is in use.
uint64_t host_ticks_ms();
// Sleeps; does nothing under the virtual clock.
void host_sleep_ms(int ms);

// The virtual clock (-fast): time moves only when advanced, in units of
// 1/60 ms so that every update period (1000/60, 1000/30, 1000/15 ms) is
// exact.
void host_use_virtual_clock(bool on);
bool host_virtual_clock();
void host_advance_virtual_clock(uint64_t sixtieths_of_ms);
uint64_t host_virtual_clock_units();
