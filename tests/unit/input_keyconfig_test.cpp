// The key configuration screen: one entry per release, Delete/Backspace
// for the defaults, Escape restores, any key leaves once finished.
#include <string>

#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "console/keyconfig.h"
#include "input_fixture.h"
#include "machine/machine.h"

namespace {
struct InputKeyconfig : InputTest {
  zurkel_machine machine;
  brim_font* font = nullptr;
  void SetUp() override {
    InputTest::SetUp();
    machine.screen = brim_create_bitmap(128, 128, 8);
    for (int i = 0; i < 13; i++) console_config.button_keys[i] = 100 + i;
    brim_set_scancode_name(KEY_K, "K");
    brim_set_scancode_name(KEY_Q, "Q");
    brim_set_scancode_name(KEY_LSHIFT, "Left Shift");
    brim_set_scancode_name(255, "Last");
    brim_set_scancode_name(256, "Beyond");
    keyconfig_enter(&machine);
  }
  void TearDown() override {
    zurkel_console_font = nullptr;
    brim_destroy_font(font);
    brim_destroy_bitmap(machine.screen);
    InputTest::TearDown();
  }
  // A frame with exactly these keys newly down (then released).
  void frame_with(std::initializer_list<int> keys) {
    brim_keys_reset();
    for (int k : keys) down(k);
    keyconfig_step(&machine);
  }
  void frame_without_keys() {
    brim_keys_reset();
    keyconfig_step(&machine);
  }
  std::string text(int entry) {
    char line[64];
    keyconfig_entry_text(entry, line, sizeof line);
    return line;
  }
};
}  // namespace

TEST_F(InputKeyconfig, EnteringBacksUpTheMapAndBlocksButtons) {
  EXPECT_EQ(machine.console_screen, 1);
  EXPECT_EQ(zkeyconfig.key_index, 0);
  EXPECT_EQ(zkeyconfig.ready, 0);
  EXPECT_EQ(zkeyconfig.backup[12], 112);
  EXPECT_EQ(zbuttons.blocked[0], 1);
}

TEST_F(InputKeyconfig, KeyHeldFromBeforeDoesNothingUntilReleased) {
  frame_with({KEY_K});
  frame_with({KEY_K});
  EXPECT_EQ(zkeyconfig.key_index, 0);
  frame_without_keys();
  EXPECT_EQ(zkeyconfig.ready, 1);
  frame_with({KEY_K});
  EXPECT_EQ(zkeyconfig.key_index, 1);
  EXPECT_EQ(console_config.button_keys[0], KEY_K);
  EXPECT_EQ(zkeyconfig.ready, 0);
  // Still held: no second entry.
  frame_with({KEY_K});
  EXPECT_EQ(zkeyconfig.key_index, 1);
}

TEST_F(InputKeyconfig, DeleteAndBackspaceStoreTheDefaults) {
  frame_without_keys();
  frame_with({KEY_DELETE});
  frame_without_keys();
  frame_with({KEY_BACKSPACE});
  EXPECT_EQ(console_config.button_keys[0], 0);
  EXPECT_EQ(console_config.button_keys[1], 0);
  EXPECT_EQ(text(0), "p1 left     : left");
  EXPECT_EQ(text(1), "p1 right    : right");
  EXPECT_EQ(text(2), "p1 up       : ?");  // scancode 102 has no name here
  console_config.button_keys[10] = KEY_LSHIFT;
  EXPECT_EQ(text(10), "p2 button o : left shift");
  console_config.button_keys[10] = 300;  // names above 255 are clamped
  EXPECT_EQ(text(10), "p2 button o : last");
}

TEST_F(InputKeyconfig, SeveralKeysFillConsecutiveEntriesInScancodeOrder) {
  frame_without_keys();
  frame_with({KEY_Q, KEY_K});
  EXPECT_EQ(zkeyconfig.key_index, 2);
  EXPECT_EQ(console_config.button_keys[0], KEY_K);
  EXPECT_EQ(console_config.button_keys[1], KEY_Q);
}

TEST_F(InputKeyconfig, EscapeRestoresEveryEntry) {
  for (int i = 0; i < 3; i++) {
    frame_without_keys();
    frame_with({KEY_K});
  }
  EXPECT_EQ(console_config.button_keys[2], KEY_K);
  frame_without_keys();
  brim_keys_reset();
  down(KEY_ESCAPE);  // queues 27
  keyconfig_step(&machine);
  EXPECT_EQ(machine.console_screen, 0);
  for (int i = 0; i < 13; i++) EXPECT_EQ(console_config.button_keys[i], 100 + i) << i;
}

TEST_F(InputKeyconfig, FinishingEmptiesTheQueueThenAnyKeyLeaves) {
  for (int i = 0; i < 12; i++) {
    frame_without_keys();
    frame_with({KEY_K});
  }
  frame_without_keys();
  brim_keys_reset();
  down(KEY_Q);
  brim_key_text("q");
  keyconfig_step(&machine);
  EXPECT_EQ(zkeyconfig.key_index, KEYCONFIG_DONE);
  EXPECT_EQ(console_config.button_keys[12], KEY_Q);
  EXPECT_FALSE(brim_keypressed());  // the finishing key does not also leave
  EXPECT_EQ(machine.console_screen, 1);
  // Nothing more is stored while finished.
  frame_without_keys();
  frame_with({KEY_Z});
  EXPECT_EQ(zkeyconfig.ready, 0);
  machine.draw[DS_CURSOR_Y] = 0;
  keyconfig_keypress(&machine, -1);
  EXPECT_EQ(machine.console_screen, 0);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 120);
}

TEST_F(InputKeyconfig, OtherCodesBeforeTheEndAreIgnored) {
  keyconfig_keypress(&machine, 'a');
  keyconfig_keypress(&machine, 13);
  EXPECT_EQ(machine.console_screen, 1);
  EXPECT_EQ(machine.draw[DS_CURSOR_Y], 0);
}

TEST_F(InputKeyconfig, ScancodeNamesAreUpperCaseAndAtMost19Characters) {
  brim_set_scancode_name(4, "a");
  EXPECT_STREQ(brim_scancode_name(4), "A");
  brim_set_scancode_name(5, "Nineteen characters");
  EXPECT_STREQ(brim_scancode_name(5), "NINETEEN CHARACTERS");
  brim_set_scancode_name(5, "Twenty characters!!!");
  EXPECT_STREQ(brim_scancode_name(5), "?");
  brim_set_scancode_name(6, "");
  EXPECT_STREQ(brim_scancode_name(6), "?");
  brim_set_scancode_name(6, nullptr);
  EXPECT_STREQ(brim_scancode_name(6), "?");
  EXPECT_STREQ(brim_scancode_name(311), "?");
  EXPECT_STREQ(brim_scancode_name(-1), "?");
}

TEST_F(InputKeyconfig, DrawsPanelTitleAndHighlightedEntry) {
  // A font whose glyphs are one ink pixel each.
  font = brim_create_font();
  for (int i = 0; i < 256; i++) {
    brim_bitmap* g = brim_create_bitmap(4, 5, 8);
    g->line[0][0] = 1;
    font->glyphs.push_back(g);
  }
  zurkel_console_font = font;
  brim_set_clip(machine.screen, 10, 10, 20, 20);  // drawing ignores the clip
  keyconfig_draw(&machine);
  brim_bitmap* s = machine.screen;
  EXPECT_EQ(s->line[127][127], 1);
  EXPECT_EQ(s->line[41][4], 6);
  EXPECT_EQ(s->line[124][123], 6);
  EXPECT_EQ(s->line[125][123], 1);
  EXPECT_EQ(s->line[6][127], 7);
  EXPECT_EQ(s->line[1][6], 12);   // "player key config"
  EXPECT_EQ(s->line[12][60], 6);  // "press key for:"
  EXPECT_EQ(s->line[19][60], 7);  // the label
  EXPECT_EQ(s->line[26][60], 13);
  EXPECT_EQ(s->line[33][60], 13);
  EXPECT_EQ(s->line[43][7], 14);  // bar of entry 0
  EXPECT_EQ(s->line[49][120], 14);
  EXPECT_EQ(s->line[44][10], 1);  // its text
  EXPECT_EQ(s->line[50][10], 5);  // entry 1's text
  EXPECT_EQ(s->line[50][7], 6);
  EXPECT_EQ(s->cl, 10);           // the clip is put back
  zkeyconfig.key_index = KEYCONFIG_DONE;
  keyconfig_draw(&machine);
  EXPECT_EQ(s->line[12][60], 11);  // "saved config."
  EXPECT_EQ(s->line[22][60], 12);  // "any key to quit"
  EXPECT_EQ(s->line[43][7], 6);    // no bar
  EXPECT_EQ(s->line[44][10], 5);
}
