// One tick of a channel: note state, 183 samples, crossfade, end rules.
#include <climits>
#include <cstring>

#include "audio/mix_channel.h"

static constexpr int RAMP = 64;

static inline int wrap_inc(int v) { return static_cast<int>(static_cast<unsigned>(v) + 1u); }
// Counting down stops short of INT_MIN so an endless effect never wraps to 0.
static inline int count_down(int v) { return v > INT_MIN + 1 ? v - 1 : v; }

// Whether a playing effect ends after the tick that played note idx.
static bool effect_ends(const mix_channel* ch, int idx) {
  if (ch->ticks_left == 0) return true;
  // A released looping effect no longer loops: it ends by the natural rule
  // (as written, a looping effect started with length 0 and then released
  // would keep the channel, silent, for ever).
  const zurkel_sfx* e = ch->effect;
  if (ch->looping && sfx_loops(e)) return false;
  if (idx > 31) return true;
  if (idx >= 0 && idx <= 30 && e->notes[idx].effect == 1) return false;
  for (int i = idx < 0 ? 0 : idx; i < 32; i++)
    if (e->notes[i].volume > 0) return false;
  return true;
}

void mix_sfx_tick(mix_channel* ch, int16_t* out) {
  std::memset(out, 0, sizeof(int16_t) * BRIM_TICK_SAMPLES);
  const zurkel_sfx* e = ch->effect;
  int idx = 0;
  if (e) {
    int s = sfx_speed(e);
    idx = ch->position / s;
    int t = ch->position % s;
    osc_state old = ch->osc;
    if (t == 0) {
      ch->prev_pitch = ch->osc.note_pitch;
      ch->prev_waveform = ch->osc.note_waveform;
      ch->prev_volume = ch->osc.note_volume;
    }
    calculate_osc_state(ch, &ch->osc);
    mix_osc_tick(&ch->osc, out, BRIM_TICK_SAMPLES);
    int16_t ramp_buf[RAMP] = {};
    mix_osc_tick(&old, ramp_buf, RAMP);
    for (int i = 0; i < RAMP; i++) out[i] = static_cast<int16_t>((ramp_buf[i] * (RAMP - i) + out[i] * i) / RAMP);
    ch->position = wrap_inc(ch->position);
    ch->ticks_left = count_down(ch->ticks_left);
    ch->inst_ticks = wrap_inc(ch->inst_ticks);
    if (ch->looping && sfx_loops(e) && ch->position >= e->loop_end * s) ch->position = e->loop_start * s;
  } else {
    // Fade out whatever the last note left sounding.
    if (ch->osc.dx != 0 && ch->osc.volume != 0) {
      mix_osc_tick(&ch->osc, out, RAMP);
      for (int i = 1; i < RAMP; i++) out[i] = static_cast<int16_t>(out[i] * (RAMP - i) / RAMP);
    }
    ch->osc.volume = 0;
    ch->position = wrap_inc(ch->position);
    ch->ticks_left = count_down(ch->ticks_left);
    ch->inst_ticks = 1;
  }
  if (e && !ch->music && effect_ends(ch, idx)) ch->effect = nullptr;
  if (ch->music && ch->song && ch->ticks_left == 0 && ch->pattern >= 0 && ch->pattern <= 63) music_advance(ch);
}
