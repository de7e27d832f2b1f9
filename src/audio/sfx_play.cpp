// Starting, stopping and releasing sound effects; channel choice.
#include <functional>

#include "audio/mix_channel.h"

void stop_channel(mix_channel* ch) {
  ch->effect = nullptr;
  ch->music = 0;
  ch->song = nullptr;
  ch->looping = 0;
}

static bool idle(const mix_channel& ch) { return !ch.effect && !ch.music; }
static bool reserved(int k) { return (brim_music.channel_mask >> k) & 1; }

// Effect channel k pairs with music channel k + 4.
static int choose_channel() {
  for (int k = 0; k < 4; k++)
    if (idle(ms0[k]) && idle(ms0[k + 4])) return k;
  for (int k = 0; k < 4; k++)
    if (idle(ms0[k]) && !ms0[k + 4].effect && !reserved(k)) return k;
  for (int k = 0; k < 4; k++)
    if (idle(ms0[k]) && !reserved(k)) return k;
  // Take over the effect with the smallest speed value; ties to the higher k.
  int best = -1;
  int best_speed = 0;
  for (int k = 0; k < 4; k++) {
    if (!ms0[k].effect || (reserved(k) && !idle(ms0[k + 4]))) continue;
    if (best < 0 || ms0[k].effect->speed <= best_speed) {
      best = k;
      best_speed = ms0[k].effect->speed;
    }
  }
  return best;
}

static void stop_effect_channels(int channel) {
  if (channel == -1) {
    for (int k = 0; k < 4; k++) stop_channel(&ms0[k]);
  } else if (channel >= 0 && channel <= 7) {
    stop_channel(&ms0[channel]);
  }
}

int brim_play_sfx_ex(const zurkel_sfx* effect, int offset, int length, const zurkel_cart* song,
                     int channel) {
  audio_lock_guard lock;
  if (!effect) {
    stop_effect_channels(channel);
    return -1;
  }
  if (channel < -1 || channel > 7) return -1;
  if (channel == -1) channel = choose_channel();
  if (channel < 0) return -1;
  mix_channel& ch = ms0[channel];
  int s = sfx_speed(effect);
  ch.effect = effect;
  ch.index = channel % 4;
  ch.position = offset * s;
  ch.ticks_left = s * (length == 0 ? -1 : length);
  ch.song = song;
  ch.music = 0;
  ch.looping = 1;
  return channel;
}

void brim_play_sfx(const zurkel_sfx* effect) {
  if (!effect) return;
  brim_stop_sfx(effect);
  brim_play_sfx_ex(effect, 0, sfx_loops(effect) ? -1 : 32, nullptr, -1);
}

void brim_stop_sfx(const zurkel_sfx* effect) {
  audio_lock_guard lock;
  for (auto& ch : ms0)
    if (effect && ch.effect == effect) stop_channel(&ch);
}

void brim_release_looping_zurkel_channel(int channel) {
  if (channel < 0 || channel > 7) return;
  audio_lock_guard lock;
  ms0[channel].looping = 0;
}

void brim_stop_all_sounds() {
  audio_lock_guard lock;
  for (auto& ch : ms0) stop_channel(&ch);
}

void brim_audio_release_cart(const zurkel_cart* cart) {
  if (!cart) return;
  brim_forget_system_sounds(cart);
  audio_lock_guard lock;
  const zurkel_sfx* first = &cart->sfx[0];
  const zurkel_sfx* last = &cart->sfx[63];
  for (auto& ch : ms0) {
    bool owns_effect = ch.effect && std::less_equal<>()(first, ch.effect) &&
                       std::less_equal<>()(ch.effect, last);
    if (owns_effect || ch.song == cart) stop_channel(&ch);
  }
}
