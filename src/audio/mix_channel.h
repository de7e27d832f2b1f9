// The mixer's channel table and the synthesis steps that work on it.
// Internal to the sound engine (tests use it too).
#pragma once
#include <atomic>
#include <cstdint>

#include "audio/audio.h"
#include "host/audio_device.h"
#include "machine/cart.h"

struct osc_state {
  int waveform = 0;         // 0-7
  int phase = 0;            // 0-65535
  int dx = 0;               // phase increment
  int32_t phaser = 0;       // phaser accumulator, wraps
  int noise_value = 0;
  int noise_toggle = 0;
  int volume = 0;           // note volume x 256, after scaling
  int32_t pitch = 0;        // 16.16
  int noise_pitch = 0;
  int noise_volume = 0;
  int note_volume = 0;      // the current note's raw values
  int note_pitch = 0;
  int note_waveform = 0;
};

struct mix_channel {
  int16_t mix[BRIM_MIX_BUFFER];
  const zurkel_cart* song;     // music and custom instruments
  const zurkel_sfx* effect;    // null: idle
  int position;                // ticks since note 0
  int looping;
  int index;                   // 0-3: audio effect bit and music column
  int16_t tick[BRIM_TICK_SAMPLES];
  int tick_pos;                // 183 = exhausted
  int16_t echo[8][BRIM_TICK_SAMPLES];
  int echo_slot;
  int music;
  int pattern;
  osc_state osc;
  int prev_pitch, prev_waveform, prev_volume;
  int inst_prev_pitch, inst_prev_waveform, inst_prev_volume;
  int inst_ticks;
  int ticks_left;              // negative never reaches 0
};

struct music_state {
  int64_t fade_start_t = 0;    // ms
  int fade_len = 0;            // ms
  int fade0 = 0;
  int fade1 = 0;
  std::atomic<int> fade_vol{0};
  int advanced_pattern = 0;
  int patterns_played = 0;
  int current_pattern = -1;
  int channel_mask = 0;
};

extern mix_channel ms0[8];
extern music_state brim_music;
extern int inside_brim_mixer_callback;

// Scoped nesting audio lock.
struct audio_lock_guard {
  audio_lock_guard() { brim_lock_audio_plat(); }
  ~audio_lock_guard() { brim_unlock_audio_plat(); }
  audio_lock_guard(const audio_lock_guard&) = delete;
  audio_lock_guard& operator=(const audio_lock_guard&) = delete;
};

inline int sfx_speed(const zurkel_sfx* e) { return e->speed < 1 ? 1 : e->speed; }
inline bool sfx_loops(const zurkel_sfx* e) { return e->loop_start < e->loop_end; }

// Phase increment for a 16.16 pitch (clamped to 8..32768).
int zurkel_pitch_dx(int32_t pitch);
// Raw wave value of waveforms 0-5 at phase (noise and phaser need state).
int zurkel_wave_value(int waveform, int phase);

void mix_osc_tick(osc_state* osc, int16_t* out, int count);
void calculate_osc_state(mix_channel* ch, osc_state* osc);
void apply_meta_instrument(mix_channel* ch, const zurkel_note& note, osc_state* osc);
void mix_sfx_tick(mix_channel* ch, int16_t* out);

// Clears a channel's effect, music flag, song and looping (no lock taken).
void stop_channel(mix_channel* ch);
// Pattern length in ticks (0 when all columns are silent).
int music_pattern_length(const zurkel_cart* cart, int pattern);
// Moves a music channel on to its next pattern (called after its tick).
void music_advance(mix_channel* ch);
int64_t brim_audio_now_ms();
// The clock of brim_audio_use_sample_clock: milliseconds of samples mixed.
bool brim_audio_uses_sample_clock();
uint64_t brim_audio_sample_clock_ms();
void brim_audio_count_samples(int n);
void brim_forget_system_sounds(const zurkel_cart* cart);

// Zeroes the channel table and music state (start-up and tests).
void brim_audio_reset_state();
// One slice of at most BRIM_MIX_BUFFER samples of the callback's mixing
// with m's audio effects; the result is left in ms0[0].mix.
void brim_mix_slice(const zurkel_machine* m, int n);
// The summing half of a slice: music muting, the clipper tree and
// sound_volume over the channels' mix buffers, into ms0[0].mix.
void brim_mix_sum(int n);
// The soft clipper of the final sum.
int16_t brim_soft_clip(int a, int b);
