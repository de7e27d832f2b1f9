// Songs: pattern length, advance with every flag, fades, stat values,
// muting of a music column under an effect.
#include "api/audio_api.h"
#include "audio_test_util.h"
#include "machine/heap.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "cart/cart_record.h"

namespace {

class AudioMusic : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    // Effects 1-4: speed 1, 32 audible notes, so a pattern lasts 32 ticks.
    for (int e = 1; e <= 4; e++) {
      header(e, 1);
      fill(e, 0, 32, 24 + e, 0, 4);
    }
  }
  // Plays from pattern p and runs one pattern's worth of ticks.
  int after_one_pattern(int p) {
    brim_play_zurkel_song(cart, p, 0);
    tick_all(32);
    return brim_music.current_pattern;
  }
  bool music_stopped() {
    for (int k = 4; k < 8; k++)
      if (ms0[k].music || ms0[k].effect || ms0[k].song) return false;
    return true;
  }
};

TEST_F(AudioMusic, PatternLength) {
  header(5, 4, 0, 8);  // looping, 128 ticks
  header(6, 2);        // not looping, 64 ticks
  header(7, 3, 1, 2);  // looping, 96 ticks
  pattern(0, 5, 6, 7, 70);
  EXPECT_EQ(music_pattern_length(cart, 0), 64);   // first non-looping column
  pattern(1, 5, 7, 64, 127);
  EXPECT_EQ(music_pattern_length(cart, 1), 128);  // all loop: the longest
  pattern(2, 64, 65, 100, 127);
  EXPECT_EQ(music_pattern_length(cart, 2), 0);
  header(8, 0);
  pattern(3, 70, 8, 6, 70);
  EXPECT_EQ(music_pattern_length(cart, 3), 32);   // speed 0 counts as 1
}

TEST_F(AudioMusic, StartSetsTheFourChannels) {
  pattern(5, 1, 70, 3, 4);
  brim_set_music_channel_mask(0);
  brim_play_zurkel_song(cart, 5, 0);
  for (int c = 0; c < 4; c++) {
    const mix_channel& ch = ms0[4 + c];
    EXPECT_EQ(ch.music, 1);
    EXPECT_EQ(ch.song, cart);
    EXPECT_EQ(ch.pattern, 5);
    EXPECT_EQ(ch.index, c);
    EXPECT_EQ(ch.ticks_left, 32);
    EXPECT_EQ(ch.position, 0);
  }
  EXPECT_EQ(ms0[4].effect, &cart->sfx[1]);
  EXPECT_EQ(ms0[5].effect, nullptr);
  EXPECT_EQ(brim_music.current_pattern, 5);
  EXPECT_EQ(brim_music.fade_vol.load(), 65536);  // fade 0: at once
  EXPECT_EQ(brim_music_is_playing(), 1);
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 5);
  EXPECT_EQ(zurkel_sound_stat(&machine, 16), 1);   // nothing on effect channel 0: music channel 4
  EXPECT_EQ(zurkel_sound_stat(&machine, 19), 4);
  EXPECT_EQ(zurkel_sound_stat(&machine, 17), -1);  // column 1 is silent
  EXPECT_EQ(zurkel_sound_stat(&machine, 20), 0);
}

TEST_F(AudioMusic, AllSilentPatternStopsTheSongAndStartsNothing) {
  pattern(0, 1, 2, 3, 4);
  pattern(1, 64, 70, 80, 127);
  brim_play_zurkel_song(cart, 0, 0);
  brim_play_zurkel_song(cart, 1, 0);
  EXPECT_TRUE(music_stopped());
  EXPECT_EQ(brim_music_is_playing(), 0);
}

TEST_F(AudioMusic, AdvanceFlags) {
  for (int p = 0; p < 64; p++) pattern(p, 1, 2, 3, 4);
  EXPECT_EQ(after_one_pattern(2), 3);            // no flags
  cart->music_flags[2] = 1;                      // loop start alone
  EXPECT_EQ(after_one_pattern(2), 3);
  cart->music_flags[2] = 8;                      // the fourth flag steers nothing
  EXPECT_EQ(after_one_pattern(2), 3);
  cart->music_flags[2] = 4;                      // stop
  EXPECT_EQ(after_one_pattern(2), -1);
  EXPECT_TRUE(music_stopped());
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 0);
  cart->music_flags[2] = 6;                      // stop wins over loop back
  EXPECT_EQ(after_one_pattern(2), -1);
  cart->music_flags[2] = 7;
  EXPECT_EQ(after_one_pattern(2), -1);
  cart->music_flags[2] = 2;                      // loop back, no loop start before
  EXPECT_EQ(after_one_pattern(2), 0);
  cart->music_flags[1] = 1;                      // loop back to the loop start
  cart->music_flags[5] = 2;
  EXPECT_EQ(after_one_pattern(5), 1);
  cart->music_flags[5] = 3;                      // loop back on its own loop start
  EXPECT_EQ(after_one_pattern(5), 5);
  cart->music_flags[0] = 2;                      // loop back on pattern 0
  EXPECT_EQ(after_one_pattern(0), 0);
  EXPECT_FALSE(music_stopped());
  EXPECT_EQ(ms0[4].pattern, 0);
  EXPECT_EQ(ms0[4].ticks_left, 32);
  EXPECT_EQ(ms0[4].position, 0);
}

TEST_F(AudioMusic, RunsPastPattern63AndOntoSilence) {
  for (int p = 0; p < 64; p++) pattern(p, 1, 2, 3, 4);
  EXPECT_EQ(after_one_pattern(63), 64);
  EXPECT_TRUE(music_stopped());
  pattern(11, 64, 64, 64, 64);
  EXPECT_EQ(after_one_pattern(10), 11);
  EXPECT_TRUE(music_stopped());
}

TEST_F(AudioMusic, NextPatternTakesItsOwnEffectsAndLength) {
  pattern(0, 1, 2, 70, 4);
  header(5, 2);
  pattern(1, 70, 5, 3, 70);
  brim_play_zurkel_song(cart, 0, 0);
  tick_all(32);
  EXPECT_EQ(ms0[4].effect, nullptr);
  EXPECT_EQ(ms0[5].effect, &cart->sfx[5]);
  EXPECT_EQ(ms0[6].effect, &cart->sfx[3]);
  EXPECT_EQ(ms0[7].effect, nullptr);
  for (int k = 4; k < 8; k++) {
    EXPECT_EQ(ms0[k].ticks_left, 64) << k;  // column 1 leads: speed 2
    EXPECT_EQ(ms0[k].music, 1);
  }
}

TEST_F(AudioMusic, PatternsPlayedCountsCallbacksThatAdvanced) {
  pattern(0, 1, 2, 3, 4);
  pattern(1, 1, 2, 3, 4);
  pattern(2, 1, 2, 3, 4, 2);  // loops back to 0
  brim_play_zurkel_song(cart, 0, 0);
  // 183 samples per tick; the first callback sample block is the old tick.
  mix(183);
  for (int i = 0; i < 32 * 5; i++) mix(183);
  EXPECT_EQ(zurkel_sound_stat(&machine, 25), 5);
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 2);  // 0,1,2,0,1,2
  EXPECT_EQ(zurkel_sound_stat(&machine, 26), 0);
  mix(183 * 3);
  EXPECT_EQ(zurkel_sound_stat(&machine, 26), 3);
  // A new song resets the count.
  brim_play_zurkel_song(cart, 1, 0);
  EXPECT_EQ(zurkel_sound_stat(&machine, 25), 0);
}

TEST_F(AudioMusic, FadeInOverOneSecond) {
  pattern(0, 1, 2, 3, 4);
  brim_play_zurkel_song(cart, 0, 1000);
  EXPECT_EQ(brim_music.fade_vol.load(), 0);
  advance_audio_clock(250);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 16384);
  advance_audio_clock(250);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 32768);
  // Notes are scaled once per tick by the level in force.
  tick_all(1);
  EXPECT_EQ(ms0[4].osc.volume, (128 * 1024) / 256);
  advance_audio_clock(500);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 65536);
}

TEST_F(AudioMusic, FadeOutStopsEveryMusicChannelAtZero) {
  pattern(0, 1, 2, 3, 4);
  pattern(1, 1, 2, 3, 4);
  lua_State* L = lua_newstate(zurkel_lua_alloc, &machine);
  zk_push_int(L, 0);
  zk_music(L);
  lua_settop(L, 0);
  EXPECT_EQ(brim_music.fade_vol.load(), 65536);
  zk_push_int(L, -1);
  zk_push_int(L, 1000);
  zk_music(L);
  lua_close(L);
  advance_audio_clock(500);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 32768);
  // Patterns keep advancing while the level falls.
  tick_all(32);
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 1);
  EXPECT_FALSE(music_stopped());
  advance_audio_clock(500);
  brim_update_music_fading();
  EXPECT_EQ(brim_music.fade_vol.load(), 0);
  EXPECT_TRUE(music_stopped());
  EXPECT_EQ(zurkel_sound_stat(&machine, 24), 0);
  // Later music fades in again.
  brim_play_zurkel_song(cart, 0, 0);
  EXPECT_EQ(brim_music.fade_vol.load(), 65536);
  EXPECT_FALSE(music_stopped());
}

TEST_F(AudioMusic, FadeOutStopsOtherCartsMusicToo) {
  zurkel_cart* other = brim_create_zurkel_cart();
  other->music[0][0] = 1;
  brim_play_zurkel_song(other, 0, 0);
  EXPECT_EQ(ms0[4].song, other);
  cmusic_stop(0);
  EXPECT_TRUE(music_stopped());
  brim_destroy_zurkel_cart(other);
}

TEST_F(AudioMusic, NewSongOfTheSameCartReplacesItOnly) {
  zurkel_cart* other = brim_create_zurkel_cart();
  other->music[0][3] = 1;
  other->music[0][0] = 64;
  pattern(0, 1, 70, 70, 70);
  pattern(9, 70, 2, 70, 70);
  brim_play_zurkel_song(other, 0, 0);
  brim_play_zurkel_song(cart, 0, 0);
  // Every column of this cart's song took over its channel.
  EXPECT_EQ(ms0[7].song, cart);
  brim_play_zurkel_song(cart, 9, 0);
  EXPECT_EQ(ms0[4].effect, nullptr);
  EXPECT_EQ(ms0[5].effect, &cart->sfx[2]);
  brim_stop_zurkel_song(cart);
  EXPECT_TRUE(music_stopped());
  brim_destroy_zurkel_cart(other);
}

TEST_F(AudioMusic, ScriptMusicClampsAndSetsMask) {
  pattern(0, 1, 2, 3, 4);
  lua_State* L = lua_newstate(zurkel_lua_alloc, &machine);
  zk_push_int(L, -5);
  zk_push_int(L, 0);
  zk_push_int(L, 3);
  zk_music(L);
  EXPECT_EQ(brim_music.current_pattern, 0);
  EXPECT_EQ(brim_music_channel_mask(), 3);
  lua_settop(L, 0);
  zk_push_int(L, -1);
  zk_music(L);  // stop keeps the mask
  EXPECT_EQ(brim_music_channel_mask(), 3);
  EXPECT_TRUE(music_stopped());
  lua_close(L);
}

TEST_F(AudioMusic, EffectMutesItsMusicColumnInTime) {
  // Column 3 silent, so the clipper leaves channel 6's buffer as it was.
  for (int p = 0; p < 4; p++) pattern(p, 1, 2, 3, 70);
  brim_play_zurkel_song(cart, 0, 0);
  header(9, 1);
  fill(9, 0, 32, 40, 3, 5);
  brim_play_sfx_ex(&cart->sfx[9], 0, 3, cart, 2);  // three ticks
  mix(183);  // the tick from before the song
  mix(183);
  EXPECT_EQ(ms0[2].effect, &cart->sfx[9]);
  EXPECT_TRUE(all_zero(ms0[6].mix, 183));
  EXPECT_FALSE(all_zero(ms0[5].mix, 183));
  mix(183 * 2);
  EXPECT_EQ(ms0[2].effect, nullptr);
  mix(183);
  EXPECT_FALSE(all_zero(ms0[6].mix, 183));
  // Column 2 kept time with the others.
  EXPECT_EQ(ms0[6].position, ms0[4].position);
  EXPECT_EQ(ms0[6].ticks_left, ms0[4].ticks_left);
}

TEST_F(AudioMusic, SongTicksAndNoteStats) {
  pattern(0, 70, 2, 70, 70);
  brim_play_zurkel_song(cart, 0, 0);
  tick_all(7);
  EXPECT_EQ(brim_get_zurkel_song_ticks(), 7);
  EXPECT_EQ(zurkel_sound_stat(&machine, 26), 7);
  EXPECT_EQ(zurkel_sound_stat(&machine, 21), 7);  // music channel 5 note 7 (speed 1)
  EXPECT_EQ(zurkel_sound_stat(&machine, 17), 2);
  EXPECT_EQ(zurkel_sound_stat(&machine, 20), -1);
  EXPECT_EQ(zurkel_sound_stat(&machine, 27), 0);
}

TEST_F(AudioMusic, MusicChannelsIgnoreTheEndRules) {
  header(5, 1);
  note(5, 0, 30, 0, 5);  // silent after note 0
  pattern(0, 5, 70, 70, 70);
  brim_play_zurkel_song(cart, 0, 0);
  tick_all(10);
  EXPECT_EQ(ms0[4].effect, &cart->sfx[5]);
}

}  // namespace
