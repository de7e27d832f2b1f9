// Starting, choosing channels for, ending, releasing and stopping effects,
// and the sfx script function.
#include <initializer_list>

#include "api/audio_api.h"
#include "audio_test_util.h"
#include "machine/heap.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "cart/cart_record.h"

namespace {

class AudioSfx : public AudioTest {
 protected:
  lua_State* L = nullptr;
  void SetUp() override {
    AudioTest::SetUp();
    L = lua_newstate(zurkel_lua_alloc, &machine);
    // Effects 1-9: eight audible notes at speed 2.
    for (int e = 1; e < 10; e++) {
      header(e, 2);
      fill(e, 0, 8, 30, 0, 5);
    }
  }
  void TearDown() override {
    lua_close(L);
    AudioTest::TearDown();
  }
  void call(lua_CFunction fn, std::initializer_list<int> args) {
    lua_settop(L, 0);
    for (int a : args) zk_push_int(L, a);
    fn(L);
  }
  const zurkel_sfx* sfx(int e) { return &cart->sfx[e]; }
  int channel_of(int e) {
    for (int c = 0; c < 8; c++)
      if (ms0[c].effect == sfx(e)) return c;
    return -1;
  }
};

TEST_F(AudioSfx, PlaySetsTheChannel) {
  header(5, 3);
  EXPECT_EQ(brim_play_sfx_ex(sfx(5), 4, 2, cart, 6), 6);
  const mix_channel& ch = ms0[6];
  EXPECT_EQ(ch.effect, sfx(5));
  EXPECT_EQ(ch.index, 2);
  EXPECT_EQ(ch.position, 12);
  EXPECT_EQ(ch.ticks_left, 6);
  EXPECT_EQ(ch.song, cart);
  EXPECT_EQ(ch.music, 0);
  EXPECT_EQ(ch.looping, 1);
  brim_play_sfx_ex(sfx(5), 0, 0, cart, 1);
  EXPECT_EQ(ms0[1].ticks_left, -3);
  EXPECT_EQ(brim_play_sfx_ex(sfx(5), 0, 0, cart, 8), -1);
  // A null effect stops instead.
  EXPECT_EQ(brim_play_sfx_ex(nullptr, 0, 0, nullptr, 1), -1);
  EXPECT_EQ(ms0[1].effect, nullptr);
  EXPECT_EQ(ms0[6].effect, sfx(5));
}

TEST_F(AudioSfx, ChannelChoiceOrder) {
  // Free pairs first.
  EXPECT_EQ(brim_play_sfx_ex(sfx(1), 0, 0, cart, -1), 0);
  EXPECT_EQ(brim_play_sfx_ex(sfx(2), 0, 0, cart, -1), 1);
  // Music on all columns, column 3 silent: effect channel 3 beats 2.
  brim_stop_all_sounds();
  pattern(0, 1, 2, 3, 70);
  brim_play_zurkel_song(cart, 0, 0);
  EXPECT_EQ(brim_play_sfx_ex(sfx(4), 0, 0, cart, -1), 3);
  // Reserved channels are passed over while their music plays.
  brim_stop_all_sounds();
  brim_play_zurkel_song(cart, 0, 0);
  brim_set_music_channel_mask(0x9);
  EXPECT_EQ(brim_play_sfx_ex(sfx(4), 0, 0, cart, -1), 1);
  EXPECT_EQ(brim_play_sfx_ex(sfx(5), 0, 0, cart, -1), 2);
  // Only reserved channels are free: take over an unreserved one.
  EXPECT_EQ(brim_play_sfx_ex(sfx(6), 0, 0, cart, -1), 2);
  // With every channel reserved and its music playing, nothing plays.
  brim_set_music_channel_mask(0xF);
  EXPECT_EQ(brim_play_sfx_ex(sfx(7), 0, 0, cart, -1), -1);
}

TEST_F(AudioSfx, ReservationYieldsWhenTheMusicChannelIsIdle) {
  brim_set_music_channel_mask(0x3);  // music(n, 0, 3) with no song playing
  EXPECT_EQ(brim_play_sfx_ex(sfx(1), 0, 0, cart, -1), 0);
  EXPECT_EQ(brim_play_sfx_ex(sfx(2), 0, 0, cart, -1), 1);
}

TEST_F(AudioSfx, TakeOverSmallestSpeedTiesToHighest) {
  header(1, 5);
  header(2, 3);
  header(3, 3);
  header(4, 9);
  for (int e = 1; e <= 4; e++) brim_play_sfx_ex(sfx(e), 0, 0, cart, e - 1);
  EXPECT_EQ(brim_play_sfx_ex(sfx(7), 0, 0, cart, -1), 2);
  // Speed 0 counts as its raw value here.
  header(8, 0);
  header(9, 1);
  brim_play_sfx_ex(sfx(8), 0, 0, cart, 0);
  brim_play_sfx_ex(sfx(9), 0, 0, cart, 3);
  EXPECT_EQ(brim_play_sfx_ex(sfx(6), 0, 0, cart, -1), 0);
}

TEST_F(AudioSfx, NaturalEnd) {
  // Notes 0-2 audible at speed 2: ends after the first tick of note 3.
  header(20, 2);
  fill(20, 0, 3, 30, 0, 5);
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 0);
  ticks(0, 6);
  EXPECT_EQ(ms0[0].effect, sfx(20));
  ticks(0, 1);
  EXPECT_EQ(ms0[0].effect, nullptr);
}

TEST_F(AudioSfx, SlideKeepsASilentNoteAliveExceptNote31) {
  header(20, 2);
  fill(20, 0, 3, 30, 0, 5);
  note(20, 3, 40, 0, 0, 1);  // silent slide: still counts
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 0);
  ticks(0, 8);
  EXPECT_EQ(ms0[0].effect, sfx(20));
  ticks(0, 1);  // first tick of note 4
  EXPECT_EQ(ms0[0].effect, nullptr);

  header(21, 1);
  note(21, 30, 30, 0, 5);
  note(21, 31, 40, 0, 0, 1);
  brim_play_sfx_ex(sfx(21), 30, 0, cart, 0);
  ticks(0, 1);
  EXPECT_EQ(ms0[0].effect, sfx(21));
  ticks(0, 1);  // note 31's slide does not count
  EXPECT_EQ(ms0[0].effect, nullptr);
}

TEST_F(AudioSfx, AllNotesAudibleEndsPastNote31) {
  header(20, 1);
  fill(20, 0, 32, 30, 0, 5);
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 2);
  ticks(2, 32);
  EXPECT_EQ(ms0[2].effect, sfx(20));
  ticks(2, 1);
  EXPECT_EQ(ms0[2].effect, nullptr);
}

TEST_F(AudioSfx, LengthPlaysExactlyLengthTimesSpeedTicks) {
  header(20, 3, 0, 2);  // looping
  fill(20, 0, 8, 30, 0, 5);
  call(zk_sfx, {20, 1, 0, 4});
  EXPECT_EQ(ms0[1].effect, sfx(20));
  ticks(1, 11);
  EXPECT_EQ(ms0[1].effect, sfx(20));
  ticks(1, 1);
  EXPECT_EQ(ms0[1].effect, nullptr);
}

TEST_F(AudioSfx, LoopingPlaysUntilReleasedThenEndsAfterItsLaterNotes) {
  header(20, 1, 0, 4);
  fill(20, 0, 7, 30, 0, 5);  // notes 4-6 after the loop are audible
  call(zk_sfx, {20, 1});
  int top = 0;
  for (int t = 0; t < 100; t++) {
    ticks(1, 1);
    top = std::max(top, ms0[1].position);
  }
  EXPECT_EQ(ms0[1].effect, sfx(20));
  EXPECT_LE(top, 4);
  call(zk_sfx, {-2, 1});
  EXPECT_EQ(ms0[1].looping, 0);
  int played = 0;
  while (ms0[1].effect && played < 100) {
    ticks(1, 1);
    played++;
  }
  EXPECT_EQ(ms0[1].effect, nullptr);
  EXPECT_EQ(ms0[1].position, 8);  // notes 4, 5, 6 and the first tick of 7
  EXPECT_LE(played, 8);
}

TEST_F(AudioSfx, ReleasedLoopWithNothingAfterItEnds) {
  header(20, 2, 0, 2);
  fill(20, 0, 2, 30, 0, 5);
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 0);
  ticks(0, 3);
  brim_release_looping_zurkel_channel(0);
  ticks(0, 2);  // rest of note 1 and the first tick of note 2
  EXPECT_EQ(ms0[0].effect, nullptr);
}

TEST_F(AudioSfx, StopSfxClearsEveryChannelIncludingMusic) {
  pattern(0, 3, 70, 70, 70);
  brim_play_zurkel_song(cart, 0, 0);
  EXPECT_EQ(ms0[4].effect, sfx(3));
  // sfx(3) while it plays on music channel 4: the music channel stops.
  call(zk_sfx, {3});
  EXPECT_EQ(ms0[4].effect, nullptr);
  EXPECT_EQ(ms0[4].music, 0);
  EXPECT_EQ(ms0[4].song, nullptr);
  int c = channel_of(3);
  EXPECT_GE(c, 0);
  EXPECT_LE(c, 3);
}

TEST_F(AudioSfx, ScriptStopAndChannelRange) {
  call(zk_sfx, {1, 0});
  call(zk_sfx, {2, 3});
  pattern(0, 4, 70, 70, 70);
  brim_play_zurkel_song(cart, 0, 0);
  call(zk_sfx, {5, 4});   // channel out of range: ignored
  call(zk_sfx, {5, -3});
  EXPECT_EQ(channel_of(5), -1);
  call(zk_sfx, {-1, 3});
  EXPECT_EQ(ms0[3].effect, nullptr);
  EXPECT_EQ(ms0[0].effect, sfx(1));
  call(zk_sfx, {-1, -2});  // names no channel: nothing
  EXPECT_EQ(ms0[0].effect, sfx(1));
  call(zk_sfx, {-1});
  EXPECT_EQ(ms0[0].effect, nullptr);
  EXPECT_EQ(ms0[4].effect, sfx(4));  // music untouched
  // sfx(n, -2) stops n wherever it plays.
  call(zk_sfx, {6, 2});
  call(zk_sfx, {6, -2});
  EXPECT_EQ(channel_of(6), -1);
  call(zk_sfx, {4, -2});
  EXPECT_EQ(ms0[4].effect, nullptr);
  // No arguments: nothing.
  call(zk_sfx, {1, 1});
  call(zk_sfx, {});
  EXPECT_EQ(ms0[1].effect, sfx(1));
}

TEST_F(AudioSfx, ScriptClampsEffectAndOffset) {
  call(zk_sfx, {-7, 0});
  EXPECT_EQ(ms0[0].effect, sfx(0));
  call(zk_sfx, {99, 1, 40});
  EXPECT_EQ(ms0[1].effect, sfx(63));
  EXPECT_EQ(ms0[1].position, 31 * 16);
  call(zk_sfx, {2, 2, -5});
  EXPECT_EQ(ms0[2].position, 0);
  // Starting an effect that already plays moves it.
  call(zk_sfx, {2, 3});
  EXPECT_EQ(ms0[2].effect, nullptr);
  EXPECT_EQ(ms0[3].effect, sfx(2));
}

TEST_F(AudioSfx, NewEffectCrossfadesFromTheOldNote) {
  header(20, 4);
  fill(20, 0, 8, 30, 3, 7);  // loud square
  header(21, 4);
  fill(21, 0, 8, 30, 3, 2);  // quiet square
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 0);
  ticks(0, 3);
  osc_state before = ms0[0].osc;
  brim_play_sfx_ex(sfx(21), 0, 0, cart, 0);
  auto out = ticks(0, 1);
  // Sample 0 is all old note, later samples the new one.
  osc_state loud = before;
  int16_t ref[1];
  mix_osc_tick(&loud, ref, 1);
  EXPECT_EQ(out[0], ref[0]);
  EXPECT_EQ(std::abs(out[100]), 2 * 256 * 3 / 2 * 6143 / 2048);
}

TEST_F(AudioSfx, IdleChannelFadesOutTheLastNote) {
  header(20, 1);
  fill(20, 0, 2, 30, 3, 7);
  brim_play_sfx_ex(sfx(20), 0, 0, cart, 0);
  ticks(0, 2);
  brim_play_sfx_ex(nullptr, 0, 0, nullptr, 0);
  osc_state o = ms0[0].osc;
  int16_t ref[64];
  mix_osc_tick(&o, ref, 64);
  auto out = ticks(0, 1);
  EXPECT_EQ(out[0], ref[0]);
  EXPECT_EQ(out[10], ref[10] * 54 / 64);
  EXPECT_TRUE(all_zero(out.data() + 64, BRIM_TICK_SAMPLES - 64));
  EXPECT_EQ(ms0[0].osc.volume, 0);
  EXPECT_EQ(ms0[0].inst_ticks, 1);
  // Then silence.
  out = ticks(0, 1);
  EXPECT_TRUE(all_zero(out.data(), BRIM_TICK_SAMPLES));
}

TEST_F(AudioSfx, PlaySfxPicksLengthByLooping) {
  header(20, 2, 1, 3);
  fill(20, 0, 4, 30, 0, 5);
  brim_play_sfx(sfx(20));
  int c = channel_of(20);
  ASSERT_GE(c, 0);
  EXPECT_EQ(ms0[c].ticks_left, -2);
  EXPECT_EQ(ms0[c].song, nullptr);
  header(21, 2);
  brim_play_sfx(sfx(21));
  EXPECT_EQ(ms0[channel_of(21)].ticks_left, 64);
}

TEST_F(AudioSfx, QueriesAndReleaseOfACart) {
  header(20, 4);
  fill(20, 0, 8, 30, 0, 5);
  brim_play_sfx_ex(sfx(20), 3, 0, cart, 2);
  EXPECT_EQ(brim_get_zurkel_channel_sfx(2), sfx(20));
  EXPECT_EQ(brim_get_sfx_playing_note(sfx(20)), 3);
  EXPECT_EQ(brim_get_sfx_playing_note(sfx(21)), -1);
  EXPECT_EQ(zurkel_sound_stat(&machine, 18), 20);
  EXPECT_EQ(zurkel_sound_stat(&machine, 22), 3);
  EXPECT_EQ(zurkel_sound_stat(&machine, 17), -1);
  EXPECT_EQ(zurkel_sound_stat(&machine, 21), -1);

  // Another cart's effects and song go when that cart is destroyed.
  zurkel_cart* other = brim_create_zurkel_cart();
  other->music[0][0] = 1;
  other->sfx[1].speed = 1;
  other->sfx[1].notes[0].volume = 3;
  brim_play_zurkel_song(other, 0, 0);
  brim_play_sfx_ex(&other->sfx[5], 0, 0, other, 1);
  EXPECT_EQ(zurkel_sound_stat(&machine, 17), -1);  // not the live cart's
  brim_destroy_zurkel_cart(other);
  for (int c = 0; c < 8; c++) {
    if (c == 2) continue;
    EXPECT_EQ(ms0[c].effect, nullptr) << c;
    EXPECT_EQ(ms0[c].song, nullptr) << c;
  }
  EXPECT_EQ(ms0[2].effect, sfx(20));
}

}  // namespace
