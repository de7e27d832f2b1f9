// A machine with a screen and a loaded cart, for running programs through
// the runner directly.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "cart/pipeline.h"
#include "console/main_loop.h"
#include "gfx/printer.h"
#include "gfx/video.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cart.h"
#include "machine/cpu.h"
#include "machine/machine.h"
#include "runner/errors.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/options.h"
#include "cart/cart_record.h"

struct printed_line {
  std::string text;
  int colour;
};

inline std::vector<printed_line>& printed() {
  static std::vector<printed_line> lines;
  return lines;
}

class RunnerTest : public ::testing::Test {
 protected:
  zurkel_machine machine;

  void SetUp() override {
    machine.screen = brim_create_bitmap(128, 128, 8);
    machine.cart = brim_create_zurkel_cart();
    machine.mode = 0;
    machine.host = &zurkel_console_host;
    zopts.exec = 0;
    console_config.host_framerate_control = 1;
    zopts.fast = 0;
    smoothed_fps = 60 << 16;  // the host keeps up
    printed().clear();
    machine.print_listener = [](const char* t, int c) { printed().push_back({t, c}); };
  }

  void TearDown() override {
    if (machine.L) lua_close(machine.L);
    machine.L = nullptr;
    brim_destroy_bitmap(machine.screen);
    brim_destroy_zurkel_cart(machine.cart);
    brim_destroy_zurkel_cart(machine.loaded.cart);
  }

  // Loads code as the cart and starts it as the main loop's run request does.
  bool start(const std::string& code, const char* params = "") {
    zurkel_cart* cart = get_loaded_cart(&machine);
    std::strncpy(cart->code, code.c_str(), ZURKEL_CODE_BUFFER - 1);
    cart->code[ZURKEL_CODE_BUFFER - 1] = 0;
    std::strncpy(machine.run_args, params, 1024);
    machine.pending_command = 0;  // the main loop clears the request before it runs
    run_cart(&machine);
    machine.pending_command = 0;
    return machine.mode == 1;
  }

  // One update step as the host takes it; carries out stop requests.
  void step() {
    run_slice(&machine);
    if (machine.pending_command == 2) {
      machine.pending_command = 0;
      suspend_program(&machine);
    }
  }

  int global_int(const char* name) {
    lua_State* L = machine.L;
    lua_getglobal(L, name);
    int v = zk_arg_int(L, -1);
    lua_pop(L, 1);
    return v;
  }

  std::string global_str(const char* name) {
    lua_State* L = machine.L;
    lua_getglobal(L, name);
    const char* s = lua_tostring(L, -1);
    std::string v = s ? s : "<nil>";
    lua_pop(L, 1);
    return v;
  }

  bool printed_has(const std::string& text, int colour = -1) {
    for (auto& l : printed())
      if (l.text == text && (colour < 0 || l.colour == colour)) return true;
    return false;
  }

  std::string all_printed() {
    std::string s;
    for (auto& l : printed()) s += "[" + std::to_string(l.colour) + "] " + l.text + "\n";
    return s;
  }
};
