// Waveforms, pitch table, per-note effects and custom instruments.
#include "audio_test_util.h"

namespace {

// 16 samples at phases 0, 0x1000, ... 0xF000.
std::vector<int16_t> run_wave(int waveform, int volume) {
  osc_state o;
  o.waveform = waveform;
  o.volume = volume;
  o.dx = 0x1000;
  std::vector<int16_t> out(16);
  mix_osc_tick(&o, out.data(), 16);
  EXPECT_EQ(o.phase, 0);  // 16 steps of 0x1000 wrap to 0
  return out;
}

// Expected values: w from the wave formula at the sample's phase, times
// g = volume * 3 / 2, over 2048, truncated toward zero.
TEST(AudioWave, TriangleSamples) {
  auto s = run_wave(0, 1792);                 // g = 2688
  EXPECT_EQ(s[0], -16128);                    // (0 - 0xC000) / 4 = -12288
  EXPECT_EQ(s[1], -12096);                    // (0x3000 - 0xC000) / 4 = -9216
  EXPECT_EQ(s[4], 0);                         // 0xC000 - 0xC000
  EXPECT_EQ(s[8], 16128);                     // (0xC000 - 0x8000) * 3 / 4 = 12288
  EXPECT_EQ(s[14], -8064);                    // (0xC000 - 0xE000) * 3 / 4 = -6144
  auto q = run_wave(0, 768);                  // g = 1152
  EXPECT_EQ(q[1], -5184);                     // -9216 * 1152 / 2048
  EXPECT_EQ(q[5], 1728);                      // (0xF000 - 0xC000) / 4 = 3072
}

TEST(AudioWave, TiltedSawSamples) {
  auto s = run_wave(1, 1792);
  EXPECT_EQ(s[0], -16125);                    // -12286 * 2688 / 2048 = -16125.3
  EXPECT_EQ(s[1], -13821);                    // 4096*6143/14336 = 1755; -10531
  EXPECT_EQ(s[8], 2303);                      // 32768*6143/14336 = 14040; 1754
  EXPECT_EQ(s[14], 16121);                    // 57344 >= 0xE000: 8191*6143/2048 = 24568; 12282
  EXPECT_EQ(s[15], -3);                       // 4095*6143/2048 = 12282; -4
}

TEST(AudioWave, SawSquarePulseSamples) {
  auto saw = run_wave(2, 1792);
  EXPECT_EQ(saw[0], -10752);                  // -8192
  EXPECT_EQ(saw[8], 0);
  EXPECT_EQ(saw[9], 1344);                    // 1024
  EXPECT_EQ(saw[15], 9408);                   // 7168
  auto sq = run_wave(3, 768);
  EXPECT_EQ(sq[7], -3455);                    // -6143 * 1152 / 2048 = -3455.4
  EXPECT_EQ(sq[8], 3455);
  auto pu = run_wave(4, 1792);
  EXPECT_EQ(pu[10], -8062);                   // 0xA000 is not above 0xAFFF
  EXPECT_EQ(pu[11], 8062);                    // 0xB000 is
}

TEST(AudioWave, OrganSamples) {
  auto s = run_wave(5, 1792);
  EXPECT_EQ(s[1], -5376);                     // u = 0x1000; w = -4096
  EXPECT_EQ(s[5], 5376);                      // bit 14: u = 0x8000 - 0x5000 = 0x3000
  EXPECT_EQ(s[9], -7168);                     // u = 0x1000 * 2 / 3 = 2730; w = -5462
  EXPECT_EQ(s[12], 3583);                     // u = 0x4000 * 2 / 3 = 10922; w = 2730
  EXPECT_EQ(s[14], -3584);                    // u = 0x2000 * 2 / 3 = 5461; w = -2731
}

TEST(AudioWave, PhaserSamplesAndAccumulator) {
  osc_state o;
  o.waveform = 7;
  o.volume = 1792;
  o.dx = 0x1000;
  int16_t out[16];
  mix_osc_tick(&o, out, 16);
  EXPECT_EQ(out[0], -21504);                  // u 0, v 0: -0x4000 * 2688 / 2048
  EXPECT_EQ(out[1], -17482);                  // u 4096, v 4096*127/128 = 4064: (1016 - 16384 + 2048)
  EXPECT_EQ(o.phaser, 16 * 0x1000);
  // A silent tick resets the phase but never the accumulator.
  o.volume = 0;
  mix_osc_tick(&o, out, 16);
  EXPECT_EQ(o.phaser, 16 * 0x1000);
  EXPECT_EQ(o.phase, 0);
  EXPECT_TRUE(all_zero(out, 16));
}

TEST(AudioWave, SilentOscillatorResetsPhase) {
  osc_state o;
  o.waveform = 3;
  o.volume = 0;
  o.phase = 1234;
  o.dx = 500;
  int16_t out[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  mix_osc_tick(&o, out, 8);
  EXPECT_TRUE(all_zero(out, 8));
  EXPECT_EQ(o.phase, 0);
}

TEST(AudioWave, NoiseIsAudibleAndItsValueClamped) {
  osc_state o;
  o.waveform = 6;
  o.volume = 1792;
  o.dx = zurkel_pitch_dx(30 << 16);
  o.noise_pitch = 30;
  o.noise_volume = 7;
  int16_t out[183];
  int loud = 0;
  for (int t = 0; t < 20; t++) {
    mix_osc_tick(&o, out, 183);
    for (int16_t v : out) loud += v != 0;
    EXPECT_LE(o.noise_value, 6143);
    EXPECT_GE(o.noise_value, -6143);
  }
  EXPECT_GT(loud, 1000);
}

TEST(AudioPitch, TableExamples) {
  EXPECT_EQ(zurkel_pitch_dx(0 << 16), 194);
  EXPECT_EQ(zurkel_pitch_dx(24 << 16), 777);
  EXPECT_EQ(zurkel_pitch_dx(33 << 16), 1307);
  EXPECT_EQ(zurkel_pitch_dx(63 << 16), 7392);
  EXPECT_EQ(zurkel_pitch_dx(80 << 16), 19752);
  EXPECT_EQ(zurkel_pitch_dx(90 << 16), 32768);
  EXPECT_EQ(zurkel_pitch_dx(102 << 16), 32768);
  EXPECT_EQ(zurkel_pitch_dx(-24 * 65536), 48);
  // Interpolation: halfway between 523 and 554 Hz at pitch 36.
  EXPECT_EQ(zurkel_pitch_dx((36 << 16) + 0x8000), 1600);
  // Pitch 47 interpolates towards the 13th entry.
  EXPECT_EQ(zurkel_pitch_dx((47 << 16) + 0x8000), (32768 * 984 + 32768 * 1046) / 22050);
  // Very low pitches clamp to 8.
  EXPECT_EQ(zurkel_pitch_dx(-60 * 65536), 8);
}

class AudioNote : public AudioTest {
 protected:
  osc_state state_at(int ch, int position) {
    ms0[ch].position = position;
    osc_state o = ms0[ch].osc;
    calculate_osc_state(&ms0[ch], &o);
    return o;
  }
  void play(int e, int ch = 0) {
    ms0[ch].effect = &cart->sfx[e];
    ms0[ch].song = cart;
  }
};

TEST_F(AudioNote, PlainNote) {
  header(1, 4);
  note(1, 2, 33, 5, 6);
  play(1);
  osc_state o = state_at(0, 9);
  EXPECT_EQ(o.waveform, 5);
  EXPECT_EQ(o.volume, 6 * 256);
  EXPECT_EQ(o.pitch, 33 << 16);
  EXPECT_EQ(o.dx, 1307);
  EXPECT_EQ(o.note_pitch, 33);
  EXPECT_EQ(o.noise_pitch, 33);
  EXPECT_EQ(o.noise_volume, 6);
  // Past note 31 (or with no effect) the oscillator is silenced.
  o = state_at(0, 32 * 4);
  EXPECT_EQ(o.volume, 0);
  EXPECT_EQ(o.dx, 0);
}

TEST_F(AudioNote, SlideOnNoteZeroStartsAtPitch24AtItsOwnVolume) {
  header(1, 4);
  note(1, 0, 36, 0, 4, 1);
  play(1);
  osc_state o = state_at(0, 0);
  EXPECT_EQ(o.pitch, 24 << 16);
  EXPECT_EQ(o.volume, 1024);
  o = state_at(0, 1);
  EXPECT_EQ(o.pitch, 27 << 16);  // (24*3 + 36) / 4
  EXPECT_EQ(o.volume, 1024);
  o = state_at(0, 3);
  EXPECT_EQ(o.pitch, 33 << 16);
}

TEST_F(AudioNote, SlideFromPreviousNote) {
  header(1, 4);
  note(1, 1, 36, 0, 6, 1);
  play(1);
  ms0[0].prev_pitch = 30;
  ms0[0].prev_volume = 2;
  osc_state o = state_at(0, 6);  // note 1, t = 2
  EXPECT_EQ(o.pitch, 33 << 16);
  EXPECT_EQ(o.volume, (2 * 1536 + 512 * 2) / 4);
}

TEST_F(AudioNote, VibratoTable) {
  header(1, 32);
  note(1, 0, 33, 0, 5, 2);
  play(1);
  const int k[8] = {128, 129, 130, 129, 128, 127, 126, 127};
  for (int pos = 0; pos < 32; pos++) EXPECT_EQ(state_at(0, pos).dx, 1307 * k[(pos >> 1) & 7] / 128) << pos;
  EXPECT_EQ(state_at(0, 4).dx, 1327);
  EXPECT_EQ(state_at(0, 12).dx, 1286);
}

TEST_F(AudioNote, DropAndFades) {
  header(1, 4);
  note(1, 0, 24, 0, 7, 3);
  note(1, 1, 24, 0, 7, 4);
  note(1, 2, 24, 0, 7, 5);
  play(1);
  EXPECT_EQ(state_at(0, 0).dx, 777);
  EXPECT_EQ(state_at(0, 1).dx, 582);   // 3 * 777 / 4
  EXPECT_EQ(state_at(0, 3).dx, 194);
  EXPECT_EQ(state_at(0, 4).volume, 0);     // fade in, t = 0
  EXPECT_EQ(state_at(0, 5).volume, 448);   // 1792 / 4
  EXPECT_EQ(state_at(0, 8).volume, 1792);  // fade out, t = 0
  EXPECT_EQ(state_at(0, 9).volume, 1344);
  EXPECT_EQ(state_at(0, 11).volume, 448);
}

TEST_F(AudioNote, ArpeggioStepLengths) {
  for (int i = 4; i < 8; i++) note(1, i, 40 + i - 4, 0, 5, 6);
  for (int i = 4; i < 8; i++) note(2, i, 40 + i - 4, 0, 5, 7);
  auto pitch = [&](int e, int speed, int pos) {
    header(e, speed);
    play(e);
    return state_at(0, pos).pitch >> 16;
  };
  // Fast arpeggio: every 2 ticks at speed <= 8, every 4 above.
  EXPECT_EQ(pitch(1, 8, 40), 40);
  EXPECT_EQ(pitch(1, 8, 42), 41);
  EXPECT_EQ(pitch(1, 8, 44), 42);
  EXPECT_EQ(pitch(1, 8, 46), 43);
  EXPECT_EQ(pitch(1, 9, 45), 43);  // (45 / 4) % 4 = 3
  EXPECT_EQ(pitch(1, 9, 48), 40);
  // Slow arpeggio: every 4 ticks at speed <= 8, every 8 above.
  EXPECT_EQ(pitch(2, 8, 40), 42);  // (40 / 4) % 4 = 2
  EXPECT_EQ(pitch(2, 8, 44), 43);
  EXPECT_EQ(pitch(2, 16, 80), 42);  // (80 / 8) % 4
  EXPECT_EQ(pitch(2, 16, 88), 43);
  // Speed 0 counts as "at most 8" for the step length.
  note(3, 0, 50, 0, 5, 6);
  note(3, 1, 51, 0, 5, 6);
  note(3, 2, 52, 0, 5, 6);
  EXPECT_EQ(pitch(3, 0, 0), 50);
  EXPECT_EQ(pitch(3, 0, 1), 50);  // idx 1, j = (1 / 2) % 4 = 0 -> note 0
  EXPECT_EQ(pitch(3, 0, 2), 51);  // idx 2, j = 1
}

TEST_F(AudioNote, MusicChannelsScaleByFadeAndMusicVolume) {
  header(1, 4);
  note(1, 0, 24, 0, 7);
  play(1, 4);
  ms0[4].music = 1;
  brim_music.fade_vol.store(32768);
  EXPECT_EQ(state_at(4, 0).volume, 896);
  brim_set_music_volume(128);
  EXPECT_EQ(state_at(4, 0).volume, 448);
  // Effect channels ignore both.
  play(1, 0);
  EXPECT_EQ(state_at(0, 0).volume, 1792);
}

class AudioInstrument : public AudioNote {
 protected:
  void SetUp() override {
    AudioNote::SetUp();
    // Instrument 2: speed 2, an octave up on a square, then a quiet organ.
    header(2, 2);
    note(2, 0, 36, 3, 7);
    note(2, 1, 24, 5, 3);
    header(10, 8);
    note(10, 0, 30, 2, 7, 0, 0x80);
  }
};

TEST_F(AudioInstrument, TransposesAndScales) {
  play(10);
  osc_state o = state_at(0, 0);
  EXPECT_EQ(ms0[0].inst_ticks, 0);  // waveform differs from the previous note's
  EXPECT_EQ(o.waveform, 3);
  EXPECT_EQ(o.pitch, 42 << 16);
  EXPECT_EQ(o.volume, 1792);
  EXPECT_EQ(o.dx, zurkel_pitch_dx(42 << 16));
  EXPECT_EQ(o.noise_pitch, 42);
  ms0[0].inst_ticks = 2;  // instrument note 1
  o = state_at(0, 1);
  EXPECT_EQ(o.waveform, 5);
  EXPECT_EQ(o.pitch, 30 << 16);
  EXPECT_EQ(o.volume, 768 * 1792 / 1792);
  EXPECT_EQ(o.noise_volume, 3);
}

TEST_F(AudioInstrument, WithoutSongTheWaveformNumberPlays) {
  play(10);
  ms0[0].song = nullptr;
  osc_state o = state_at(0, 0);
  EXPECT_EQ(o.waveform, 2);
  EXPECT_EQ(o.pitch, 30 << 16);
}

TEST_F(AudioInstrument, SilentInstrumentAndRunOutAreSilent) {
  note(10, 0, 30, 4, 7, 0, 0x80);  // instrument 4 is all silent
  play(10);
  EXPECT_EQ(state_at(0, 0).volume, 0);
  note(10, 0, 30, 2, 7, 0, 0x80);
  ms0[0].prev_waveform = 2;
  ms0[0].prev_pitch = 30;
  ms0[0].inst_ticks = 64;  // past note 31 of a speed-2 instrument
  osc_state o = state_at(0, 1);
  EXPECT_EQ(o.volume, 0);
  EXPECT_EQ(o.waveform, 0);
}

TEST_F(AudioInstrument, LoopingInstrumentKeepsCycling) {
  header(3, 1, 0, 2);
  note(3, 0, 24, 0, 7);
  note(3, 1, 36, 0, 7);
  header(11, 200);
  note(11, 0, 30, 3, 7, 0, 0x80);
  play(11);
  int16_t buf[BRIM_TICK_SAMPLES];
  for (int t = 0; t < 150; t++) {
    mix_sfx_tick(&ms0[0], buf);
    EXPECT_EQ(ms0[0].osc.volume, 1792) << t;
    EXPECT_EQ(ms0[0].osc.pitch, (t % 2 ? 42 : 30) << 16) << t;
  }
  EXPECT_LT(ms0[0].inst_ticks, 3);
}

TEST_F(AudioInstrument, InstrumentSlideAndFade) {
  header(4, 4);
  note(4, 0, 36, 0, 4, 1);   // slides up from pitch 24 at its own volume
  note(4, 1, 24, 0, 7, 4);   // fades in
  header(12, 100);
  note(12, 0, 24, 4, 7, 0, 0x80);
  play(12);
  ms0[0].inst_ticks = 2;
  osc_state o = state_at(0, 0);
  EXPECT_EQ(ms0[0].inst_ticks, 0);  // note 0 restarts the instrument
  ms0[0].inst_ticks = 2;
  o = state_at(0, 1);
  EXPECT_EQ(o.pitch, 30 << 16);      // (2*24 + 2*36) / 4 = 30
  EXPECT_EQ(o.volume, 1024 * 1792 / 1792);
  ms0[0].inst_ticks = 5;
  o = state_at(0, 2);
  EXPECT_EQ(o.volume, 1792 * 1 / 4);
}

TEST_F(AudioInstrument, RestartRule) {
  // Note 1 repeats note 0's pitch and waveform.
  header(13, 4);
  note(13, 0, 30, 2, 7, 0, 0x80);
  note(13, 1, 30, 2, 7, 0, 0x80);
  play(13);
  auto restarts = [&](int effect, int prev_pitch) {
    cart->sfx[13].notes[1].effect = effect;
    ms0[0].prev_waveform = 2;
    ms0[0].prev_pitch = prev_pitch;
    ms0[0].inst_ticks = 5;
    state_at(0, 4);
    return ms0[0].inst_ticks == 0;
  };
  EXPECT_FALSE(restarts(0, 30));  // same pitch, plain: carries on
  EXPECT_TRUE(restarts(3, 30));   // same pitch with drop restarts
  EXPECT_TRUE(restarts(4, 30));   // same pitch with fade in restarts
  EXPECT_TRUE(restarts(0, 31));   // new pitch restarts
  EXPECT_FALSE(restarts(3, 31));  // ... unless it is a drop
  EXPECT_FALSE(restarts(1, 31));  // slides never restart
  // A different waveform always restarts, slide or not.
  cart->sfx[13].notes[1].effect = 1;
  ms0[0].prev_waveform = 3;
  ms0[0].prev_pitch = 30;
  ms0[0].inst_ticks = 5;
  state_at(0, 4);
  EXPECT_EQ(ms0[0].inst_ticks, 0);
  // Only on the note's first tick.
  ms0[0].inst_ticks = 5;
  state_at(0, 5);
  EXPECT_EQ(ms0[0].inst_ticks, 5);
}

TEST_F(AudioNote, PlainNotesClearTheInstrumentCounter) {
  header(1, 4);
  note(1, 0, 24, 0, 7);
  play(1);
  ms0[0].inst_ticks = 9;
  state_at(0, 2);
  EXPECT_EQ(ms0[0].inst_ticks, 0);
}

}  // namespace
