// The host's audio device (platform/audio_device*.cpp, or the headless
// host): opening it with the mixer as its callback, and the nesting lock
// that the main thread holds around changes to sound state.
#pragma once

// Opens the device (flags 16) with brim_mixer_callback, handing it userdata
// on every call; 0 on success (also when sound is switched off).
int brim_sound_init_plat(int flags, void* userdata);
void brim_lock_audio_plat();     // nests; the device lock is taken on 0 -> 1
void brim_unlock_audio_plat();
extern int brim_sound_inited;     // 1 once the device is open
extern int brim_audio_is_locked;  // nesting depth of the lock
