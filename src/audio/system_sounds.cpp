// The console's own sounds (the system cartridge's effects) and the clock
// that music fades follow when the main loop drives the mixer.
#include "audio/mix_channel.h"

namespace {
struct {
  const zurkel_cart* cart = nullptr;      // the system cart, or none
  std::atomic<int64_t> samples_mixed{0};  // through brim_mix_samples
  bool sample_clock_on = false;
} sounds;
}  // namespace

void brim_set_system_sounds(const zurkel_cart* cart) { sounds.cart = cart; }
const zurkel_cart* brim_get_system_sounds() { return sounds.cart; }

void brim_play_boot_chime() {
  if (sounds.cart) brim_play_sfx(&sounds.cart->sfx[0]);
}

void brim_forget_system_sounds(const zurkel_cart* cart) {
  if (cart && cart == sounds.cart) sounds.cart = nullptr;
}

void brim_audio_count_samples(int n) { sounds.samples_mixed.fetch_add(n, std::memory_order_relaxed); }

uint64_t brim_audio_sample_clock_ms() {
  return static_cast<uint64_t>(sounds.samples_mixed.load(std::memory_order_relaxed) * 1000 / brim_sound_freq);
}

bool brim_audio_uses_sample_clock() { return sounds.sample_clock_on; }

void brim_audio_use_sample_clock(bool on) {
  sounds.samples_mixed.store(0);
  sounds.sample_clock_on = on;
}
