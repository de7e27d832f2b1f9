// The console's own sounds (the system cartridge's effects) and the clock
// that music fades follow when the main loop drives the mixer.
#include "audio/mix_channel.h"

static const zurkel_cart* system_sounds = nullptr;
static std::atomic<int64_t> samples_mixed{0};
static bool sample_clock_on = false;

void brim_set_system_sounds(const zurkel_cart* cart) { system_sounds = cart; }
const zurkel_cart* brim_get_system_sounds() { return system_sounds; }

void brim_play_boot_chime() {
  if (system_sounds) brim_play_sfx(&system_sounds->sfx[0]);
}

void brim_forget_system_sounds(const zurkel_cart* cart) {
  if (cart && cart == system_sounds) system_sounds = nullptr;
}

void brim_audio_count_samples(int n) { samples_mixed.fetch_add(n, std::memory_order_relaxed); }

uint64_t brim_audio_sample_clock_ms() {
  return static_cast<uint64_t>(samples_mixed.load(std::memory_order_relaxed) * 1000 / brim_sound_freq);
}

bool brim_audio_uses_sample_clock() { return sample_clock_on; }

void brim_audio_use_sample_clock(bool on) {
  samples_mixed.store(0);
  sample_clock_on = on;
}
