// Waveform synthesis: one oscillator run of count samples.
#include <algorithm>
#include <cstring>

#include "base/random.h"
#include "audio/mix_channel.h"

int zurkel_wave_value(int waveform, int phase) {
  switch (waveform) {
    case 0:  // triangle, +-12288
      return phase < 0x8000 ? (3 * phase - 0xC000) / 4 : (0xC000 - phase) * 3 / 4;
    case 1:  // tilted saw: slow rise, fast fall
      return (phase < 0xE000 ? (phase * 6143) / 14336 : ((0xFFFF - phase) * 6143) / 2048) - 12286;
    case 2:  // saw
      return (phase - 0x8000) / 4;
    case 3:  // square
      return (phase & 0x8000) ? 6143 : -6143;
    case 4:  // pulse, high for 5/16 of the cycle
      return phase > 0xAFFF ? 6143 : -6143;
    case 5: {  // organ: a tall and a short hump
      int u;
      if (phase < 0x8000) {
        u = (phase & 0x4000) ? 0x8000 - phase : phase;
      } else {
        u = (phase & 0x4000) ? 0x10000 - phase : phase - 0x8000;
        u = 2 * u / 3;
      }
      return u - 8192;
    }
    default:
      return 0;
  }
}

static inline int16_t scale(int w, int g) { return static_cast<int16_t>((w * g) / 2048); }

static void noise_run(osc_state* o, int16_t* out, int count, int g) {
  int dx = o->dx;
  int k = dx > 78 ? dx * 8 + 1120 : 1752 - (79 - dx) * 60;
  k = std::max(k, 0);
  int h = (dx + 500) / 3;
  int a = o->noise_pitch < 48 ? 80 : std::max(64, 2048 / (o->noise_pitch + 16) + 48);
  int phase = o->phase;
  int value = o->noise_value;
  int toggle = o->noise_toggle;
  for (int i = 0; i < count; i++) {
    toggle = (toggle + 1) & 1;
    if (toggle == 1) value = value - (k >> 1) + static_cast<int>(brim_random(static_cast<uint32_t>(k)));
    uint32_t mix = static_cast<uint32_t>(phase + 317) * static_cast<uint32_t>(phase + 101);
    if (static_cast<int>(mix & 0x1FFF) < h)
      value += ((static_cast<int>(brim_random(12286)) - 6143) * o->noise_volume) / 7;
    // The sample takes the value before it is clamped.
    out[i] = static_cast<int16_t>(static_cast<int64_t>(value >> 6) * g * a / 2048);
    value = std::clamp(value, -6143, 6143);
    phase = (phase + dx) & 0xFFFF;
  }
  o->phase = phase;
  o->noise_value = value;
  o->noise_toggle = toggle;
}

static void phaser_run(osc_state* o, int16_t* out, int count, int g) {
  uint32_t m = static_cast<uint32_t>(o->phaser);
  int phase = o->phase;
  int dx = o->dx;
  for (int i = 0; i < count; i++) {
    int u = (phase & 0x8000) ? 0xFFFF - phase : phase;
    int32_t prod = static_cast<int32_t>(m * 127u);
    int v = (prod / 128) & 0xFFFF;
    if (v & 0x8000) v = 0xFFFF - v;
    out[i] = scale((v >> 2) - 0x4000 + (u >> 1), g);
    m += static_cast<uint32_t>(dx);
    phase = (phase + dx) & 0xFFFF;
  }
  o->phaser = static_cast<int32_t>(m);
  o->phase = phase;
}

void mix_osc_tick(osc_state* o, int16_t* out, int count) {
  if (o->volume == 0) {
    o->phase = 0;
    std::memset(out, 0, sizeof(int16_t) * count);
    return;
  }
  int g = o->volume * 3 / 2;
  int wf = o->waveform & 7;
  if (wf == 6) return noise_run(o, out, count, g);
  if (wf == 7) return phaser_run(o, out, count, g);
  int phase = o->phase;
  int dx = o->dx;
  for (int i = 0; i < count; i++) {
    out[i] = scale(zurkel_wave_value(wf, phase), g);
    phase = (phase + dx) & 0xFFFF;
  }
  o->phase = phase;
}
