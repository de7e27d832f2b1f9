// Buttons, keys and joysticks fed directly, without a window.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "input/buttons.h"
#include "input/joystick.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "settings/config.h"
#include "settings/options.h"

class InputTest : public ::testing::Test {
 public:
  void SetUp() override {
    std::memset(&zbuttons, 0, sizeof zbuttons);
    buttons_clear_masks();
    brim_keys_reset();
    brim_joysticks_reset();
    zurkel_config_default();
    for (int& k : console_config.button_keys) k = 0;
    console_config.joystick_index = 0;
    zopts.glitch_test = 0;
    buttons_set_timing(30, false);
    update_buttons();  // takes the wheel left by earlier tests
    read_buttons();
    std::memset(&zbuttons, 0, sizeof zbuttons);
    buttons_clear_masks();
  }
  void TearDown() override {
    brim_keys_reset();
    brim_joysticks_reset();
    for (int& k : console_config.button_keys) k = 0;
  }

  static void down(int sc) { brim_key_event(sc, true, false, false, false); }
  static void up(int sc) { brim_key_event(sc, false, false, false, false); }
  // One machine frame as the console takes it.
  static void poll() {
    brim_key_frame();
    update_buttons();
    read_buttons();
  }
  static int held(int b, int p) { return zbuttons.held[8 * p + b]; }
  static int btnp(int b, int p) { return zbuttons.pressed[8 * p + b]; }

  // A controller on device slot `index`, validated (centred, nothing down).
  static brim_joystick_device& pad(int index) {
    brim_joysticks.inited = true;
    if (brim_joysticks.count <= index) brim_joysticks.count = index + 1;
    brim_joystick_device& d = brim_joysticks.dev[index];
    d.attached = true;
    d.controller = true;
    return d;
  }
};
