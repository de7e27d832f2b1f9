// The key layer: states 0/1/3, the timed auto-repeat, blocking and the
// queue of console key codes.
#include <string>

#include "input_fixture.h"

namespace {
uint8_t host[BRIM_KEY_COUNT];

// One host frame at time t with the given keys down (no events).
void sample(uint64_t t) { brim_key_sample(t, host); }

std::string drain() {
  std::string s;
  while (brim_keypressed()) s += std::to_string(brim_readkey_nowait()) + ",";
  return s;
}

struct InputKeys : InputTest {
  void SetUp() override {
    InputTest::SetUp();
    std::memset(host, 0, sizeof host);
  }
};
}  // namespace

TEST_F(InputKeys, NewPressRepeatsAfter500ThenEvery80Milliseconds) {
  sample(1000);
  host[KEY_X] = 1;
  brim_key_event(KEY_X, true, false, false, false);
  EXPECT_EQ(brim_get_key_state(KEY_X), 3);
  std::vector<uint64_t> at;
  for (uint64_t t = 1010; t <= 1700; t += 10) {
    sample(t);
    if (brim_get_key_state(KEY_X) == 3) at.push_back(t);
    else EXPECT_EQ(brim_get_key_state(KEY_X), 1) << t;
  }
  EXPECT_EQ(at, (std::vector<uint64_t>{1510, 1590, 1670}));
  host[KEY_X] = 0;
  sample(1710);
  EXPECT_EQ(brim_get_key_state(KEY_X), 0);
}

TEST_F(InputKeys, TapWithinOneFrameStillReadsAsPressed) {
  sample(0);
  brim_key_event(KEY_Z, true, false, false, false);
  brim_key_event(KEY_Z, false, false, false, false);
  EXPECT_EQ(brim_get_key_state(KEY_Z), 3);
  InputTest::poll();  // the buttons see it too
  EXPECT_EQ(held(4, 0), 0);
  brim_key_event(KEY_Z, true, false, false, false);
  brim_key_event(KEY_Z, false, false, false, false);
  update_buttons();
  read_buttons();
  EXPECT_EQ(held(4, 0), 1);
  sample(20);
  EXPECT_EQ(brim_get_key_state(KEY_Z), 0);
}

TEST_F(InputKeys, HostRepeatEventsAreNotNewPresses) {
  sample(0);
  host[KEY_A] = 1;
  brim_key_event(KEY_A, true, false, false, false);
  sample(16);
  brim_key_event(KEY_A, true, false, false, false, true);
  EXPECT_EQ(brim_get_key_state(KEY_A), 1);
}

TEST_F(InputKeys, ModifierPseudoCodesAndScancodeZero) {
  sample(0);
  host[KEY_RSHIFT] = 1;
  host[KEY_LALT] = 1;
  sample(10);
  sample(20);
  EXPECT_EQ(brim_get_key_state(KEY_ANY_SHIFT), 1);
  EXPECT_EQ(brim_get_key_state(KEY_ANY_ALT), 1);
  EXPECT_EQ(brim_get_key_state(KEY_ANY_CTRL), 0);
  host[0] = 1;
  sample(30);
  EXPECT_EQ(brim_get_key_state(-2), 3);
  EXPECT_EQ(brim_get_key_state(-3), 3);
  EXPECT_EQ(brim_get_key_state(BRIM_KEY_COUNT), 0);
}

TEST_F(InputKeys, BlockedKeyReadsUpUntilReleased) {
  sample(0);
  host[KEY_F11] = 1;
  EXPECT_EQ(brim_key_event(KEY_F11, true, false, false, false), BRIM_KEY_FULLSCREEN);
  EXPECT_EQ(brim_get_key_state(KEY_F11), 0);
  sample(10);
  EXPECT_EQ(brim_get_key_state(KEY_F11), 0);
  host[KEY_F11] = 0;
  sample(20);
  host[KEY_F11] = 1;
  sample(30);
  EXPECT_EQ(brim_get_key_state(KEY_F11), 3);  // released: a new press counts
  brim_key_block(KEY_F11);
  EXPECT_EQ(brim_get_key_state(KEY_F11), 0);
  brim_key_event(KEY_F11, false, false, false, false);
  EXPECT_EQ(brim_get_key_state(KEY_F11), 0);
  EXPECT_EQ(drain(), "");
}

TEST_F(InputKeys, QueueCodesForTheConsole) {
  sample(0);
  brim_key_event(KEY_RETURN, true, false, false, false);
  brim_key_event(KEY_KP_ENTER, true, false, false, false);
  brim_key_event(KEY_BACKSPACE, true, false, false, false);
  brim_key_event(KEY_ESCAPE, true, false, false, false);
  brim_key_event(KEY_TAB, true, false, false, false);
  brim_key_event(KEY_TAB, true, false, true, false);     // Alt+Tab: nothing
  brim_key_event(KEY_A, true, true, false, false);       // Ctrl+A
  brim_key_event(KEY_Z, true, true, false, true);        // Ctrl+Shift+Z: nothing
  brim_key_event(KEY_X, true, false, false, false);      // letters come as text
  brim_key_text("x");
  brim_key_text("\xc3\xa9");                             // two bytes: ignored
  EXPECT_EQ(drain(), "13,13,8,27,9,97,120,");
  EXPECT_EQ(brim_readkey_nowait(), 0);
}

TEST_F(InputKeys, ShortcutsAreNotQueued) {
  sample(0);
  EXPECT_EQ(brim_key_event(KEY_RETURN, true, false, true, false), BRIM_KEY_FULLSCREEN);
  EXPECT_EQ(brim_get_key_state(KEY_RETURN), 0);  // the console does not see it
  EXPECT_EQ(brim_key_event(KEY_RETURN, true, false, true, false, true), BRIM_KEY_NONE);
  EXPECT_EQ(brim_key_event(KEY_1, true, true, false, false), BRIM_KEY_SHOW_FPS);
  EXPECT_EQ(brim_key_event(KEY_F4, true, false, true, false), BRIM_KEY_QUIT);
  EXPECT_EQ(drain(), "");
}

TEST_F(InputKeys, TabRightAfterFocusGivesNothing) {
  sample(100);
  brim_key_focus_gained();
  sample(105);
  brim_key_event(KEY_TAB, true, false, false, false);
  EXPECT_EQ(drain(), "");
  brim_key_event(KEY_TAB, false, false, false, false);
  sample(110);
  brim_key_event(KEY_TAB, true, false, false, false);
  EXPECT_EQ(drain(), "9,");
}

TEST_F(InputKeys, KeyWithoutCharacterQueuesMinusOne) {
  sample(0);
  host[KEY_LEFT] = 1;
  brim_key_event(KEY_LEFT, true, false, false, false);
  brim_key_frame_end();
  EXPECT_EQ(drain(), "-1,");
  sample(10);
  brim_key_frame_end();
  EXPECT_EQ(drain(), "");
  sample(600);  // repeat
  brim_key_frame_end();
  EXPECT_EQ(drain(), "-1,");
  // A frame that queued a character adds nothing more.
  sample(610);
  brim_key_event(KEY_Q, true, false, false, false);
  brim_key_text("q");
  brim_key_frame_end();
  EXPECT_EQ(drain(), "113,");
}

TEST_F(InputKeys, QueueHoldsAtMost32) {
  for (int i = 0; i < 40; i++) brim_key_text("a");
  int n = 0;
  while (brim_keypressed()) {
    brim_readkey_nowait();
    n++;
  }
  EXPECT_EQ(n, 32);
}

TEST_F(InputKeys, ReadkeyPumpsUntilAKeyArrivesOrTheHostGivesUp) {
  static int calls;
  calls = 0;
  EXPECT_EQ(brim_readkey([] {
              if (++calls == 3) brim_key_text("k");
              return true;
            }),
            'k');
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(brim_readkey([] { return false; }), 0);
  EXPECT_EQ(brim_readkey(nullptr), 0);
}

TEST_F(InputKeys, AnyKeyDownIgnoresCapsLock) {
  sample(0);
  host[KEY_CAPSLOCK] = 1;
  sample(10);
  EXPECT_EQ(brim_get_any_key_down(), 0);
  host[KEY_RIGHT] = 1;
  host[KEY_Q] = 1;
  sample(20);
  EXPECT_EQ(brim_get_any_key_down(), KEY_Q);
}
