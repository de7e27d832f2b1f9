// The host layer's time services (SDL behind it; the core never includes SDL).
#pragma once
#include <cstdint>

// Milliseconds since the host layer started.
uint64_t host_ticks_ms();
void host_sleep_ms(int ms);
