#include <cstring>
#include <string>

#include "host_fixture.h"
#include "input/scancodes.h"
#include "audio/audio.h"
#include "console/pause_menu.h"
#include "console/reset_effect.h"

namespace {
void set_label(zurkel_machine& m, int slot, const char* text) {
  std::snprintf(m.run.menu_labels[slot], 17, "%s", text);
}

std::string labels() {
  std::string s;
  for (int i = 0; i < zcon.menu_count; i++) s += std::string(zcon.menu[i].label) + "|";
  return s;
}

void press_button(int b) {
  for (int& p : zbuttons.pressed) p = 0;
  zbuttons.pressed[b] = 1;
}
}  // namespace

TEST_F(HostLoopTest, MenuListsContinueCustomItemsResetChainQuitAndSplore) {
  build_paused_menu(&machine);
  EXPECT_EQ(labels(), "continue|reset cart|quit|");
  set_label(machine, 1, "one");
  set_label(machine, 3, "three");
  build_paused_menu(&machine);
  EXPECT_EQ(labels(), "continue|one|three|reset cart|quit|");
  EXPECT_EQ(zcon.menu[2].action, 259);
  for (int i = 1; i <= 5; i++) set_label(machine, i, "item");
  // Five custom labels: continue, the five, reset cart and quit.
  build_paused_menu(&machine);
  EXPECT_EQ(zcon.menu_count, 8);
  add_run_chain_item(&machine, "first.zk", "back", 0);
  build_paused_menu(&machine);
  EXPECT_EQ(zcon.menu_count, 9);
  EXPECT_STREQ(zcon.menu[7].label, "back");
  EXPECT_EQ(zcon.menu[7].action, 5);
  EXPECT_STREQ(zcon.menu[8].label, "quit");
  machine.console_screen = 2;
  build_paused_menu(&machine);
  EXPECT_EQ(zcon.menu_count, 10);
  EXPECT_STREQ(zcon.menu[9].label, "exit to splore");
  EXPECT_EQ(zcon.menu_selected, 0);
}

TEST_F(HostLoopTest, MenuLabelsShowAtMostSixteenCharacters) {
  add_paused_menu_item("abcdefghijklmnopqrst", 0);
  EXPECT_STREQ(zcon.menu[0].label, "abcdefghijklmnop");
}

TEST_F(HostLoopTest, SelectionWrapsAtBothEnds) {
  pretend_running(30);
  open_paused_menu(&machine);
  ASSERT_EQ(zcon.menu_count, 3);
  press_button(2);
  process_paused_keypresses(&machine);
  EXPECT_EQ(zcon.menu_selected, 2);
  press_button(3);
  process_paused_keypresses(&machine);
  EXPECT_EQ(zcon.menu_selected, 0);
  press_button(3);
  process_paused_keypresses(&machine);
  EXPECT_EQ(zcon.menu_selected, 1);
}

TEST_F(HostLoopTest, ChoosingItemsCarriesOutTheirActions) {
  pretend_running(30);
  set_label(machine, 2, "custom");
  open_paused_menu(&machine);
  zcon.menu_selected = 1;  // custom
  press_button(5);
  process_paused_keypresses(&machine);
  EXPECT_FALSE(zcon.menu_open);
  EXPECT_EQ(machine.run.menu_selected[2], 1);
  EXPECT_EQ(zbuttons.pressed[5], 0);
  EXPECT_EQ(zbuttons.blocked[5], 1);

  open_paused_menu(&machine);
  zcon.menu_selected = 2;  // reset cart
  press_button(4);
  process_paused_keypresses(&machine);
  EXPECT_FALSE(zcon.menu_open);
  EXPECT_EQ(machine.reset_glitch, 1);

  open_paused_menu(&machine);
  zcon.menu_selected = 3;  // quit
  press_button(6);
  process_paused_keypresses(&machine);
  EXPECT_EQ(brim_quit, 1);
}

TEST_F(HostLoopTest, PauseSuppressionSwallowsThePressOnce) {
  pretend_running(30);
  machine.ram[0x5F30] = 1;
  press_button(6);
  process_running_keypresses(&machine);
  EXPECT_FALSE(zcon.menu_open);
  EXPECT_EQ(machine.ram[0x5F30], 0);
  press_button(6);
  process_running_keypresses(&machine);
  EXPECT_TRUE(zcon.menu_open);
  EXPECT_EQ(zbuttons.blocked[6], 1);
}

TEST_F(HostLoopTest, EscapeTogglesTheMenuWhileRunning) {
  pretend_running(30);
  iterate(0);
  press_key(KEY_ESCAPE);
  iterate(0);
  EXPECT_TRUE(zcon.menu_open);
  press_key(KEY_ESCAPE);
  brim_key_event(KEY_ESCAPE, false, false, false, false);
  brim_key_frame();
  brim_key_event(KEY_ESCAPE, true, false, false, false);
  iterate(0);
  EXPECT_FALSE(zcon.menu_open);
  machine.mode = 0;
  release_all();
  press_key(KEY_ESCAPE);
  iterate(0);
  EXPECT_FALSE(zcon.menu_open);
}

TEST_F(HostLoopTest, SoundStaysHeldForFourUpdatesAfterTheMenuCloses) {
  pretend_running(30);
  zcon.menu_open = true;
  determine_audio_pause_state(&machine);
  EXPECT_EQ(zurkel_get_audio_pause(), 1);
  zcon.menu_open = false;
  int seen[6];
  for (int& s : seen) {
    determine_audio_pause_state(&machine);
    s = zurkel_get_audio_pause();
  }
  EXPECT_EQ(seen[0], 2);
  EXPECT_EQ(seen[3], 5);
  EXPECT_EQ(seen[4], 0);
  EXPECT_EQ(seen[5], 0);
  // 0x5F2F = 2 lets sound play on in the menu; 1 holds it while running.
  machine.ram[0x5F2F] = 2;
  zcon.menu_open = true;
  determine_audio_pause_state(&machine);
  EXPECT_EQ(zurkel_get_audio_pause(), 0);
  machine.ram[0x5F2F] = 1;
  zcon.menu_open = false;
  determine_audio_pause_state(&machine);
  EXPECT_EQ(zurkel_get_audio_pause(), 1);
}

TEST_F(HostLoopTest, CtrlRWithinHalfASecondStartsTheResetOnce) {
  pretend_running(30);
  host_advance_virtual_clock(60000);
  press_key(KEY_LCTRL);
  brim_key_event(KEY_R, true, true, false, false);
  process_running_keypresses(&machine);
  EXPECT_EQ(machine.reset_glitch, 1);
  machine.reset_glitch = 0;
  host_advance_virtual_clock(300 * 60);
  brim_key_event(KEY_R, false, true, false, false);
  brim_key_event(KEY_R, true, true, false, false);
  process_running_keypresses(&machine);
  EXPECT_EQ(machine.reset_glitch, 0);
  host_advance_virtual_clock(300 * 60);
  brim_key_event(KEY_R, false, true, false, false);
  brim_key_event(KEY_R, true, true, false, false);
  process_running_keypresses(&machine);
  EXPECT_EQ(machine.reset_glitch, 1);
}

TEST_F(HostLoopTest, ResetEffectDamagesMemoryForFourStepsThenRunsAgain) {
  pretend_running(30);
  std::snprintf(machine.run.current_params, sizeof machine.run.current_params, "level=3");
  machine.ram[0x5F2E] = 1;
  zurkel_start_reset_effect(&machine);
  uint8_t before[0x8000];
  std::memcpy(before, machine.ram, sizeof before);
  update_reset_glitch(&machine);
  EXPECT_NE(std::memcmp(before, machine.ram, sizeof before), 0);
  EXPECT_EQ(machine.ram[0x5F2E], 1);
  EXPECT_EQ(machine.reset_glitch, 2);
  update_reset_glitch(&machine);
  update_reset_glitch(&machine);
  EXPECT_EQ(machine.reset_glitch, 4);
  EXPECT_EQ(machine.pending_command, 0);
  update_reset_glitch(&machine);
  EXPECT_EQ(machine.reset_glitch, 0);
  EXPECT_EQ(machine.pending_command, 1);
  EXPECT_STREQ(machine.run_args, "level=3");
}

TEST_F(HostLoopTest, MenuDrawsABoxCentredOnRow64) {
  brim_bitmap* b = brim_create_bitmap(128, 128, 8);
  std::memset(b->data, 12, 128 * 128);  // the tint turns the box dark (0 or 1)
  pretend_running(30);
  open_paused_menu(&machine);  // three items: 32 rows high
  draw_paused_menu(b);
  EXPECT_EQ(b->line[48][24], 7);
  EXPECT_EQ(b->line[79][104], 7);
  EXPECT_LE(b->line[48][23], 1);   // tinted edge outside the outline
  EXPECT_EQ(b->line[47][60], 12);
  EXPECT_EQ(b->line[80][60], 12);
  brim_destroy_bitmap(b);
}
