// The music sequencer: songs, pattern advance, fades and queries.
#include <algorithm>

#include "audio/mix_channel.h"
#include "host/time.h"

int64_t brim_audio_now_ms() {
  return static_cast<int64_t>(brim_audio_uses_sample_clock() ? brim_audio_sample_clock_ms()
                                                              : host_ticks_ms());
}

int music_pattern_length(const zurkel_cart* cart, int pattern) {
  if (!cart || pattern < 0 || pattern > 63) return 0;
  int longest = 0;
  for (int c = 0; c < 4; c++) {
    int v = cart->music[pattern][c];
    if (v < 0 || v >= 64) continue;
    const zurkel_sfx* e = &cart->sfx[v];
    // The first column that does not loop sets the length.
    if (!sfx_loops(e)) return 32 * sfx_speed(e);
    longest = std::max(longest, 32 * sfx_speed(e));
  }
  return longest;
}

static bool pattern_silent(const zurkel_cart* cart, int pattern) {
  for (int c = 0; c < 4; c++) {
    int v = cart->music[pattern][c];
    if (v >= 0 && v < 64) return false;
  }
  return true;
}

void music_advance(mix_channel* ch) {
  brim_music.advanced_pattern = 1;
  const zurkel_cart* cart = ch->song;
  int p = ch->pattern;
  int f = cart->music_flags[p];
  if (f & 4) {
    p = -1;
  } else if (!(f & 2)) {
    p++;
  } else if (p > 0 && !(f & 1)) {
    // Loop back to the nearest loop-start pattern before this one, or 0.
    do p--;
    while (p > 0 && !(cart->music_flags[p] & 1));
  }
  brim_music.current_pattern = p;
  ch->pattern = p;
  if (p < 0 || p > 63 || pattern_silent(cart, p)) return stop_channel(ch);
  int v = cart->music[p][ch->index & 3];
  ch->effect = (v >= 0 && v < 64) ? &cart->sfx[v] : nullptr;
  ch->position = 0;
  ch->ticks_left = music_pattern_length(cart, p);
}

static void stop_music_channels(const zurkel_cart* cart, bool any_cart) {
  for (int k = 4; k < 8; k++) {
    mix_channel& ch = ms0[k];
    if (ch.music && (any_cart || ch.song == cart)) stop_channel(&ch);
  }
}

void brim_play_zurkel_song(const zurkel_cart* cart, int pattern, int fade_ms) {
  audio_lock_guard lock;
  stop_music_channels(cart, cart == nullptr);
  if (!cart || pattern < 0 || pattern > 63) return;
  int len = music_pattern_length(cart, pattern);
  if (len == 0) return;
  brim_music.patterns_played = 0;
  brim_music.current_pattern = pattern;
  for (int c = 0; c < 4; c++) {
    int v = cart->music[pattern][c];
    brim_play_sfx_ex(&cart->sfx[std::clamp(v, 0, 63)], 0, 32, cart, 4 + c);
    mix_channel& ch = ms0[4 + c];
    if (v < 0 || v >= 64) ch.effect = nullptr;
    ch.music = 1;
    ch.song = cart;
    ch.pattern = pattern;
    ch.index = c;
    ch.ticks_left = len;
  }
  brim_music.fade_len = fade_ms;
  brim_music.fade_start_t = brim_audio_now_ms();
  brim_music.fade0 = 0;
  brim_music.fade1 = 65536;
  brim_update_music_fading();
}

void cmusic_stop(int fade_ms) {
  audio_lock_guard lock;
  brim_music.fade0 = brim_music.fade_vol.load();
  brim_music.fade1 = 0;
  brim_music.fade_start_t = brim_audio_now_ms();
  brim_music.fade_len = fade_ms;
  brim_update_music_fading();
}

void brim_update_music_fading() {
  music_state& m = brim_music;
  if (m.fade1 != m.fade_vol.load()) {
    int64_t e = brim_audio_now_ms() - m.fade_start_t;
    if (m.fade_len != 0 && e < m.fade_len) {
      int64_t v = ((m.fade_len - e) * m.fade0 + e * m.fade1) / m.fade_len;
      m.fade_vol.store(static_cast<int>(std::clamp<int64_t>(v, 0, 65536)));
      return;
    }
    m.fade_vol.store(m.fade1);
  }
  if (m.fade1 != 0) return;
  audio_lock_guard lock;
  stop_music_channels(nullptr, true);
}

void brim_stop_zurkel_song(const zurkel_cart* cart) {
  audio_lock_guard lock;
  stop_music_channels(cart, cart == nullptr);
}

int brim_music_is_playing() {
  audio_lock_guard lock;
  for (auto& ch : ms0)
    if (ch.music && ch.song && ch.pattern != -1) return 1;
  return 0;
}

int brim_get_zurkel_song_ticks() {
  audio_lock_guard lock;
  int most = 0;
  for (auto& ch : ms0)
    if (ch.effect && ch.music) most = std::max(most, ch.position);
  return most;
}

const zurkel_sfx* brim_get_zurkel_channel_sfx(int channel) {
  if (channel < 0 || channel > 7) return nullptr;
  audio_lock_guard lock;
  return ms0[channel].effect;
}

int brim_get_sfx_playing_note(const zurkel_sfx* effect) {
  if (!effect) return -1;
  audio_lock_guard lock;
  for (auto& ch : ms0)
    if (ch.effect == effect) return ch.position / sfx_speed(effect);
  return -1;
}

int brim_music_channel_mask() { return brim_music.channel_mask; }
void brim_set_music_channel_mask(int mask) {
  audio_lock_guard lock;
  brim_music.channel_mask = mask;
}
