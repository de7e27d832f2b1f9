#include <SDL.h>

#include "platform/host.h"

uint64_t host_ticks_ms() { return SDL_GetTicks64(); }
void host_sleep_ms(int ms) {
  if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}
