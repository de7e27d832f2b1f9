// A machine with a screen and a loaded cart, for running programs through
// the runner directly.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "gfx/video.h"
#include "lang/zk_args.h"
#include "lua.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "runner/cpu.h"
#include "runner/errors.h"
#include "runner/links.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/options.h"
#include "gfx/printer.h"

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
    pstate = &machine;
    zurkel_run_chain_item* chain = zrun.run_chain;
    zrun = zurkel_runner{};
    zrun.run_chain = chain;
    cpu_reset_all();
    zopts.exec = 0;
    console_config.host_framerate_control = 1;
    zopts.fast = 0;
    smoothed_fps = 60 << 16;  // the host keeps up
    printed().clear();
    zurkel_set_print_listener([](const char* t, int c) { printed().push_back({t, c}); });
  }

  void TearDown() override {
    zurkel_set_print_listener(nullptr);
    lua_State* L = prog_machine();
    prog_set_machine(nullptr);
    prog_close_lua_state(L);
    pstate = nullptr;
    brim_destroy_bitmap(machine.screen);
    brim_destroy_zurkel_cart(machine.cart);
  }

  // Loads code as the cart and starts it as the main loop's run request does.
  bool start(const std::string& code, const char* params = "") {
    zurkel_cart* cart = prog_loaded_cart();
    std::strncpy(cart->code, code.c_str(), ZURKEL_CODE_BUFFER - 1);
    cart->code[ZURKEL_CODE_BUFFER - 1] = 0;
    std::strncpy(machine.run_args, params, 1024);
    machine.pending_command = 0;  // the main loop clears the request before it runs
    run_cart();
    machine.pending_command = 0;
    return machine.mode == 1;
  }

  // One update step as the host takes it; carries out stop requests.
  void step() {
    run_slice();
    if (machine.pending_command == 2) {
      machine.pending_command = 0;
      suspend_program();
    }
  }

  int global_int(const char* name) {
    lua_State* L = prog_machine();
    lua_getglobal(L, name);
    int v = zk_arg_int(L, -1);
    lua_pop(L, 1);
    return v;
  }

  std::string global_str(const char* name) {
    lua_State* L = prog_machine();
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
