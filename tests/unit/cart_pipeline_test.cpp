#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cart/cart_image.h"
#include "cart/cart_files.h"
#include "machine/memory.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "cart_test_util.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include "cart/embedded_carts.h"
#include "pod/vdisk.h"
#include "gfx/printer.h"
#include "cart/cart_record.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::pair<std::string, int>> printed;
std::vector<std::pair<std::string, int>> banners;
void on_print(const char* text, int colour) { printed.emplace_back(text, colour); }
void on_banner(const char* text, int ms) { banners.emplace_back(text, ms); }

// The console's banner, captured.
zurkel_machine_host banner_host() {
  zurkel_machine_host h = zurkel_quiet_host;
  h.show_message = on_banner;
  return h;
}
const zurkel_machine_host kBannerHost = banner_host();

struct CartPipeline : ::testing::Test {
  std::string data = cart_test_folder("pipe_data");
  std::string carts = cart_test_folder("pipe_carts");
  cart_test_folders folders{data, carts};
  zurkel_machine machine;
  void SetUp() override {
    printed.clear();
    banners.clear();
    machine.print_listener = on_print;
    machine.host = &kBannerHost;
    clear_cstore_file_list(&machine);
  }
  void TearDown() override {
    brim_destroy_zurkel_cart(machine.loaded.cart);
    machine.loaded.cart = nullptr;
    machine.loaded.name[0] = 0;
  }
  bool was_printed(const std::string& text) {
    for (auto& p : printed)
      if (p.first == text) return true;
    return false;
  }
  void write_text_cart(const std::string& path, const char* code, int version = 12) {
    zurkel_cart* c = brim_create_zurkel_cart();
    std::strcpy(c->code, code);
    ASSERT_EQ(brim_save_zurkel_cart(c, path.c_str()), 0);
    brim_destroy_zurkel_cart(c);
    if (version != 12) {
      std::ifstream in(path);
      std::string all((std::istreambuf_iterator<char>(in)), {});
      size_t at = all.find("version 12");
      ASSERT_NE(at, std::string::npos);
      all.replace(at, 10, "version " + std::to_string(version));
      std::ofstream(path) << all;
    }
  }
  void write_png_cart(const std::string& path, const char* code) {
    zurkel_cart* c = brim_create_zurkel_cart();
    std::strcpy(c->code, code);
    ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
    brim_destroy_zurkel_cart(c);
  }
  static std::vector<std::string> files_in(const std::string& dir) {
    std::vector<std::string> names;
    if (fs::exists(dir))
      for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace

TEST_F(CartPipeline, NameVariantsInOrder) {
  // Only game.png: the fourth variant.
  write_png_cart(carts + "game.png", "-- png\n");
  ASSERT_EQ(load_working_cart(&machine, "game"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- png\n");
  EXPECT_EQ(std::string(machine.loaded.name), carts + "game.png");
  // game.zk.png comes before game.png.
  write_png_cart(carts + "game.zk.png", "-- zkpng\n");
  ASSERT_EQ(load_working_cart(&machine, "game"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- zkpng\n");
  // game.zk before both.
  write_text_cart(carts + "game.zk", "-- text\n");
  ASSERT_EQ(load_working_cart(&machine, "game"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- text\n");
  EXPECT_EQ(std::string(machine.loaded.name), carts + "game.zk");
  // The name itself first of all, whatever its format.
  write_png_cart(carts + "game", "-- bare\n");
  ASSERT_EQ(load_working_cart(&machine, "game"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- bare\n");
  EXPECT_EQ(load_working_cart(&machine, "nothing"), 1);
}

TEST_F(CartPipeline, RelativeNamesFallBackToTheNameAsGiven) {
  std::string elsewhere = cart_test_folder("pipe_elsewhere");
  write_text_cart(elsewhere + "far.zk", "-- far\n");
  ASSERT_EQ(load_working_cart(&machine, (elsewhere + "far").c_str()), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- far\n");
}

TEST_F(CartPipeline, SaveCompletesTheName) {
  prepare_loaded_cart(&machine, cart_test_sample(1, "-- saved\n"), nullptr);
  ASSERT_EQ(save_working_cart(&machine, (carts + "game.png").c_str()), 0);
  EXPECT_TRUE(cart_file_exists(carts + "game.zk.png"));
  EXPECT_EQ(std::string(machine.loaded.name), carts + "game.zk.png");
  ASSERT_EQ(save_working_cart(&machine, (carts + "game").c_str()), 0);
  EXPECT_TRUE(cart_file_exists(carts + "game.zk"));
  ASSERT_EQ(save_working_cart(&machine, (carts + "game.zk.png").c_str()), 0);
  EXPECT_EQ(files_in(carts), (std::vector<std::string>{"game.zk", "game.zk.png"}));
  zurkel_cart* back = load_zurkel_cart_any_format(&machine, (carts + "game.zk").c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_STREQ(back->code, "-- saved\n");
  brim_destroy_zurkel_cart(back);
}

TEST_F(CartPipeline, BackupOnlyWhenOverwritingAnotherFile) {
  write_text_cart(carts + "other.zk", "-- the other one\n");
  prepare_loaded_cart(&machine, cart_test_sample(2, "-- mine\n"), nullptr);
  ASSERT_EQ(save_working_cart(&machine, (carts + "mine").c_str()), 0);
  EXPECT_TRUE(files_in(data + "backup/").empty());
  // Saving again to its own file: no backup.
  ASSERT_EQ(save_working_cart(&machine, (carts + "mine.zk").c_str()), 0);
  EXPECT_TRUE(files_in(data + "backup/").empty());
  EXPECT_TRUE(banners.empty());
  // Over another existing file: a byte-for-byte copy first.
  std::vector<uint8_t> before;
  ASSERT_TRUE(cart_read_file(carts + "other.zk", before));
  ASSERT_EQ(save_working_cart(&machine, (carts + "other").c_str()), 0);
  EXPECT_EQ(files_in(data + "backup/"), std::vector<std::string>{"other.zk"});
  std::vector<uint8_t> copy;
  ASSERT_TRUE(cart_read_file(data + "backup/other.zk", copy));
  EXPECT_EQ(copy, before);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0], std::make_pair(std::string("** overwriting; saved backup **"), 2500));
}

TEST_F(CartPipeline, PngSaveRefusesCodeOver15360Bytes) {
  std::mt19937 rng(5);
  std::string code;
  for (int i = 0; i < 15361; i++) code.push_back(static_cast<char>('A' + rng() % 26));
  prepare_loaded_cart(&machine, cart_test_sample(3, code.c_str()), nullptr);
  EXPECT_EQ(save_working_cart(&machine, (carts + "big.png").c_str()), 1);
  EXPECT_FALSE(cart_file_exists(carts + "big.zk.png"));
  EXPECT_TRUE(was_printed("compressed code size too large\n"));
  EXPECT_TRUE(was_printed("15361 / 15360 bytes"));
  // As text it warns and saves anyway.
  printed.clear();
  EXPECT_EQ(save_working_cart(&machine, (carts + "big").c_str()), 0);
  EXPECT_TRUE(cart_file_exists(carts + "big.zk"));
  EXPECT_TRUE(was_printed("warning: compressed code too big"));
  EXPECT_TRUE(was_printed("to be exported or saved as png"));
  EXPECT_TRUE(was_printed("(saving .zk anyway)\n"));
  // One byte less fits.
  code.pop_back();
  prepare_loaded_cart(&machine, cart_test_sample(3, code.c_str()), nullptr);
  printed.clear();
  EXPECT_EQ(save_working_cart(&machine, (carts + "fits.png").c_str()), 0);
  EXPECT_TRUE(cart_file_exists(carts + "fits.zk.png"));
}

TEST_F(CartPipeline, OverLongProgramIsNotSaved) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::memset(c->code, 'a', 65537);
  c->code[65537] = 0;
  prepare_loaded_cart(&machine, c, nullptr);
  ASSERT_GT(std::strlen(machine.loaded.cart->code), 65536u);
  {
    EXPECT_EQ(save_working_cart(&machine, (carts + "long").c_str()), 1);
    EXPECT_TRUE(was_printed("program over size limit\n"));
    EXPECT_FALSE(cart_file_exists(carts + "long.zk"));
  }
}

TEST_F(CartPipeline, BlankLabelWarnsButSaves) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::strcpy(c->code, "x=1");
  prepare_loaded_cart(&machine, c, nullptr);
  EXPECT_EQ(save_working_cart(&machine, (carts + "nolabel.png").c_str()), 0);
  EXPECT_TRUE(was_printed("warning: label is blank"));
  EXPECT_TRUE(was_printed("run cart and use f7 to capture"));
}

TEST_F(CartPipeline, Version4ColumnSwapThenNothing) {
  std::string path = carts + "old.zk";
  {
    zurkel_cart* c = brim_create_zurkel_cart();
    c->sfx[1].speed = 8;
    c->sfx[2].speed = 16;
    c->music[0][0] = 1;
    c->music[0][1] = 65;
    c->music[0][2] = 2;
    c->music[0][3] = 67;
    ASSERT_EQ(brim_save_zurkel_cart(c, path.c_str()), 0);
    brim_destroy_zurkel_cart(c);
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), {});
    all.replace(all.find("version 12"), 10, "version 4");
    std::ofstream(path) << all;
  }
  ASSERT_EQ(load_working_cart(&machine, "old"), 0);
  EXPECT_TRUE(was_printed("legacy: pat 0 swap chan: 0 2"));
  EXPECT_EQ(machine.loaded.cart->music[0][0], 2);
  EXPECT_EQ(machine.loaded.cart->version, 12);
  ASSERT_EQ(save_working_cart(&machine, machine.loaded.name), 0);
  printed.clear();
  ASSERT_EQ(load_working_cart(&machine, "old"), 0);
  EXPECT_TRUE(printed.empty());
  EXPECT_EQ(machine.loaded.cart->music[0][0], 2);
  EXPECT_EQ(machine.loaded.cart->music[0][2], 1);
}

TEST_F(CartPipeline, QuickSaveAndQuickLoad) {
  prepare_loaded_cart(&machine, cart_test_sample(4, "-- quick\n"), nullptr);
  machine.loaded.name[0] = 0;
  do_quick_save(&machine);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0].first, "*** no filename. not saved! ***");
  ASSERT_EQ(save_working_cart(&machine, (carts + "q").c_str()), 0);
  banners.clear();
  do_quick_save(&machine);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0], std::make_pair(std::string("saved q.zk\n"), 1000));
  // Unchanged file: quick load is silent and keeps the cart.
  zurkel_cart* before = machine.loaded.cart;
  banners.clear();
  do_quick_load(&machine);
  EXPECT_TRUE(banners.empty());
  EXPECT_EQ(machine.loaded.cart, before);
  // Changed outside: the new content becomes the loaded cart.
  write_text_cart(carts + "q.zk", "-- edited\n");
  do_quick_load(&machine);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0], std::make_pair(std::string("loaded external changes"), 1000));
  EXPECT_STREQ(machine.loaded.cart->code, "-- edited\n");
  // Edited outside again, then quick-saved: the outside version is kept in
  // backup/ before the file is overwritten.
  write_text_cart(carts + "q.zk", "-- edited again, longer\n");
  banners.clear();
  do_quick_save(&machine);
  ASSERT_EQ(banners.size(), 1u);
  EXPECT_EQ(banners[0], std::make_pair(std::string("** changed on disk; saved backup **"), 2500));
  std::ifstream kept(data + "backup/q.zk");
  std::string backup((std::istreambuf_iterator<char>(kept)), {});
  EXPECT_NE(backup.find("-- edited again, longer"), std::string::npos);
  // Board carts are never overwritten.
  std::snprintf(machine.loaded.name, sizeof machine.loaded.name, "%sbbs/1234.zk.png", data.c_str());
  banners.clear();
  do_quick_save(&machine);
  EXPECT_EQ(banners[0].first, "* can not overwrite bbs cart! *");
}

TEST_F(CartPipeline, SandboxedCstoreDataLaidOverTheCart) {
  zurkel_cart* c = cart_test_sample(6, "-- sandboxed\n");
  char hash[ZURKEL_HASH_SIZE];
  hash_cart(c, hash);
  std::string sandbox = get_sandboxed_cstore_filename(hash);
  EXPECT_EQ(sandbox, data + "cstore/__" + hash + ".zk");
  zurkel_cart* stored = brim_create_zurkel_cart();
  zurkel_poke(nullptr, stored, 0x3000, 0x5A);
  fs::create_directories(data + "cstore");
  ASSERT_EQ(brim_save_zurkel_cart(stored, sandbox.c_str()), 0);
  brim_destroy_zurkel_cart(stored);
  prepare_loaded_cart(&machine, c, nullptr);
  EXPECT_EQ(zurkel_peek(nullptr, machine.loaded.cart, 0x3000), 0x5A);
  EXPECT_EQ(zurkel_peek(nullptr, machine.loaded.cart, 0x0000), 0);
  EXPECT_STREQ(machine.loaded.hash, hash);
  EXPECT_EQ(std::string(machine.loaded.name), sandbox);
}

TEST_F(CartPipeline, CstoreAndReloadOtherFiles) {
  zurkel_machine machine;
  machine.cart = brim_create_zurkel_cart();
  for (int a = 0; a < 16; a++) zurkel_poke(&machine, machine.cart, a, 0x30 + a);
  std::string file = carts + "store.zk";
  EXPECT_EQ(cstore_cart_partial(&machine, file.c_str(), 0x3000, 0, 16, 0), 0);
  EXPECT_EQ(machine.disk_pause, 30);
  zurkel_cart* back = brim_load_zurkel_cart(file.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(zurkel_peek(nullptr, back, 0x3000), 0x30);
  EXPECT_EQ(zurkel_peek(nullptr, back, 0x300F), 0x3F);
  brim_destroy_zurkel_cart(back);
  // Read it back into general memory: addresses from 0x4300 read 0.
  machine.disk_pause = 0;
  EXPECT_EQ(reload_cart_partial(&machine, file.c_str(), 0x4300, 0x3000, 4), 0);
  EXPECT_EQ(machine.disk_pause, 0);  // same file as last time
  EXPECT_EQ(zurkel_peek(&machine, machine.cart, 0x4300), 0x30);
  EXPECT_EQ(zurkel_peek(&machine, machine.cart, 0x4303), 0x33);
  EXPECT_EQ(reload_cart_partial(&machine, (carts + "missing.zk").c_str(), 0, 0, 4), 1);
  // 256 distinct files fit; the 257th is refused and nothing is written.
  clear_cstore_file_list(&machine);
  for (int i = 0; i < 256; i++) {
    std::string f = carts + "f" + std::to_string(i) + ".zk";
    ASSERT_EQ(cstore_cart_partial(&machine, f.c_str(), 0, 0, 1, 0), 0);
  }
  EXPECT_EQ(cstore_cart_partial(&machine, (carts + "f3.zk").c_str(), 0, 0, 1, 0), 0);
  EXPECT_EQ(cstore_cart_partial(&machine, (carts + "f256.zk").c_str(), 0, 0, 1, 0), 3);
  EXPECT_FALSE(cart_file_exists(carts + "f256.zk"));
  brim_destroy_zurkel_cart(machine.cart);
}

TEST_F(CartPipeline, BinaryRomDump) {
  std::vector<uint8_t> rom(20000);
  for (size_t i = 0; i < rom.size(); i++) rom[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(cart_write_file(carts + "dump.bin", rom.data(), 100));
  zurkel_cart* c = load_zurkel_cart_bin((carts + "dump.bin").c_str());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(zurkel_peek(nullptr, c, 99), (99 * 7) & 0xFF);
  EXPECT_EQ(zurkel_peek(nullptr, c, 0x3000), 0);
  EXPECT_STREQ(c->code, "");
  brim_destroy_zurkel_cart(c);
}

TEST(CartClipboard, HexTextRoundTrip) {
  std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', 0, 255, 16};
  std::string text = cart_clipboard_text(bytes);
  EXPECT_EQ(text, "[cart]89504e4700ff10[/cart]");
  EXPECT_EQ(cart_clipboard_bytes(text), bytes);
  // A last single digit is dropped; bad digits read as 0.
  EXPECT_EQ(cart_clipboard_bytes("[cart]abc"), std::vector<uint8_t>{0xab});
  EXPECT_EQ(cart_clipboard_bytes("[cart]zz1"), std::vector<uint8_t>{0x00});
  EXPECT_TRUE(cart_clipboard_bytes("[cart]").empty());
}

TEST_F(CartPipeline, EmbeddedCartsFoundOnTheVirtualDisk) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::strcpy(c->code, "-- embedded\n");
  mount_embedded_cart(c, "tiny.zk");
  brim_destroy_zurkel_cart(c);
  // Not in the cartridge folder: the virtual disk gives it by name.
  ASSERT_EQ(load_working_cart(&machine, "tiny"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- embedded\n");
  // A real file in the cartridge folder wins over the embedded one.
  write_text_cart(carts + "tiny.zk", "-- on disk\n");
  ASSERT_EQ(load_working_cart(&machine, "tiny"), 0);
  EXPECT_STREQ(machine.loaded.cart->code, "-- on disk\n");
  clear_embedded_carts();
  brim_vdisk_clear();
}
