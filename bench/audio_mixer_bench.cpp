// Mixer cost: one second of audio (22,050 samples in 1,024-sample callbacks)
// with all eight channels busy, echo and low-pass on every channel.
// Target: under 1% of one core, i.e. under 10 ms per second of audio.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/audio.h"
#include "audio/mix_channel.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "settings/config.h"
#include "cart/cart_record.h"

namespace {

struct busy_machine {
  zurkel_machine machine;
  zurkel_cart* cart = brim_create_zurkel_cart();
  busy_machine(int waveform, int fx_echo, int fx_lowpass) {
    cconfig.sound_volume = cconfig.music_volume = 256;
    brim_audio_reset_state();
    for (int e = 0; e < 8; e++) {
      zurkel_sfx& s = cart->sfx[e];
      s.speed = 4 + e;
      s.loop_start = 0;
      s.loop_end = 32;
      for (int i = 0; i < 32; i++)
        s.notes[i] = zurkel_note{24 + (i * 5 + e) % 36, waveform < 0 ? (i + e) % 8 : waveform, 5,
                                 (i + e) % 8, 0};
    }
    for (int p = 0; p < 64; p++) {
      for (int c = 0; c < 4; c++) cart->music[p][c] = 4 + c;
      cart->music_flags[p] = p == 63 ? 2 : 0;
    }
    machine.cart = cart;
    brim_play_zurkel_song(cart, 0, 0);
    for (int k = 0; k < 4; k++) brim_play_sfx_ex(&cart->sfx[k], 0, 0, cart, k);
    machine.audio_fx[1] = fx_echo;
    machine.audio_fx[3] = fx_lowpass;
  }
  ~busy_machine() {
    brim_destroy_zurkel_cart(cart);
  }
};

void mix_one_second(benchmark::State& state, int waveform, int echo, int lowpass) {
  busy_machine m(waveform, echo, lowpass);
  std::vector<uint8_t> buf(2048);
  for (auto _ : state) {
    for (int done = 0; done < brim_sound_freq; done += 1024) brim_mixer_callback(&m.machine, buf.data(), 2048);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetLabel("per second of audio");
}

void BM_EightChannelsEchoLowPass(benchmark::State& s) { mix_one_second(s, -1, 0xF, 0xF); }
void BM_EightChannelsPlain(benchmark::State& s) { mix_one_second(s, -1, 0, 0); }
void BM_EightChannelsNoise(benchmark::State& s) { mix_one_second(s, 6, 0xF, 0xF); }

BENCHMARK(BM_EightChannelsEchoLowPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EightChannelsPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EightChannelsNoise)->Unit(benchmark::kMillisecond);

}  // namespace
