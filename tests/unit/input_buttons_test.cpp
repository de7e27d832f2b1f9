// btn/btnp through the script API, the shared repeat, blocking, the key map.
#include <string>

#include "api/registry.h"
#include "input_fixture.h"
#include "script/interp.h"
#include "lang_script.h"
#include "machine/cpu.h"

namespace {
// Frames (counted from the first report) at which btnp reports button b of
// player 0 while it is held for `frames` machine frames.
std::vector<int> reports(int b, int frames) {
  std::vector<int> at;
  int first = -1;
  for (int f = 0; first < 0 || f - first < frames; f++) {
    InputTest::poll();
    if (zbuttons.pressed[b]) {
      if (first < 0) first = f;
      at.push_back(f - first);
    }
  }
  return at;
}

struct InputScript : InputTest {
  lang_script s;
  void SetUp() override {
    InputTest::SetUp();
    zurkel_register_api(s.L, zk_input_api);
  }
};
}  // namespace

TEST_F(InputScript, BtnWithoutArgumentsIsABitField) {
  down(KEY_Z);
  poll();
  EXPECT_EQ(s.num("btn()"), 16 << 16);
  up(KEY_Z);
  down(KEY_S);  // player 1 left
  poll();
  EXPECT_EQ(s.num("btn()"), 256 << 16);
  down(KEY_RETURN);  // player 0 pause: bit 6
  down(KEY_Q);       // player 1 X: bit 13
  poll();
  EXPECT_EQ(s.num("btn()"), (256 | 64 | 8192) << 16);
  // btnp() reports new presses one sample later (pressed is derived
  // before the frame's sample).
  EXPECT_EQ(s.num("btnp()"), 256 << 16);
  poll();
  EXPECT_EQ(s.num("btnp()"), (64 | 8192) << 16);
  poll();
  EXPECT_EQ(s.num("btnp()"), 0);
}

TEST_F(InputScript, OutOfRangePlayersAreFalseAndButtonsAreClamped) {
  buttons_set_mask(3, 1 << 0 | 1 << 7);
  poll();
  EXPECT_EQ(s.str("btn(0, 3)"), "true");
  EXPECT_EQ(s.str("btn(7, 3)"), "true");
  EXPECT_EQ(s.str("btn(-3, 3)"), "true");   // reads button 0
  EXPECT_EQ(s.str("btn(9, 3)"), "true");    // reads button 7
  EXPECT_EQ(s.str("btn(1, 3)"), "false");
  down(KEY_Z);
  poll();
  EXPECT_EQ(s.str("btn(4)"), "true");
  EXPECT_EQ(s.str("btn(4, 0.5)"), "true");  // integer part of the player
  EXPECT_EQ(s.str("btn(4, 8)"), "false");
  EXPECT_EQ(s.str("btn(4, -1)"), "false");
  EXPECT_EQ(s.str("btnp(4, 8)"), "false");
  EXPECT_EQ(s.str("btn(-3)"), s.str("btn(0)"));
  EXPECT_EQ(s.str("btn(3)"), "false");
}

TEST_F(InputTest, HeldButtonRepeatsAt30And60FramesPerSecond) {
  down(KEY_Z);
  EXPECT_EQ(reports(4, 28), (std::vector<int>{0, 15, 19, 23, 27}));
  SetUp();
  buttons_set_timing(60, false);
  down(KEY_Z);
  EXPECT_EQ(reports(4, 56), (std::vector<int>{0, 30, 38, 46, 54}));
}

TEST_F(InputTest, PausedRepeatIsSixteenThenFourAtAnyRate) {
  buttons_set_timing(60, true);
  EXPECT_EQ(buttons_initial_delay(), 16);
  EXPECT_EQ(buttons_repeat_interval(), 4);
  down(KEY_UP);
  EXPECT_EQ(reports(2, 24), (std::vector<int>{0, 15, 19, 23}));
}

TEST_F(InputTest, SecondPressRestartsTheSharedRepeat) {
  down(KEY_Z);
  std::vector<int> o, x;
  int first = -1;
  for (int f = 0; f < 32; f++) {
    poll();
    if (first < 0 && zbuttons.pressed[4]) first = f;
    if (zbuttons.pressed[4]) o.push_back(f - first);
    if (zbuttons.pressed[5]) x.push_back(f - first);
    if (first >= 0 && f - first == 8) down(KEY_X);  // first reported at frame 10
  }
  EXPECT_EQ(o, (std::vector<int>{0, 25, 29}));
  EXPECT_EQ(x, (std::vector<int>{10, 25, 29}));
}

TEST_F(InputTest, BlockedButtonWaitsForReleaseAndNewPress) {
  down(KEY_LEFT);
  poll();
  poll();
  EXPECT_EQ(held(0, 0), 1);
  block_buttons();
  EXPECT_EQ(zbuttons.repeat, 16);
  for (int f = 0; f < 40; f++) {
    poll();
    EXPECT_EQ(held(0, 0), 0) << f;
    EXPECT_EQ(btnp(0, 0), 0) << f;
    EXPECT_EQ(button_pressed(0, 0), 0) << f;
  }
  up(KEY_LEFT);
  poll();
  EXPECT_EQ(zbuttons.blocked[0], 0);
  down(KEY_LEFT);
  poll();
  EXPECT_EQ(held(0, 0), 1);
  poll();
  EXPECT_EQ(btnp(0, 0), 1);
}

TEST_F(InputTest, BlockingUsesTheMenuDelayWhilePaused) {
  buttons_set_timing(60, false);
  block_buttons();
  EXPECT_EQ(zbuttons.repeat, 31);
  buttons_set_timing(60, true);
  block_buttons();
  EXPECT_EQ(zbuttons.repeat, 16);
}

TEST_F(InputTest, DefaultKeysOfBothPlayers) {
  struct { int key, b, p; } table[] = {
      {KEY_LEFT, 0, 0}, {KEY_KP_4, 0, 0}, {KEY_RIGHT, 1, 0}, {KEY_KP_6, 1, 0},
      {KEY_UP, 2, 0},   {KEY_KP_8, 2, 0}, {KEY_DOWN, 3, 0},  {KEY_KP_5, 3, 0},
      {KEY_Z, 4, 0},    {KEY_C, 4, 0},    {KEY_N, 4, 0},     {KEY_KP_MINUS, 4, 0},
      {KEY_KP_1, 4, 0}, {KEY_INSERT, 4, 0}, {KEY_X, 5, 0},   {KEY_V, 5, 0},
      {KEY_M, 5, 0},    {KEY_8, 5, 0},    {KEY_KP_2, 5, 0},  {KEY_DELETE, 5, 0},
      {KEY_P, 6, 0},    {KEY_RETURN, 6, 0}, {KEY_S, 0, 1},   {KEY_F, 1, 1},
      {KEY_E, 2, 1},    {KEY_D, 3, 1},    {KEY_LSHIFT, 4, 1}, {KEY_TAB, 4, 1},
      {KEY_W, 4, 1},    {KEY_A, 5, 1},    {KEY_Q, 5, 1},
  };
  for (auto& t : table) {
    brim_keys_reset();
    down(t.key);
    for (int p = 0; p < 8; p++)
      for (int b = 0; b < 8; b++)
        EXPECT_EQ(player_key(b, p), b == t.b && p == t.p ? 1 : 0) << t.key << " " << b << " " << p;
  }
  // M is X only while Ctrl is up (Ctrl+M mutes).
  brim_keys_reset();
  down(KEY_LCTRL);
  down(KEY_M);
  EXPECT_EQ(player_key(5, 0), 0);
}

TEST_F(InputTest, ConfiguredScancodeReplacesEveryDefaultKey) {
  console_config.button_keys[4] = KEY_K;
  for (int key : {KEY_Z, KEY_C, KEY_N, KEY_KP_MINUS, KEY_KP_1, KEY_INSERT}) {
    brim_keys_reset();
    down(key);
    EXPECT_EQ(player_key(4, 0), 0) << key;
  }
  brim_keys_reset();
  down(KEY_K);
  EXPECT_EQ(player_key(4, 0), 1);
  EXPECT_EQ(player_key(5, 0), 0);
  // Player 1's entries and the pause entry.
  console_config.button_keys[11] = KEY_Z;
  console_config.button_keys[12] = KEY_K;
  brim_keys_reset();
  down(KEY_Z);
  EXPECT_EQ(player_key(5, 1), 1);
  EXPECT_EQ(player_key(4, 0), 0);
  down(KEY_A);
  down(KEY_P);
  EXPECT_EQ(player_key(6, 0), 0);
  up(KEY_Z);
  brim_key_frame();
  EXPECT_EQ(player_key(5, 1), 0);  // A no longer counts
  down(KEY_K);
  EXPECT_EQ(player_key(6, 0), 1);
  EXPECT_TRUE(is_key_bound(KEY_K));
  EXPECT_FALSE(is_key_bound(KEY_Z));   // entry 11 is not one of 0-5
  EXPECT_FALSE(is_key_bound(0));
}

TEST_F(InputTest, MasksAddButtonsForAnyPlayer) {
  buttons_set_mask(5, 0x30);
  poll();
  EXPECT_EQ(held(4, 5), 1);
  EXPECT_EQ(held(5, 5), 1);
  EXPECT_EQ(held(3, 5), 0);
  buttons_clear_masks();
  poll();
  EXPECT_EQ(held(4, 5), 0);
}

TEST_F(InputTest, ButtonPressedForMenusHonoursBlockingAndRange) {
  down(KEY_UP);
  poll();
  EXPECT_EQ(button_pressed(2, 0), 1);
  EXPECT_EQ(button_pressed(8, 0), 0);
  EXPECT_EQ(button_pressed(2, 8), 0);
  EXPECT_EQ(button_pressed(2, -1), 0);
  // Not from a joystick: the browser's variant says no.
  EXPECT_EQ(button_pressed_nok(2, 0), 0);
  zbuttons.blocked[2] = 1;
  zbuttons.repeat = 5;
  EXPECT_EQ(button_pressed(2, 0), 0);
  zbuttons.repeat = 1;
  EXPECT_EQ(button_pressed(2, 0), 1);
}

TEST_F(InputTest, WheelMovementOfTheLastFrame) {
  buttons_add_wheel(1, -2);
  buttons_add_wheel(0, -1);
  poll();
  EXPECT_EQ(zbuttons.pressed[64], 1);
  EXPECT_EQ(zbuttons.pressed[65], -3);
  poll();
  EXPECT_EQ(zbuttons.pressed[64], 0);
  EXPECT_EQ(zbuttons.pressed[65], 0);
}

TEST_F(InputTest, GlitchTestHoldsRandomButtonsZeroToFive) {
  zopts.glitch_test = 1;
  int seen[8] = {};
  for (int f = 0; f < 64; f++) {
    read_buttons();
    for (int i = 0; i < 64; i++) seen[i & 7] += zbuttons.held[i];
  }
  zopts.glitch_test = 0;
  for (int b = 0; b < 6; b++) EXPECT_GT(seen[b], 0) << b;
  EXPECT_EQ(seen[6], 0);
  EXPECT_EQ(seen[7], 0);
}

TEST_F(InputScript, CallsWithAnArgumentChargeFourCycles) {
  zurkel_machine machine;
  lang_script running(&machine);  // charges go to the running machine
  zurkel_register_api(running.L, zk_input_api);
  int32_t before = machine.cpu.api_total;
  running.run("btn() btnp()");
  EXPECT_EQ(machine.cpu.api_total, before);
  running.run("btn(1) btnp(2, 1) btn(0, 9)");
  EXPECT_EQ(machine.cpu.api_total, before + 12);
}
