#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "api/cartdata.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/heap.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "settings/config.h"

namespace {
std::string read_text(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class CartData : public ::testing::Test {
 protected:
  zurkel_machine machine;
  std::string folder;

  void SetUp() override {
    machine.mode = 1;
    machine.run.program_started = true;
    cartdata_clear_id(&machine);
    // one folder per process: CTest runs these tests side by side
    folder = std::string(::testing::TempDir()) + "zk_cdata_" + std::to_string(getpid()) + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::snprintf(console_config.cdata_path, BRIM_PATH_MAX, "%s", folder.c_str());
  }
  void TearDown() override {
    cartdata_clear_id(&machine);
  }
};
}  // namespace

TEST_F(CartData, FreshSlotReadsFalseAndTheFirstWriteCreatesTheFile) {
  EXPECT_EQ(load_cdata(&machine, "my_game_1"), 1);
  EXPECT_STREQ(cartdata_id(&machine), "my_game_1");
  machine.cartdata[0] = 0x18000;  // dset(0, 1.5)
  machine.cartdata_dirty = true;
  EXPECT_EQ(save_cdata(&machine), 0);
  EXPECT_FALSE(machine.cartdata_dirty);
  std::string text = read_text(folder + "my_game_1.zkd.txt");
  ASSERT_EQ(text.size(), 520u);
  EXPECT_EQ(text.substr(0, 8), "00018000");
  for (int line = 0; line < 8; line++) EXPECT_EQ(text[65 * line + 64], '\n');
  // Next run: the words come back.
  std::memset(machine.cartdata, 0, sizeof machine.cartdata);
  cartdata_clear_id(&machine);
  EXPECT_EQ(load_cdata(&machine, "my_game_1"), 0);
  EXPECT_EQ(machine.cartdata[0], 0x18000u);
  EXPECT_FALSE(std::filesystem::exists(folder + "my_game_1.zkd.txt.tmp"));
}

TEST_F(CartData, BadIdsAndSecondCallsStopTheProgram) {
  EXPECT_EQ(load_cdata(&machine, "My_Game"), 2);
  EXPECT_EQ(machine.pending_command, 4);
  EXPECT_STREQ(machine.fault.error_text, "cart data id: bad char");
  EXPECT_EQ(load_cdata(&machine, std::string(65, 'a').c_str()), 2);
  EXPECT_STREQ(machine.fault.error_text, "cart data id too long");
  EXPECT_EQ(load_cdata(&machine, ""), 2);
  EXPECT_STREQ(machine.fault.error_text, "cart data id too long");
  EXPECT_EQ(load_cdata(&machine, std::string(64, 'a').c_str()), 1);
  EXPECT_EQ(load_cdata(&machine, "other"), 2);
  EXPECT_STREQ(machine.fault.error_text, "cartdata() can only be called once");
}

TEST_F(CartData, NothingHappensBeforeAProgramStarted) {
  machine.run.program_started = false;
  EXPECT_EQ(load_cdata(&machine, "game"), 1);
  EXPECT_STREQ(cartdata_id(&machine), "");
  machine.cartdata_dirty = true;
  EXPECT_EQ(save_cdata(&machine), 0);
  EXPECT_FALSE(std::filesystem::exists(folder + "game.zkd.txt"));
}

TEST_F(CartData, ReaderTakesHexDigitsAnywhereInTheFirst1024Bytes) {
  uint32_t w[64];
  const char* messy = "0001 8000\r\nABCDEF01 zz 2";
  cartdata_parse(messy, static_cast<int>(std::strlen(messy)), w);
  EXPECT_EQ(w[0], 0x18000u);
  EXPECT_EQ(w[1], 0xabcdef01u);
  EXPECT_EQ(w[2], 0x2u);
  EXPECT_EQ(w[3], 0u);
  std::string sixteen = "0000000100000002";
  cartdata_parse(sixteen.c_str(), 16, w);
  EXPECT_EQ(w[0], 1u);
  EXPECT_EQ(w[1], 2u);
  EXPECT_EQ(w[2], 0u);
  std::string late(1024, ' ');
  late += "00000001";
  cartdata_parse(late.c_str(), static_cast<int>(late.size()), w);
  EXPECT_EQ(w[0], 0u);
  uint32_t words[64];
  for (int i = 0; i < 64; i++) words[i] = 0x01010101u * static_cast<uint32_t>(i);
  char text[521];
  cartdata_format(words, text);
  cartdata_parse(text, 520, w);
  EXPECT_EQ(std::memcmp(w, words, sizeof w), 0);
}

TEST_F(CartData, UnwritableFileClearsTheDirtyFlag) {
  std::snprintf(console_config.cdata_path, BRIM_PATH_MAX, "/nonexistent-zk/");
  load_cdata(&machine, "game");
  machine.cartdata_dirty = true;
  EXPECT_EQ(save_cdata(&machine), 1);
  EXPECT_FALSE(machine.cartdata_dirty);
}

TEST_F(CartData, DgetAndDsetUseRawIndexBitsAndNeedASlot) {
  lua_State* L = lua_newstate(zurkel_lua_alloc, &machine);
  lua_register(L, "dget", zk_dget);
  lua_register(L, "dset", zk_dset);
  load_cdata(&machine, "game");
  auto call = [&](const char* fn, int32_t a, int32_t b) {
    lua_getglobal(L, fn);
    zk_push_fix(L, a);
    zk_push_fix(L, b);
    EXPECT_EQ(lua_pcall(L, 2, 1, 0), LUA_OK);
    int32_t r = lua_isnil(L, -1) ? -1 : zk_arg_fix(L, -1);
    lua_pop(L, 1);
    return r;
  };
  call("dset", 3 << 16, 0x18000);
  EXPECT_EQ(machine.cartdata[3], 0x18000u);
  EXPECT_TRUE(machine.cartdata_dirty);
  EXPECT_EQ(call("dget", (3 << 16) | 0xFFFF, 0), 0x18000);
  EXPECT_EQ(call("dget", 64 << 16, 0), 0);
  EXPECT_EQ(call("dget", -(1 << 16), 0), 0);
  machine.cartdata[63] = 7;
  EXPECT_EQ(call("dget", 0x3FFFFF, 0), 7);
  uint32_t snapshot[64];
  std::memcpy(snapshot, machine.cartdata, sizeof snapshot);
  call("dset", 64 << 16, 1 << 16);
  call("dset", -1, 1 << 16);
  EXPECT_EQ(std::memcmp(snapshot, machine.cartdata, sizeof snapshot), 0);
  lua_close(L);
}
