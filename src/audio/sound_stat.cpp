// The sound queries of stat(16)-stat(26).
#include <functional>

#include "audio/mix_channel.h"
#include "machine/machine.h"

// Number of effect in the live cart, or -1 (none, or another cart's record).
static int live_effect_number(const zurkel_machine* m, const zurkel_sfx* e) {
  const zurkel_cart* cart = m ? m->cart : nullptr;
  if (!e || !cart) return -1;
  if (std::less<>()(e, &cart->sfx[0]) || std::less<>()(&cart->sfx[63], e)) return -1;
  return static_cast<int>(e - &cart->sfx[0]);
}

static int note_index(const mix_channel& ch) {
  return ch.effect ? ch.position / sfx_speed(ch.effect) : -1;
}

int zurkel_sound_stat(const zurkel_machine* m, int n) {
  if (n >= 16 && n <= 19) {
    audio_lock_guard lock;
    int v = live_effect_number(m, ms0[n - 16].effect);
    return v >= 0 ? v : live_effect_number(m, ms0[n - 12].effect);
  }
  if (n >= 20 && n <= 23) {
    audio_lock_guard lock;
    int v = note_index(ms0[n - 20]);
    return v >= 0 ? v : note_index(ms0[n - 16]);
  }
  if (n == 24) return brim_music_is_playing() ? brim_music.current_pattern : 0;
  if (n == 25) return brim_music_is_playing() ? brim_music.patterns_played : 0;
  if (n == 26) return brim_get_zurkel_song_ticks();
  return 0;
}
