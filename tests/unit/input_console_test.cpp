// The key configuration screen inside the console loop.
#include "host_fixture.h"
#include "console/keyconfig.h"
#include "input/scancodes.h"

TEST_F(HostLoopTest, KeyConfigScreenTakesKeysThroughTheLoop) {
  for (int& k : console_config.button_keys) k = 0;
  keyconfig_enter(&machine);
  ASSERT_EQ(machine.console_screen, 1);
  iterate(0);  // starts the loop's clock
  iterate(60 * 40);
  EXPECT_EQ(zkeyconfig.ready, 1);
  press_key(KEY_K);
  iterate(60 * 40);
  EXPECT_EQ(console_config.button_keys[0], KEY_K);
  EXPECT_EQ(zkeyconfig.key_index, 1);
  // The screen is drawn into the machine screen.
  brim_main_draw(&machine);
  EXPECT_EQ(machine.screen->line[127][0], 1);
  EXPECT_EQ(machine.screen->line[60][60], 6);
  // Escape restores the map and leaves.
  release_all();
  press_key(KEY_ESCAPE);
  iterate(60 * 40);
  EXPECT_EQ(machine.console_screen, 0);
  EXPECT_EQ(console_config.button_keys[0], 0);
}
