// Note state: pitch, volume and waveform of one tick, per-note effects and
// custom instruments.
#include <algorithm>

#include "audio/mix_channel.h"

// Hz of the octave from pitch 36 to 48; the 13th entry only interpolates.
static const int note_dx[13] = {523, 554, 587, 622, 659, 698, 740, 784, 831, 880, 932, 984, 1046};

// Vibrato depth per step of (position >> 1) & 7, over 128.
static const int vibrato_k[8] = {128, 129, 130, 129, 128, 127, 126, 127};

int zurkel_pitch_dx(int32_t p) {
  int i = p >> 16;
  int64_t f = p & 0xFFFF;
  int s = ((i % 12) + 12) % 12;
  int o = (i + 48) / 12 - 4;
  int64_t base = ((65536 - f) * note_dx[s] + f * note_dx[s + 1]) / brim_sound_freq;
  // Past the clamp more doubling changes nothing; the caps keep the loops short.
  for (int n = o - 3; n > 0 && base <= 32768; n--) base *= 2;
  for (int n = 3 - o; n > 0 && base > 0; n--) base /= 2;
  return static_cast<int>(std::clamp<int64_t>(base, 8, 32768));
}

// Arpeggio step length: the raw speed value counts (speed 0 is "at most 8").
static int arp_step(int effect, int raw_speed) {
  bool fast = raw_speed <= 8;
  return effect == 6 ? (fast ? 2 : 4) : (fast ? 4 : 8);
}

static void silence(osc_state* osc) {
  osc->volume = 0;
  osc->waveform = 0;
}

void apply_meta_instrument(mix_channel* ch, const zurkel_note& note, osc_state* osc) {
  if (!ch->song) return;  // no song: the waveform number plays as a waveform
  const zurkel_sfx& ins = ch->song->sfx[std::clamp(note.waveform, 0, 7)];
  int is = sfx_speed(&ins);
  int c = ch->inst_ticks;
  if (sfx_loops(&ins) && c >= ins.loop_end * is) {
    c = ins.loop_start * is;
    ch->inst_ticks = c;
  }
  int g = c / is;
  if (g < 0 || g > 31) return silence(osc);
  const zurkel_note& inote = ins.notes[g];
  int u = c % is;
  int64_t ipitch = static_cast<int64_t>(inote.pitch) << 16;
  int64_t ivol = inote.volume * 256;
  if (u == is - 1) {
    ch->inst_prev_pitch = inote.pitch;
    ch->inst_prev_volume = inote.volume;
    ch->inst_prev_waveform = inote.waveform;
  }
  switch (inote.effect) {
    case 1: {
      int64_t b = g == 0 ? (24 << 16) : static_cast<int64_t>(ch->inst_prev_pitch) << 16;
      int64_t w = g == 0 ? ivol : ch->inst_prev_volume * 256;
      ipitch = ((is - u) * b + (static_cast<int64_t>(inote.pitch) << 16) * u) / is;
      ivol = (u * ivol + (is - u) * w) / is;
      break;
    }
    case 4: ivol = ivol * u / is; break;
    case 5: ivol = (is - u) * ivol / is; break;
    case 6:
    case 7: {
      int d = arp_step(inote.effect, ins.speed);
      ipitch = static_cast<int64_t>(ins.notes[(g & 28) + ((c / d) % 4)].pitch) << 16;
      break;
    }
    default: break;
  }
  osc->waveform = inote.waveform;
  osc->pitch += static_cast<int32_t>(ipitch - (24 << 16));
  osc->volume = static_cast<int>(ivol * osc->volume / 1792);
  osc->noise_pitch += inote.pitch - 24;
  osc->noise_volume = inote.volume;
}

// Whether a custom note restarts its instrument on its first tick.
static bool instrument_restarts(const mix_channel* ch, const zurkel_note& n, int idx) {
  if (n.waveform != ch->prev_waveform) return true;
  if (n.effect == 1) return false;
  bool same_pitch = n.pitch == ch->prev_pitch;
  if (same_pitch && idx > 0 && (n.effect == 3 || n.effect == 4)) return true;
  return (!same_pitch || idx == 0) && n.effect != 3;
}

void calculate_osc_state(mix_channel* ch, osc_state* osc) {
  const zurkel_sfx* e = ch->effect;
  int s = e ? sfx_speed(e) : 1;
  int idx = e ? ch->position / s : -1;
  if (!e || idx < 0 || idx > 31) {
    osc->volume = 0;
    osc->waveform = 0;
    osc->dx = 0;
    return;
  }
  int t = ch->position % s;
  const zurkel_note& n = e->notes[idx];
  osc->waveform = n.waveform;
  int64_t volume = n.volume * 256;
  int64_t pitch = static_cast<int64_t>(n.pitch) << 16;
  osc->note_pitch = n.pitch;
  osc->note_waveform = n.waveform;
  osc->note_volume = n.volume;
  if (ch->music) {
    volume = ((brim_music.fade_vol.load(std::memory_order_relaxed) >> 8) * volume) / 256;
    volume = volume * brim_get_music_volume() / 256;
  }
  switch (n.effect) {
    case 1: {
      int64_t p0 = idx == 0 ? (24 << 16) : static_cast<int64_t>(ch->prev_pitch) << 16;
      int64_t v0 = idx == 0 ? volume : ch->prev_volume * 256;
      pitch = (p0 * (s - t) + (static_cast<int64_t>(n.pitch) << 16) * t) / s;
      volume = (t * volume + v0 * (s - t)) / s;
      break;
    }
    case 4: volume = t * volume / s; break;
    case 5: volume = (s - t) * volume / s; break;
    case 6:
    case 7: {
      int d = arp_step(n.effect, e->speed);
      int j = (ch->position / d) % 4;
      pitch = static_cast<int64_t>(e->notes[(idx & 28) + j].pitch) << 16;
      break;
    }
    default: break;
  }
  osc->volume = static_cast<int>(volume);
  osc->pitch = static_cast<int32_t>(pitch);
  osc->noise_pitch = n.pitch;
  osc->noise_volume = n.volume;
  bool custom = n.flags != 0;
  if (custom) {
    if (t == 0 && instrument_restarts(ch, n, idx)) ch->inst_ticks = 0;
    apply_meta_instrument(ch, n, osc);
  } else {
    ch->inst_ticks = 0;
  }
  int dx = zurkel_pitch_dx(osc->pitch);
  if (n.effect == 2) dx = dx * vibrato_k[(ch->position >> 1) & 7] / 128;
  if (n.effect == 3 && !custom) dx = static_cast<int>(static_cast<int64_t>(s - t) * dx / s);
  osc->dx = dx;
}
