// Shared set-up for the sound engine tests: a fresh channel table, a live
// cart, a controllable fade clock and helpers to build effects.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "audio/audio.h"
#include "audio/mix_channel.h"
#include "host/time.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "cart/cart_record.h"

// Music fades follow the host's virtual clock, moved on by the tests.
inline void advance_audio_clock(uint64_t ms) { host_advance_virtual_clock(ms * 60); }

class AudioTest : public ::testing::Test {
 protected:
  zurkel_machine machine;
  zurkel_cart* cart = nullptr;

  void SetUp() override {
    brim_audio_reset_state();
    cart = brim_create_zurkel_cart();
    machine.cart = cart;
    brim_audio_use_sample_clock(false);
    host_use_virtual_clock(true);
    advance_audio_clock(1000);
    brim_set_sound_volume(256);
    brim_set_music_volume(256);
    brim_audio_set_engine_paused(0);
    zurkel_set_audio_pause(0);
  }
  void TearDown() override {
    host_use_virtual_clock(false);
    brim_destroy_zurkel_cart(cart);
  }

  // Note i of effect e.
  void note(int e, int i, int pitch, int wave, int vol, int fx = 0, int custom = 0) {
    cart->sfx[e].notes[i] = zurkel_note{pitch, wave, vol, fx, custom};
  }
  void header(int e, int speed, int loop_start = 0, int loop_end = 0) {
    cart->sfx[e].speed = speed;
    cart->sfx[e].loop_start = loop_start;
    cart->sfx[e].loop_end = loop_end;
  }
  // Fills notes [from, to) with the same note.
  void fill(int e, int from, int to, int pitch, int wave, int vol, int fx = 0) {
    for (int i = from; i < to; i++) note(e, i, pitch, wave, vol, fx);
  }
  void pattern(int p, int c0, int c1, int c2, int c3, int flags = 0) {
    cart->music[p][0] = c0;
    cart->music[p][1] = c1;
    cart->music[p][2] = c2;
    cart->music[p][3] = c3;
    cart->music_flags[p] = flags;
  }
  // Runs n ticks on channel c (as the mixer would), returning the samples.
  std::vector<int16_t> ticks(int c, int n) {
    std::vector<int16_t> out(static_cast<size_t>(n) * BRIM_TICK_SAMPLES);
    for (int i = 0; i < n; i++) mix_sfx_tick(&ms0[c], out.data() + i * BRIM_TICK_SAMPLES);
    return out;
  }
  // Ticks of all eight channels, in channel order.
  void tick_all(int n) {
    int16_t buf[BRIM_TICK_SAMPLES];
    for (int i = 0; i < n; i++)
      for (auto& ch : ms0) mix_sfx_tick(&ch, buf);
  }
  std::vector<int16_t> mix(int n) {
    std::vector<int16_t> out(n);
    brim_mix_samples(&machine, out.data(), n);
    return out;
  }
};

inline bool all_zero(const int16_t* p, int n) {
  for (int i = 0; i < n; i++)
    if (p[i]) return false;
  return true;
}
