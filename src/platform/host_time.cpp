#include <SDL.h>

#include "host/time.h"

namespace {
bool virtual_on = false;
uint64_t virtual_units = 0;   // 1/60 ms
}  // namespace

uint64_t host_ticks_ms() { return virtual_on ? virtual_units / 60 : SDL_GetTicks64(); }

void host_sleep_ms(int ms) {
  if (ms > 0 && !virtual_on) SDL_Delay(static_cast<Uint32>(ms));
}

void host_use_virtual_clock(bool on) { virtual_on = on; }
bool host_virtual_clock() { return virtual_on; }
void host_advance_virtual_clock(uint64_t units) { virtual_units += units; }
uint64_t host_virtual_clock_units() { return virtual_units; }
