// The mixer: clipper tree, sound_volume, pause, the four audio effects,
// slicing of long callbacks, the WAV writer and the sample pacer.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "audio/wav_writer.h"
#include "audio_test_util.h"

namespace {

class AudioMixer : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    // Effect 1: quiet square at varied pitches, long enough for any test.
    header(1, 3);
    for (int i = 0; i < 32; i++) note(1, i, 20 + (i * 7) % 30, 3 - (i % 2), 3);
    // Effect 2: a triangle that stops after note 1.
    header(2, 2);
    note(2, 0, 33, 0, 4);
    note(2, 1, 40, 0, 4);
  }
  void start(int e = 1, int channel = 0) {
    brim_play_sfx_ex(&cart->sfx[e], 0, 0, cart, channel);
  }
  // Raw ticks of channel 0 from its current state, without touching it.
  std::vector<std::vector<int16_t>> raw_ticks(int n) {
    auto ref = std::make_unique<mix_channel>(ms0[0]);
    std::vector<std::vector<int16_t>> out;
    for (int i = 0; i < n; i++) {
      std::vector<int16_t> t(BRIM_TICK_SAMPLES);
      mix_sfx_tick(ref.get(), t.data());
      out.push_back(t);
    }
    return out;
  }
  void set_sum_inputs(std::initializer_list<int> v) {
    int k = 0;
    for (int x : v) ms0[k++].mix[0] = static_cast<int16_t>(x);
  }
};

TEST(AudioClip, SoftClipperValues) {
  EXPECT_EQ(brim_soft_clip(0x3000, 0x2FFF), 0x5FFF);
  EXPECT_EQ(brim_soft_clip(0x3000, 0x3000), 0x6000);
  EXPECT_EQ(brim_soft_clip(30000, 30000), 31660);   // 35424 / 5 + 0x6000
  EXPECT_EQ(brim_soft_clip(-30000, -30000), -31660);
  EXPECT_EQ(brim_soft_clip(-0x5FFF, 0), -0x5FFF);
  EXPECT_EQ(brim_soft_clip(-0x6000, 0), -0x6000);
  EXPECT_EQ(brim_soft_clip(-0x6001, 0), -0x6000);   // -1 / 5 truncates to 0
  EXPECT_EQ(brim_soft_clip(-0x6005, 0), -0x6001);
  EXPECT_EQ(brim_soft_clip(32767, 32767), 32767);
}

TEST_F(AudioMixer, ClipperTreeOrder) {
  // Effects pairwise, then music pairwise, then the two halves; each sum
  // clips again, even when one side is silent.
  set_sum_inputs({20000, 20000, 20000, 20000, 0, 0, 0, 0});
  brim_mix_sum(1);
  EXPECT_EQ(ms0[0].mix[0], 25805);  // 27660 twice -> 30724; with 0 -> 25805
  set_sum_inputs({0, 0, 0, 0, 10000, 10000, 10000, 10000});
  brim_mix_sum(1);
  EXPECT_EQ(ms0[0].mix[0], 25192);  // 20000, 20000 -> 27660; with 0 -> 25192
  // An effect on channel 1 silences music channel 5.
  ms0[1].effect = &cart->sfx[2];
  set_sum_inputs({0, 0, 0, 0, 10000, 10000, 10000, 10000});
  brim_mix_sum(1);
  EXPECT_EQ(ms0[0].mix[0], 24792);  // 10000 + 20000 -> 25660 -> 24792
}

TEST_F(AudioMixer, SoundVolumeShiftsArithmetically) {
  brim_set_sound_volume(128);
  set_sum_inputs({-3, 0, 0, 0, 0, 0, 0, 0});
  brim_mix_sum(1);
  EXPECT_EQ(ms0[0].mix[0], -2);  // -384 >> 8
  brim_set_sound_volume(100);
  set_sum_inputs({1000, 0, 0, 0, 0, 0, 0, 0});
  brim_mix_sum(1);
  EXPECT_EQ(ms0[0].mix[0], 390);
}

TEST_F(AudioMixer, OutputIsTheChannelStream) {
  start();
  auto raw = raw_ticks(5);
  auto out = mix(183 * 6);
  EXPECT_TRUE(all_zero(out.data(), 183));  // the buffer from before the effect
  for (int j = 0; j < 5; j++)
    for (int i = 0; i < 183; i++) ASSERT_EQ(out[183 * (j + 1) + i], raw[j][i]) << j << " " << i;
}

TEST_F(AudioMixer, SoundVolumeZeroSilencesButSongsAdvance) {
  for (int p = 0; p < 4; p++) pattern(p, 1, 2, 70, 70);
  header(1, 1);
  brim_play_zurkel_song(cart, 0, 0);
  brim_set_sound_volume(0);
  auto out = mix(183 * 70);
  EXPECT_TRUE(all_zero(out.data(), static_cast<int>(out.size())));
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 2);
}

TEST_F(AudioMixer, PauseFreezesEveryChannel) {
  start();
  mix(500);
  int pos = ms0[0].position;
  int tick_pos = ms0[0].tick_pos;
  brim_audio_set_engine_paused(1);
  auto out = mix(2000);
  EXPECT_TRUE(all_zero(out.data(), 2000));
  brim_audio_set_engine_paused(0);
  zurkel_set_audio_pause(3);
  out = mix(2000);
  EXPECT_TRUE(all_zero(out.data(), 2000));
  EXPECT_EQ(ms0[0].position, pos);
  EXPECT_EQ(ms0[0].tick_pos, tick_pos);
  zurkel_set_audio_pause(0);
  out = mix(2000);
  EXPECT_FALSE(all_zero(out.data(), 2000));
}

TEST_F(AudioMixer, HalfRateRepeatsEachSampleAnOctaveLower) {
  start();
  auto normal = mix(1000);
  int normal_pos = ms0[0].position;
  brim_audio_reset_state();
  start();
  machine.audio_fx[0] = 1;
  auto half = mix(1000);
  for (int i = 0; i < 1000; i++) ASSERT_EQ(half[i], normal[i / 2]) << i;
  // Produced 501 samples: ticks advance at half the speed.
  EXPECT_EQ(ms0[0].position, 2);
  EXPECT_EQ(normal_pos, 5);
  // Bit 0 also covers music column 0 (channel 4), not channel 1.
  EXPECT_EQ(ms0[4].index, 0);
  EXPECT_EQ(ms0[1].index, 1);
}

TEST_F(AudioMixer, HalfRateOnEffectChannelOnly) {
  start(1, 1);
  machine.audio_fx[0] = 1;  // channel index 0, but the effect is on 1
  mix(183 * 11);
  EXPECT_EQ(ms0[1].position, 10);
}

TEST_F(AudioMixer, EchoAddsTheProcessedTickFromFourTicksEarlier) {
  start();
  machine.audio_fx[1] = 1;
  auto raw = raw_ticks(12);
  auto out = mix(183 * 13);
  std::vector<std::vector<int16_t>> p;
  for (int j = 0; j < 12; j++) {
    std::vector<int16_t> t(183);
    for (int i = 0; i < 183; i++) {
      int past = j >= 4 ? p[j - 4][i] : 0;
      t[i] = static_cast<int16_t>((3 * raw[j][i] + 2 * past) / 4);
    }
    p.push_back(t);
  }
  for (int j = 0; j < 12; j++)
    for (int i = 0; i < 183; i++) ASSERT_EQ(out[183 * (j + 1) + i], p[j][i]) << j << " " << i;
}

TEST_F(AudioMixer, DistortionKeepsTheTopFourBits) {
  note(1, 0, 33, 0, 7);  // a loud triangle crosses many steps
  start();
  machine.audio_fx[2] = 1;
  auto raw = raw_ticks(3);
  auto out = mix(183 * 4);
  for (int j = 0; j < 3; j++) {
    for (int i = 0; i < 183; i++) {
      int v = raw[j][i];
      int want = v >= 0 ? (v & 0xF000) : -((-v) & 0xF000);
      ASSERT_EQ(out[183 * (j + 1) + i], want) << j << " " << i;
    }
  }
}

TEST_F(AudioMixer, LowPassCarriesAcrossTicks) {
  start();
  machine.audio_fx[3] = 1;
  auto raw = raw_ticks(4);
  auto out = mix(183 * 5);
  int y = 0;  // the last sample of the (silent) tick before
  for (int j = 0; j < 4; j++) {
    for (int i = 0; i < 183; i++) {
      y = (7 * y + raw[j][i]) / 8;
      ASSERT_EQ(out[183 * (j + 1) + i], y) << j << " " << i;
    }
  }
}

TEST_F(AudioMixer, EffectsFollowTheChannelIndexBit) {
  start(1, 2);
  machine.audio_fx[2] = 1 << 1;  // distortion on index 1: not channel 2
  auto raw = [&] {
    auto ref = std::make_unique<mix_channel>(ms0[2]);
    std::vector<int16_t> t(183);
    mix_sfx_tick(ref.get(), t.data());
    return t;
  }();
  auto out = mix(183 * 2);
  for (int i = 0; i < 183; i++) ASSERT_EQ(out[183 + i], raw[i]);
}

TEST_F(AudioMixer, LongCallbacksAreSliced) {
  for (int p = 0; p < 4; p++) pattern(p, 1, 2, 1, 2);
  brim_play_zurkel_song(cart, 0, 0);
  start(1, 0);
  machine.audio_fx[1] = 0x5;
  machine.audio_fx[3] = 0x3;
  auto whole = mix(8192);
  brim_audio_reset_state();
  brim_play_zurkel_song(cart, 0, 0);
  start(1, 0);
  auto a = mix(3000);
  auto b = mix(5192);
  a.insert(a.end(), b.begin(), b.end());
  EXPECT_EQ(a, whole);
  EXPECT_FALSE(all_zero(whole.data(), 8192));
}

TEST_F(AudioMixer, DeviceCallbackMatchesTheDumpPath) {
  start();
  auto ref = mix(1500);
  brim_audio_reset_state();
  start();
  std::vector<uint8_t> bytes(3001, 0xAA);
  brim_mixer_callback(&machine, bytes.data(), 3001);
  for (int i = 0; i < 1500; i++) {
    int16_t v = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    ASSERT_EQ(v, ref[i]) << i;
  }
  EXPECT_EQ(bytes[3000], 0);
  EXPECT_EQ(inside_brim_mixer_callback, 0);
}

TEST_F(AudioMixer, StopAllSoundsKeepsBuffersAndState) {
  start();
  start(2, 5);
  mix(400);
  brim_stop_all_sounds();
  for (auto& ch : ms0) {
    EXPECT_EQ(ch.effect, nullptr);
    EXPECT_EQ(ch.music, 0);
  }
  // The note still sounding fades out over the next tick.
  auto out = mix(183 * 3);
  EXPECT_FALSE(all_zero(out.data(), 183 * 3));
  out = mix(183 * 2);
  EXPECT_TRUE(all_zero(out.data(), 183 * 2));
}

TEST(AudioWav, WritesMonoSixteenBitAndRenames) {
  std::string path = ::testing::TempDir() + "/audio_wav_test.wav";
  std::remove(path.c_str());
  const int16_t s[3] = {1, -2, 0x1234};
  ASSERT_TRUE(brim_write_wav(path.c_str(), s, 3));
  std::ifstream f(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_EQ(b.size(), 50u);
  auto u32 = [&](int o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24; };
  auto u16 = [&](int o) { return b[o] | b[o + 1] << 8; };
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(u32(4), 42u);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u16(20), 1);
  EXPECT_EQ(u16(22), 1);
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(28), 44100u);
  EXPECT_EQ(u16(32), 2);
  EXPECT_EQ(u16(34), 16);
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(u32(40), 6u);
  EXPECT_EQ(u16(44), 1);
  EXPECT_EQ(u16(46), 0xFFFE);
  EXPECT_EQ(u16(48), 0x1234);
  EXPECT_FALSE(std::ifstream(path + ".tmp").good());
  std::remove(path.c_str());
}

TEST(AudioWav, StreamedAppendsAndFailures) {
  std::string path = ::testing::TempDir() + "/audio_wav_stream.wav";
  std::remove(path.c_str());
  brim_wav_writer w;
  ASSERT_TRUE(brim_wav_open(&w, path.c_str()));
  std::vector<int16_t> chunk(5000, 7);
  for (int i = 0; i < 3; i++) brim_wav_append(&w, chunk.data(), 5000);
  EXPECT_FALSE(std::ifstream(path).good());  // only the temporary file so far
  ASSERT_TRUE(brim_wav_close(&w));
  std::ifstream f(path, std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<long>(f.tellg()), 44 + 2 * 15000);
  std::remove(path.c_str());
  // An unwritable place fails cleanly; an aborted dump leaves nothing.
  EXPECT_FALSE(brim_write_wav("/nonexistent-dir/x.wav", chunk.data(), 10));
  ASSERT_TRUE(brim_wav_open(&w, path.c_str()));
  brim_wav_append(&w, chunk.data(), 10);
  brim_wav_abort(&w);
  EXPECT_FALSE(std::ifstream(path).good());
  EXPECT_FALSE(std::ifstream(path + ".tmp").good());
}

TEST(AudioPacer, ExactlyOneSecondPerSecond) {
  for (int fps : {30, 60, 7, 15}) {
    brim_sample_pacer p;
    int total = 0;
    int lo = 1 << 30, hi = 0;
    for (int i = 0; i < fps * 3; i++) {
      int n = brim_pacer_next(&p, fps);
      total += n;
      lo = std::min(lo, n);
      hi = std::max(hi, n);
    }
    EXPECT_EQ(total, 3 * 22050) << fps;
    EXPECT_LE(hi - lo, 1) << fps;
  }
  brim_sample_pacer p;
  EXPECT_EQ(brim_pacer_next(&p, 30), 735);
  EXPECT_EQ(brim_pacer_next(&p, 0), 0);
}

}  // namespace

namespace {

TEST_F(AudioMixer, LockNestsAndEveryCallReleasesIt) {
  EXPECT_EQ(brim_audio_is_locked, 0);
  brim_lock_audio_plat();
  brim_lock_audio_plat();
  EXPECT_EQ(brim_audio_is_locked, 2);
  start();
  brim_stop_sfx(&cart->sfx[1]);
  EXPECT_EQ(brim_audio_is_locked, 2);
  brim_unlock_audio_plat();
  brim_unlock_audio_plat();
  brim_unlock_audio_plat();  // an extra unlock is ignored
  EXPECT_EQ(brim_audio_is_locked, 0);
  pattern(0, 1, 2, 3, 4);
  brim_play_zurkel_song(cart, 0, 0);
  cmusic_stop(0);
  zurkel_sound_stat(&machine, 24);
  EXPECT_EQ(brim_audio_is_locked, 0);
}

TEST_F(AudioMixer, BootChimeIsEffectZeroOfTheSystemSounds) {
  brim_play_boot_chime();  // no system sounds yet: nothing
  for (auto& ch : ms0) EXPECT_EQ(ch.effect, nullptr);
  zurkel_cart* sys = brim_create_zurkel_cart();
  sys->sfx[0].speed = 7;
  sys->sfx[0].notes[0] = zurkel_note{36, 0, 5, 0, 0};
  brim_set_system_sounds(sys);
  brim_play_boot_chime();
  EXPECT_EQ(ms0[0].effect, &sys->sfx[0]);
  EXPECT_EQ(ms0[0].song, nullptr);
  EXPECT_EQ(ms0[0].ticks_left, 7 * 32);
  brim_destroy_zurkel_cart(sys);
  EXPECT_EQ(brim_get_system_sounds(), nullptr);
  EXPECT_EQ(ms0[0].effect, nullptr);
}

TEST_F(AudioMixer, SampleClockDrivesFadesInDumps) {
  brim_audio_use_sample_clock();
  pattern(0, 1, 2, 3, 4);
  brim_play_zurkel_song(cart, 0, 1000);
  EXPECT_EQ(brim_music.fade_vol.load(), 0);
  mix(22050 / 2);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 32768);
  // Paused samples count as time too.
  zurkel_set_audio_pause(1);
  mix(22050 / 2 + 1);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 65536);
}

}  // namespace

#include "cart/textcart.h"
#include "cart/cart_record.h"

namespace {

// The integration test's cart, mixed directly: a song with effects on top
// gives the same non-silent stream every time.
std::vector<int16_t> mix_song_cart(const zurkel_machine* m, zurkel_cart* c) {
  brim_audio_reset_state();
  brim_audio_use_sample_clock();
  brim_play_zurkel_song(c, 0, 0);
  std::vector<int16_t> out(22050 * 3);
  brim_mix_samples(m, out.data(), 22050);
  brim_play_sfx_ex(&c->sfx[2], 0, 0, c, -1);
  brim_mix_samples(m, out.data() + 22050, 22050);
  brim_play_sfx_ex(&c->sfx[3], 0, 0, c, 3);
  brim_mix_samples(m, out.data() + 44100, 22050);
  return out;
}

TEST_F(AudioMixer, SongCartMixesTheSameEveryTime) {
  zurkel_cart* c = brim_load_zurkel_cart(ZURKEL_TEST_DATA_DIR "/audio_song.zk");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->sfx[0].loop_end, 8);
  EXPECT_EQ(c->music_flags[1], 2);
  machine.cart = c;
  auto a = mix_song_cart(&machine, c);
  auto b = mix_song_cart(&machine, c);
  // Noise draws from the engine generator, so compare with it out of play:
  // the first second has no noise.
  EXPECT_TRUE(std::equal(a.begin(), a.begin() + 22050, b.begin()));
  int loud = 0;
  for (int i = 0; i < 22050 * 3; i += 2205) {
    int n = 0;
    for (int j = 0; j < 2205; j++) n += a[i + j] != 0;
    loud += n > 1102;
  }
  EXPECT_GE(loud, 28);
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 1);  // 0, 1, 0, 1 ... at 256 ticks a pattern
  machine.cart = cart;
  brim_destroy_zurkel_cart(c);
}

}  // namespace
