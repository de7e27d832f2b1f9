// A machine driven through the console loop with a virtual clock.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "console/main_loop.h"
#include "host/time.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "lua.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/options.h"
#include "cart/cart_record.h"

class HostLoopTest : public ::testing::Test {
 protected:
  zurkel_machine machine;

  void SetUp() override {
    machine.screen = brim_create_bitmap(128, 128, 8);
    machine.display = brim_create_bitmap(128, 128, 8);
    machine.capture = brim_create_bitmap(128, 128, 8);
    machine.mode = 0;
    machine.host = &zurkel_console_host;
    std::memset(&zcon, 0, sizeof zcon);
    zurkel_options_default();
    brim_config_default();
    zurkel_config_default();
    std::memset(&zbuttons, 0, sizeof zbuttons);
    buttons_clear_masks();
    brim_keys_reset();
    brim_quit = 0;
    brim_set_paused(0);
    host_use_virtual_clock(true);
  }

  void TearDown() override {
    if (machine.L) lua_close(machine.L);
    machine.L = nullptr;
    host_use_virtual_clock(false);
    brim_destroy_zurkel_cart(machine.loaded.cart);
    brim_destroy_bitmap(machine.screen);
    brim_destroy_bitmap(machine.display);
    brim_destroy_bitmap(machine.capture);
  }

  // One host iteration after `sixtieths` of a millisecond.
  void iterate(uint64_t sixtieths) {
    host_advance_virtual_clock(sixtieths);
    brim_main_update(&machine);
  }

  // A running program without a script machine (slices do nothing).
  void pretend_running(int fps) {
    machine.mode = 1;
    machine.fps_target = fps;
    machine.run.program_started = true;
  }

  // Presses a key as the event pump would, then starts the next frame.
  void press_key(int scancode, bool ctrl = false) {
    brim_key_frame();
    brim_key_event(scancode, true, ctrl, false, false);
  }
  void release_all() {
    brim_keys_reset();
  }
};
