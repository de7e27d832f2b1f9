// The mixer: per-channel tick streams with the audio effects, the soft
// clipped sum of the eight channels, and the words it reads.
#include <algorithm>
#include <cstring>

#include "audio/mix_channel.h"
#include "base/debug.h"
#include "machine/machine.h"
#include "settings/config.h"

mix_channel ms0[8];
music_state brim_music;
int inside_brim_mixer_callback = 0;

// The pause words the main loop writes and the mixer reads.
static struct {
  std::atomic<int> engine_paused{0};
  std::atomic<int> audio_pause{0};
} pause_words;

// The volumes are the configuration's live values: whoever changes them
// (options, Ctrl+M, the options menu) is heard from the next callback.
// Relaxed atomic accesses to the plain ints (the compiler's builtins, which
// every toolchain of ours has; std::atomic_ref is missing from some).
namespace {
int load_relaxed(const int& v) { return __atomic_load_n(&v, __ATOMIC_RELAXED); }
void store_relaxed(int& v, int x) { __atomic_store_n(&v, x, __ATOMIC_RELAXED); }
}  // namespace
int brim_get_sound_volume() { return load_relaxed(cconfig.sound_volume); }
int brim_get_music_volume() { return load_relaxed(cconfig.music_volume); }
void brim_set_sound_volume(int v) { store_relaxed(cconfig.sound_volume, std::clamp(v, 0, 256)); }
void brim_set_music_volume(int v) { store_relaxed(cconfig.music_volume, std::clamp(v, 0, 256)); }
void brim_set_mix_buffer_size(int samples) { cconfig.mix_buffer_size = samples; }
int brim_get_mix_buffer_size() { return cconfig.mix_buffer_size; }
void brim_audio_set_engine_paused(int paused) { pause_words.engine_paused.store(paused); }
void zurkel_set_audio_pause(int state) { pause_words.audio_pause.store(state); }
int zurkel_get_audio_pause() { return pause_words.audio_pause.load(); }

void brim_audio_reset_state() {
  for (int i = 0; i < 8; i++) {
    std::memset(static_cast<void*>(&ms0[i]), 0, sizeof(mix_channel));
    ms0[i].osc = osc_state{};
    ms0[i].index = i % 4;  // channel k and k + 4 share audio effect bit k
  }
  brim_music.fade_start_t = 0;
  brim_music.fade_len = 0;
  brim_music.fade0 = 0;
  brim_music.fade1 = 0;
  brim_music.fade_vol.store(0);
  brim_music.advanced_pattern = 0;
  brim_music.patterns_played = 0;
  brim_music.current_pattern = -1;
  brim_music.channel_mask = 0;
}

static int audio_fx(const zurkel_machine* m, int reg) { return m ? m->audio_fx[reg] : 0; }

// Exhausted tick buffer: synthesise the next tick and apply echo,
// distortion and low-pass for channel index k.
static void next_tick(const zurkel_machine* m, mix_channel* ch, int k) {
  int16_t* tick = ch->tick;
  int last = tick[BRIM_TICK_SAMPLES - 1];
  int bit = 1 << k;
  if (audio_fx(m, 1) & bit) {
    std::memcpy(ch->echo[ch->echo_slot], tick, sizeof(ch->tick));
    ch->echo_slot = (ch->echo_slot + 1) % 8;
    mix_sfx_tick(ch, tick);
    const int16_t* past = ch->echo[(ch->echo_slot + 4) % 8];
    for (int i = 0; i < BRIM_TICK_SAMPLES; i++) tick[i] = static_cast<int16_t>((3 * tick[i] + 2 * past[i]) / 4);
  } else {
    mix_sfx_tick(ch, tick);
  }
  if (audio_fx(m, 2) & bit) {
    for (int i = 0; i < BRIM_TICK_SAMPLES; i++) {
      int v = tick[i];
      tick[i] = static_cast<int16_t>(v >= 0 ? (v & 0xF000) : -((-v) & 0xF000));
    }
  }
  if (audio_fx(m, 3) & bit) {
    int y = last;
    for (int i = 0; i < BRIM_TICK_SAMPLES; i++) {
      y = (7 * y + tick[i]) / 8;
      tick[i] = static_cast<int16_t>(y);
    }
  }
  ch->tick_pos = 0;
}

static void produce(const zurkel_machine* m, mix_channel* ch, int16_t* dst, int n) {
  int k = ch->index & 3;
  while (n > 0) {
    if (ch->tick_pos >= BRIM_TICK_SAMPLES) next_tick(m, ch, k);
    int part = std::min(n, BRIM_TICK_SAMPLES - ch->tick_pos);
    std::memcpy(dst, ch->tick + ch->tick_pos, sizeof(int16_t) * part);
    ch->tick_pos += part;
    dst += part;
    n -= part;
  }
}

static void channel_update(const zurkel_machine* m, mix_channel* ch, int n) {
  std::memset(ch->mix, 0, sizeof(ch->mix));
  int k = ch->index & 3;
  if (audio_fx(m, 0) & (1 << k)) {
    // Half rate: half the samples, each heard twice (an octave lower).
    produce(m, ch, ch->mix, n / 2 + 1);
    for (int i = n - 1; i >= 0; i--) ch->mix[i] = ch->mix[i / 2];
  } else {
    produce(m, ch, ch->mix, n);
  }
}

int16_t brim_soft_clip(int a, int b) {
  int s = a + b;
  if (s > 0x5FFF)
    s = (s - 0x6000) / 5 + 0x6000;
  else if (s <= -0x6000)
    s = (s + 0x6000) / 5 - 0x6000;
  return static_cast<int16_t>(s);
}

static void clip_into(int16_t* dst, const int16_t* other, int n) {
  for (int i = 0; i < n; i++) dst[i] = brim_soft_clip(other[i], dst[i]);
}

void brim_mix_slice(const zurkel_machine* m, int n) {
  for (auto& ch : ms0) channel_update(m, &ch, n);
  brim_mix_sum(n);
}

void brim_mix_sum(int n) {
  // An effect on channel k silences music column k; the column keeps time.
  for (int k = 0; k < 4; k++)
    if (ms0[k].effect) std::memset(ms0[k + 4].mix, 0, sizeof(ms0[k + 4].mix));
  clip_into(ms0[0].mix, ms0[1].mix, n);
  clip_into(ms0[2].mix, ms0[3].mix, n);
  clip_into(ms0[0].mix, ms0[2].mix, n);
  clip_into(ms0[4].mix, ms0[5].mix, n);
  clip_into(ms0[6].mix, ms0[7].mix, n);
  clip_into(ms0[4].mix, ms0[6].mix, n);
  clip_into(ms0[0].mix, ms0[4].mix, n);
  int vol = brim_get_sound_volume();
  if (vol != 256)
    for (int i = 0; i < n; i++) ms0[0].mix[i] = static_cast<int16_t>((vol * ms0[0].mix[i]) >> 8);
}

// Mixes count samples into out (host order) unless sound is paused.
static void mix_into(const zurkel_machine* m, uint8_t* out, int count) {
  if (pause_words.engine_paused.load() || pause_words.audio_pause.load()) {
    std::memset(out, 0, sizeof(int16_t) * count);
    return;
  }
  inside_brim_mixer_callback = 1;
  brim_music.advanced_pattern = 0;
  // Callbacks longer than the channel buffers are mixed in slices.
  for (int done = 0; done < count;) {
    int n = std::min(count - done, BRIM_MIX_BUFFER);
    brim_mix_slice(m, n);
    std::memcpy(out + sizeof(int16_t) * done, ms0[0].mix, sizeof(int16_t) * n);
    done += n;
  }
  if (brim_music.advanced_pattern) brim_music.patterns_played++;
  inside_brim_mixer_callback = 0;
}

void brim_mix_samples(const zurkel_machine* m, int16_t* out, int count) {
  if (!out || count <= 0) return;
  brim_audio_count_samples(count);
  mix_into(m, reinterpret_cast<uint8_t*>(out), count);
}

void brim_mixer_callback(void* userdata, uint8_t* out, int bytes) {
  if (!out || bytes <= 0) return;
  if (bytes & 1) out[bytes - 1] = 0;
  mix_into(static_cast<const zurkel_machine*>(userdata), out, bytes / 2);
}

int brim_sound_init(const zurkel_machine* m, int flags) {
  brim_audio_reset_state();
  brim_debugf("brim_sound_init mix_buffer_size: %d\n", brim_get_mix_buffer_size());
  return brim_sound_init_plat(flags, const_cast<zurkel_machine*>(m));
}

// The device stays open until SDL shuts down.
void brim_sound_exit() {}

int brim_pacer_next(brim_sample_pacer* p, int steps_per_second) {
  if (steps_per_second <= 0) return 0;
  p->carry += brim_sound_freq;
  int n = static_cast<int>(p->carry / steps_per_second);
  p->carry -= static_cast<int64_t>(n) * steps_per_second;
  return n;
}
