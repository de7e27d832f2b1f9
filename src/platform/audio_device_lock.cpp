// The nesting audio lock: main-thread changes to sound state hold it; the
// device holds the same lock around each mixer callback.
#include <SDL.h>

#include "host/audio_device.h"

int brim_audio_is_locked = 0;
// Whether the outermost lock took the device lock (the device may open or
// close while nested locks are held; unlock must mirror what lock did).
static bool device_locked = false;

void brim_lock_audio_plat() {
  if (brim_audio_is_locked++ == 0) {
    device_locked = brim_sound_inited != 0;
    if (device_locked) SDL_LockAudio();
  }
}

void brim_unlock_audio_plat() {
  if (brim_audio_is_locked <= 0) return;
  if (--brim_audio_is_locked == 0 && device_locked) {
    SDL_UnlockAudio();
    device_locked = false;
  }
}
