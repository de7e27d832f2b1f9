// Controllers: the stick's dead zone, button mapping, validation of sticks
// and buttons already deflected or down when the device was opened.
#include "input_fixture.h"

TEST_F(InputTest, StickOutsideTheDeadZoneHoldsItsDirection) {
  brim_joystick_device& d = pad(0);
  d.axes[0] = 0;
  EXPECT_EQ(player_button(0, 0), 0);  // validates the centred axes
  d.axes[0] = -20000;
  EXPECT_EQ(player_button(0, 0), 156);
  EXPECT_EQ(player_button(1, 0), 0);
  poll();
  EXPECT_EQ(held(0, 0), 1);
  d.axes[0] = -15000;  // inside the circle
  EXPECT_EQ(player_button(0, 0), 0);
  poll();
  EXPECT_EQ(held(0, 0), 0);
  // Right, up and down, clamped to 255; the circle uses both axes.
  d.axes[0] = 32767;
  d.axes[1] = -32768;
  EXPECT_EQ(player_button(1, 0), 255);
  EXPECT_EQ(player_button(2, 0), 255);
  EXPECT_EQ(player_button(3, 0), 0);
  d.axes[0] = 12000;
  d.axes[1] = 12000;  // each alone is inside, together outside
  EXPECT_EQ(player_button(1, 0), 93);
  EXPECT_EQ(player_button(3, 0), 93);
  poll();
  EXPECT_EQ(held(1, 0), 0);  // 93 is not above 128
}

TEST_F(InputTest, ControllerButtonsMapToOXAndPause) {
  brim_joystick_device& d = pad(0);
  int x, y, bits;
  brim_get_joystick(0, &x, &y, &bits);  // everything up: validated
  struct { int pad, b; } table[] = {{PAD_A, 4}, {PAD_Y, 4}, {PAD_B, 5}, {PAD_X, 5}, {PAD_START, 6}};
  for (auto& t : table) {
    for (auto& u : d.buttons) u = 0;
    d.buttons[t.pad] = 1;
    for (int b = 0; b < 8; b++) EXPECT_EQ(player_button(b, 0), b == t.b ? 255 : 0) << t.pad << " " << b;
  }
  // The d-pad is not read.
  for (auto& u : d.buttons) u = 0;
  d.buttons[13] = 1;
  EXPECT_EQ(player_button(0, 0), 0);
  EXPECT_EQ(player_button(4, 8), 0);
}

TEST_F(InputTest, ButtonHeldAtStartIsIgnoredUntilReleased) {
  brim_joystick_device& d = pad(0);
  d.buttons[PAD_A] = 1;  // down when the device was opened
  for (int f = 0; f < 5; f++) {
    poll();
    EXPECT_EQ(held(4, 0), 0) << f;
  }
  d.buttons[PAD_A] = 0;
  poll();
  EXPECT_EQ(held(4, 0), 0);
  d.buttons[PAD_A] = 1;
  poll();
  EXPECT_EQ(held(4, 0), 1);
  // Opening the device again forgets the validation.
  brim_joystick_clear_validation(0);
  poll();
  EXPECT_EQ(held(4, 0), 0);
}

TEST_F(InputTest, DeflectedAxisReadsZeroUntilCentred) {
  brim_joystick_device& d = pad(0);
  d.axes[0] = -30000;
  d.buttons[2] = 1;
  int x, y, bits;
  testing::internal::CaptureStdout();
  brim_get_joystick(0, &x, &y, &bits);
  brim_get_joystick(0, &x, &y, &bits);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "** x axis 0 not validated on joystick 0\n** button 2 not validated on joystick 0\n");
  EXPECT_EQ(x, 0);
  EXPECT_EQ(bits, 0);
  d.buttons[2] = 0;
  d.axes[0] = -16383;
  brim_get_joystick(0, &x, &y, &bits);
  EXPECT_EQ(x, -16383);
  d.axes[0] = -30000;
  brim_get_joystick(0, &x, &y, &bits);
  EXPECT_EQ(x, -30000);
  // Other axes through the two-axis read.
  d.axes[3] = 500;
  d.axes[4] = 17000;
  brim_get_joystick_axes(0, 3, 4, &x, &y);
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 0);
  brim_get_joystick_axes(0, 40, -1, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST_F(InputTest, JoystickIndexShiftsPlayersAndMissingDevicesReadZero) {
  pad(0).buttons[PAD_A] = 0;
  int x, y, bits;
  brim_get_joystick(0, &x, &y, &bits);
  pad(0).buttons[PAD_A] = 1;
  console_config.joystick_index = 2;
  EXPECT_EQ(player_button(4, 0), 0);
  EXPECT_EQ(player_button(4, 2), 255);
  EXPECT_EQ(player_button(4, 3), 0);   // no device 1
  poll();
  EXPECT_EQ(held(4, 2), 1);
  EXPECT_EQ(held(4, 0), 0);
  // Detached or not initialised: all zero.
  pad(0).attached = false;
  testing::internal::CaptureStdout();
  EXPECT_EQ(player_button(4, 2), 0);
  EXPECT_EQ(player_button(4, 2), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "** could not read joystick 0 (not attached)\n");
  brim_joysticks.inited = false;
  pad(0);
  brim_joysticks.inited = false;
  EXPECT_EQ(brim_get_joystick(0, &x, &y, &bits), 0);
  EXPECT_EQ(bits, 0);
  EXPECT_EQ(brim_get_joystick(-1, &x, &y, &bits), 0);
  EXPECT_EQ(brim_get_joystick(8, &x, &y, &bits), 0);
}

TEST_F(InputTest, BrowserVariantNeedsTheJoystickToo) {
  brim_joystick_device& d = pad(0);
  int x, y, bits;
  brim_get_joystick(0, &x, &y, &bits);
  d.buttons[PAD_B] = 1;
  poll();
  EXPECT_EQ(button_pressed(5, 0), 1);
  EXPECT_EQ(button_pressed_nok(5, 0), 1);
  d.buttons[PAD_B] = 0;
  down(KEY_X);
  poll();
  EXPECT_EQ(button_pressed(5, 0), 1);
  EXPECT_EQ(button_pressed_nok(5, 0), 0);
}
