// The memory functions of the script API driven through a script state.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>

#include "api/registry.h"
#include "cart/pipeline.h"
#include "cart_test_util.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/heap.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include "machine/cpu.h"
#include "cart/cart_record.h"

namespace {

struct MemApi : ::testing::Test {
  std::unique_ptr<zurkel_machine> m = std::make_unique<zurkel_machine>();
  lua_State* L = nullptr;
  std::string folder = cart_test_folder("memapi");
  cart_test_folders folders{folder, folder};

  void SetUp() override {
    m->cart = brim_create_zurkel_cart();
    m->screen = brim_create_bitmap(128, 128, 8);
    m->loaded.cart = brim_create_zurkel_cart();
    L = lua_newstate(zurkel_lua_alloc, m.get());
    for (const zk_api_entry* e = zk_memory_api; e->name; e++) lua_register(L, e->name, e->fn);
  }
  void TearDown() override {
    lua_close(L);
    std::filesystem::remove_all(folder);
    brim_destroy_zurkel_cart(m->loaded.cart);
    brim_destroy_zurkel_cart(m->cart);
    brim_destroy_bitmap(m->screen);
  }
  void run(const std::string& code) {
    ASSERT_EQ(luaL_dostring(L, code.c_str()), 0) << lua_tostring(L, -1);
  }
  // Integer value of an expression.
  int eval(const std::string& expr) {
    lua_settop(L, 0);
    if (luaL_dostring(L, ("return " + expr).c_str()) != 0) return -99999;
    return zk_arg_int(L, 1);
  }
  int peek(int a) { return zurkel_peek(m.get(), m->cart, a); }
};

TEST_F(MemApi, PeekTakesTheIntegerPartOfTheAddress) {
  zurkel_poke(m.get(), m->cart, 0x5F00, 0x13);
  zurkel_poke(m.get(), m->cart, 0x4300, 0x42);
  EXPECT_EQ(eval("peek(0x5f00.8)"), peek(0x5F00));
  EXPECT_EQ(eval("peek(0x4300.8)"), 0x42);
  EXPECT_EQ(eval("peek(0x8000)"), 0);
  EXPECT_EQ(eval("peek()"), peek(0));
}

TEST_F(MemApi, PokeStoresTheLowByte) {
  run("poke(0x6000, 257)");
  EXPECT_EQ(peek(0x6000), 1);
  EXPECT_EQ(m->screen->line[0][0], 1);
  EXPECT_EQ(m->screen->line[0][1], 0);
  run("poke(0x4300.9, 0x1ab)");
  EXPECT_EQ(peek(0x4300), 0xAB);
}

TEST_F(MemApi, MemsetFillsTheScreenAndChargesHalfTheLength) {
  run("memset(0x6000, 0x77, 0x2000)");
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) ASSERT_EQ(m->screen->line[y][x], 7) << x << "," << y;
  run("memset(0x6000, 7, 0x2000)");
  EXPECT_EQ(m->screen->line[5][0], 7);
  EXPECT_EQ(m->screen->line[5][1], 0);
  EXPECT_EQ(m->screen->line[127][126], 7);
  EXPECT_EQ(m->screen->line[127][127], 0);
}

TEST_F(MemApi, MemcpyOfNoBytesChangesNothing) {
  zurkel_poke(m.get(), m->cart, 0x4300, 9);
  run("memcpy(0x4300, 0x4400, 0)");
  EXPECT_EQ(peek(0x4300), 9);
}

TEST_F(MemApi, MemcpyOverlappingUpward) {
  for (int i = 0; i < 8; i++) zurkel_poke(m.get(), m->cart, 0x4300 + i, i + 1);
  run("memcpy(0x4302, 0x4300, 6)");
  const int want[8] = {1, 2, 1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 8; i++) EXPECT_EQ(peek(0x4300 + i), want[i]) << i;
}

TEST_F(MemApi, MemcpyOverlappingDownward) {
  for (int i = 0; i < 8; i++) zurkel_poke(m.get(), m->cart, 0x4300 + i, i + 1);
  run("memcpy(0x4300, 0x4302, 6)");
  const int want[8] = {3, 4, 5, 6, 7, 8, 7, 8};
  for (int i = 0; i < 8; i++) EXPECT_EQ(peek(0x4300 + i), want[i]) << i;
}

TEST_F(MemApi, ReloadWithoutArgumentsRestoresTheRomPart) {
  zurkel_poke(nullptr, m->loaded.cart, 0x0000, 0x12);
  zurkel_poke(nullptr, m->loaded.cart, 0x42FF, 0x34);
  zurkel_poke(m.get(), m->cart, 0x4300, 0x99);
  EXPECT_EQ(eval("reload()"), 0x4300);
  EXPECT_EQ(peek(0x0000), 0x12);
  EXPECT_EQ(peek(0x42FF), 0x34);
  EXPECT_EQ(peek(0x4300), 0x99);  // general memory is not part of the ROM
}

TEST_F(MemApi, ReloadFromTheRamPartWritesZeros) {
  for (int i = 0; i < 4; i++) zurkel_poke(m.get(), m->cart, 0x4300 + i, 0xEE);
  EXPECT_EQ(eval("reload(0x4300, 0x4300, 4)"), 4);
  for (int i = 0; i < 4; i++) EXPECT_EQ(peek(0x4300 + i), 0);
}

TEST_F(MemApi, DoubleUnderscoreNamesAreRefused) {
  zurkel_poke(m.get(), m->cart, 0, 0x55);
  EXPECT_EQ(eval("reload(0, 0, 0x100, '__x')"), 0);
  EXPECT_EQ(peek(0), 0x55);
  EXPECT_EQ(eval("cstore(0, 0, 16, '__x')"), 0);
  EXPECT_EQ(cstore_file_count(m.get()), 0);
}

TEST_F(MemApi, NamesClimbingOutOfTheFolderAreRefused) {
  EXPECT_EQ(eval("cstore(0, 0, 16, '../escape.zk')"), 0);
  EXPECT_FALSE(std::filesystem::exists(folder + "escape.zk"));
  EXPECT_EQ(eval("cstore(0, 0, 16, '" + std::string(512, 'a') + "')"), 0);
}

TEST_F(MemApi, CstoreThenReloadRoundTripsThroughAFile) {
  for (int i = 0; i < 0x2000; i++) zurkel_poke(m.get(), m->cart, i, (i * 7 + 3) & 0xFF);
  EXPECT_EQ(eval("cstore(0, 0, 0x2000, '/a.zk')"), 0x2000);
  EXPECT_TRUE(std::filesystem::exists(folder + "cstore/a.zk"));
  EXPECT_EQ(m->disk_pause, 30);
  // The loaded cart is untouched when a name is given.
  EXPECT_EQ(zurkel_peek(nullptr, m->loaded.cart, 1), 0);
  m->disk_pause = 0;
  EXPECT_EQ(eval("reload(0x4300, 0, 0x2000, 'a.zk')"), 0x2000);
  for (int i = 0; i < 0x1C00; i++) ASSERT_EQ(peek(0x4300 + i), (i * 7 + 3) & 0xFF) << i;
  // Same file as last time: no new disk pause.
  EXPECT_EQ(m->disk_pause, 0);
}

TEST_F(MemApi, ReloadOfAMissingFileChangesNothing) {
  zurkel_poke(m.get(), m->cart, 0x10, 0x66);
  EXPECT_EQ(eval("reload(0x10, 0, 4, 'missing.zk')"), 0);
  EXPECT_EQ(peek(0x10), 0x66);
}

TEST_F(MemApi, CstoreWithoutANameWritesTheSandboxedFileAndTheLoadedCart) {
  std::snprintf(m->loaded.hash, ZURKEL_HASH_SIZE, "%s", "0123456789abcdef0123456789abcdef01234567");
  zurkel_poke(m.get(), m->cart, 5, 0xA7);
  EXPECT_EQ(eval("cstore()"), 0x4300);
  EXPECT_EQ(zurkel_peek(nullptr, m->loaded.cart, 5), 0xA7);
  std::string file = folder + "cstore/__0123456789abcdef0123456789abcdef01234567.zk";
  ASSERT_TRUE(std::filesystem::exists(file));
  zurkel_cart* stored = load_zurkel_cart_any_format(m.get(), file.c_str());
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(zurkel_peek(nullptr, stored, 5), 0xA7);
  brim_destroy_zurkel_cart(stored);
  m->loaded.hash[0] = 0;
}

TEST_F(MemApi, TheWrittenFilesListHoldsAtMost256Names) {
  for (int i = 0; i < 256; i++)
    ASSERT_EQ(eval("cstore(0, 0, 1, 'f" + std::to_string(i) + ".zk')"), 1) << i;
  EXPECT_EQ(eval("cstore(0, 0, 1, 'f256.zk')"), 0);
  EXPECT_FALSE(std::filesystem::exists(folder + "cstore/f256.zk"));
  EXPECT_EQ(eval("cstore(0, 0, 1, 'f3.zk')"), 1);  // a known name still works
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The target is written to a temporary file and renamed over the old one, so
// a write that fails (here: the temporary name is taken by a folder) leaves
// the existing file exactly as it was.
TEST_F(MemApi, AFailedCstoreLeavesTheExistingFileIntact) {
  for (const std::string name : {"keep.zk", "keep.zk.png"}) {
    zurkel_poke(m.get(), m->cart, 0, 0x11);
    ASSERT_EQ(eval("cstore(0, 0, 16, '" + name + "')"), 16) << name;
    std::string file = folder + "cstore/" + name;
    std::string before = read_file(file);
    ASSERT_FALSE(before.empty());
    std::string temp = file + (name == "keep.zk" ? ".tmp" : ".tmp" + std::to_string(getpid()));
    std::filesystem::create_directory(temp);
    zurkel_poke(m.get(), m->cart, 0, 0x22);
    EXPECT_EQ(eval("cstore(0, 0, 16, '" + name + "')"), 0) << name;
    EXPECT_EQ(read_file(file), before) << name;
    std::filesystem::remove(temp);
    EXPECT_EQ(eval("cstore(0, 0, 16, '" + name + "')"), 16) << name;
    EXPECT_NE(read_file(file), before) << name;
    for (const auto& e : std::filesystem::directory_iterator(folder + "cstore"))
      EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
  }
}

}  // namespace
