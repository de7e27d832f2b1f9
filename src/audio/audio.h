// The sound engine's public face: sound effects, music, the mixer and the
// words other subsystems set (volumes, pause state, clock).
#pragma once
#include <cstdint>

struct zurkel_cart;
struct zurkel_machine;
struct zurkel_sfx;

constexpr int brim_sound_freq = 22050;   // samples per second, mono
constexpr int BRIM_TICK_SAMPLES = 183;   // one synthesis step
constexpr int BRIM_MIX_BUFFER = 4096;    // per-channel mix buffer (longer callbacks are sliced)

// --- sound effects (channels 0-3 effects, 4-7 music) ---
// Starts effect on channel (-1 chooses one, 0-7 forces it); returns the
// channel used or -1. length 0 plays until stopped (or released, for a
// looping effect); song supplies custom instruments (may be null).
int brim_play_sfx_ex(const zurkel_sfx* effect, int offset, int length, const zurkel_cart* song,
                     int channel);
// Stops effect wherever it plays, then plays it once (or looping) on a free channel.
void brim_play_sfx(const zurkel_sfx* effect);
void brim_stop_sfx(const zurkel_sfx* effect);
void brim_release_looping_zurkel_channel(int channel);
void brim_stop_all_sounds();

// --- music ---
void brim_play_zurkel_song(const zurkel_cart* cart, int pattern, int fade_ms);
void cmusic_stop(int fade_ms);
void brim_update_music_fading();   // once per host frame
void brim_stop_zurkel_song(const zurkel_cart* cart);
int brim_music_is_playing();
int brim_get_zurkel_song_ticks();
const zurkel_sfx* brim_get_zurkel_channel_sfx(int channel);
int brim_get_sfx_playing_note(const zurkel_sfx* effect);
int brim_music_channel_mask();
void brim_set_music_channel_mask(int mask);
// stat(16)-stat(26) for the machine's live cart; other n give 0.
int zurkel_sound_stat(const zurkel_machine* m, int n);

// Drops every reference into cart's records (called before the cart is freed).
void brim_audio_release_cart(const zurkel_cart* cart);

// --- engine, mixer ---
// The mixer applies the audio-effect registers of a machine (none: no
// effects); the device is opened for machine m.
// Zeroes the channels, logs, opens the device (flags 16). 0 on success.
int brim_sound_init(const zurkel_machine* m, int flags);
void brim_sound_exit();
// The device callback: bytes / 2 signed 16-bit samples at 22,050 Hz;
// userdata is the machine.
void brim_mixer_callback(void* userdata, uint8_t* out, int bytes);
// The same mixing path for a caller that drives the mixer itself
// (audio dumps): honours the pause words exactly like the device callback.
void brim_mix_samples(const zurkel_machine* m, int16_t* out, int count);

// Samples owed per update step when the main loop drives the mixer:
// exactly 22,050 per emulated second, the remainder carried over.
struct brim_sample_pacer {
  int64_t carry = 0;
};
int brim_pacer_next(brim_sample_pacer* p, int steps_per_second);

// --- configuration (the live cconfig values; 0-256, mix buffer in samples) ---
void brim_set_sound_volume(int v);
void brim_set_music_volume(int v);
int brim_get_sound_volume();
int brim_get_music_volume();
void brim_set_mix_buffer_size(int samples);
int brim_get_mix_buffer_size();

// --- pause words read by the mixer (written by the main loop) ---
void brim_audio_set_engine_paused(int paused);
void zurkel_set_audio_pause(int state);   // 0 plays, 1 held, 2-5 releasing
int zurkel_get_audio_pause();

// Music fades follow the host clock (host/time.h) until this is called:
// then they follow the samples mixed through brim_mix_samples (paused or
// not), so audio dumps driven by emulated time stay reproducible. false
// goes back to the host clock.
void brim_audio_use_sample_clock(bool on = true);

// --- the console's own sounds: effect 0 of the system cart is the boot chime ---
void brim_set_system_sounds(const zurkel_cart* cart);
const zurkel_cart* brim_get_system_sounds();
void brim_play_boot_chime();

