#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_names.h"
#include "cart/legacy.h"
#include "machine/cart.h"
#include "gfx/printer.h"
#include "machine/machine.h"
#include "cart/cart_record.h"

namespace {

std::vector<std::string> lines;
void capture(const char* text, int) { lines.emplace_back(text); }

struct CartLegacy : ::testing::Test {
  zurkel_cart* cart = brim_create_zurkel_cart();
  zurkel_machine machine;
  void SetUp() override {
    lines.clear();
    machine.print_listener = capture;
  }
  void TearDown() override { brim_destroy_zurkel_cart(cart); }
};

}  // namespace

TEST_F(CartLegacy, Version4SwapsTheLongestOneShotIntoColumnZero) {
  cart->version = 4;
  cart->sfx[1].speed = 8;   // 256 ticks, no loop
  cart->sfx[2].speed = 16;  // 512 ticks, no loop
  cart->sfx[3].speed = 30;  // longer but looping: does not count as one-shot
  cart->sfx[3].loop_start = 0;
  cart->sfx[3].loop_end = 8;
  cart->music[5][0] = 1;
  cart->music[5][1] = 65;
  cart->music[5][2] = 2;
  cart->music[5][3] = 68;
  cart->music[6][0] = 1;
  cart->music[6][1] = 2;
  cart->music[6][2] = 3;  // longest is the looping 3: no column matches
  cart->music[6][3] = 65;
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(cart->music[5][0], 2);
  EXPECT_EQ(cart->music[5][2], 1);
  EXPECT_EQ(cart->music[6][0], 1);
  EXPECT_EQ(cart->music[6][1], 2);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "legacy: pat 5 swap chan: 0 2");
  EXPECT_EQ(cart->version, 12);
  // A second load of the saved cart (now version 12) changes nothing.
  lines.clear();
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(cart->music[5][0], 2);
  EXPECT_EQ(cart->music[5][2], 1);
  EXPECT_TRUE(lines.empty());
}

TEST_F(CartLegacy, NoSwapWhenTheFirstOneShotIsTheLongest) {
  cart->version = 3;
  cart->sfx[1].speed = 16;
  cart->sfx[2].speed = 16;
  cart->sfx[4].speed = 4;
  cart->sfx[4].loop_start = 0;
  cart->sfx[4].loop_end = 4;
  // First one-shot column is 1 (short), column 0 is full length and loops not.
  cart->music[0][0] = 4;  // looping, short
  cart->music[0][1] = 1;
  cart->music[0][2] = 2;
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(cart->music[0][0], 4);
  EXPECT_TRUE(lines.empty());
}

TEST_F(CartLegacy, NoiseVolumeAndSlides) {
  cart->version = 4;
  cart->sfx[0].notes[0] = {10, 6, 7, 0, 0};
  cart->sfx[0].notes[1] = {10, 6, 6, 0, 0};
  cart->sfx[0].notes[2] = {10, 6, 4, 0, 0};
  cart->sfx[0].notes[3] = {10, 5, 7, 0, 0};
  cart->sfx[0].notes[4] = {10, 1, 0, 1, 0};
  cart->sfx[0].notes[5] = {10, 1, 2, 1, 0};
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(cart->sfx[0].notes[0].volume, 5);
  EXPECT_EQ(cart->sfx[0].notes[1].volume, 5);
  EXPECT_EQ(cart->sfx[0].notes[2].volume, 4);
  EXPECT_EQ(cart->sfx[0].notes[3].volume, 7);
  EXPECT_EQ(cart->sfx[0].notes[4].effect, 0);
  EXPECT_EQ(cart->sfx[0].notes[5].effect, 1);
}

TEST_F(CartLegacy, SlidesStayWhenANewerFeatureIsUsed) {
  cart->version = 10;
  cart->sfx[0].notes[4] = {10, 1, 0, 1, 0};
  cart->sfx[9].notes[0].flags = 0x80;
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(cart->sfx[0].notes[4].effect, 1);
  // Version 11 carts are never touched.
  zurkel_cart* c = brim_create_zurkel_cart();
  c->version = 11;
  c->sfx[0].notes[4] = {10, 1, 0, 1, 0};
  apply_legacy_changes(&machine, c);
  EXPECT_EQ(c->sfx[0].notes[4].effect, 1);
  EXPECT_EQ(c->version, 12);
  brim_destroy_zurkel_cart(c);
}

TEST_F(CartLegacy, OldCollectionFunctionsPrependedOnce) {
  EXPECT_EQ(std::strlen(ZURKEL_LEGACY_011_BLOCK), 1271u);
  EXPECT_EQ(std::string(ZURKEL_LEGACY_011_BLOCK).substr(0, 62),
            "--------------------------------\n-- legacy 0.1.1 api injected\n");
  std::string code = std::string("x=1\n") + ZURKEL_LEGACY_011_STATEMENT + "\n";
  std::strcpy(cart->code, code.c_str());
  cart->version = 2;
  apply_legacy_changes(&machine, cart);
  EXPECT_EQ(std::string(cart->code), std::string(ZURKEL_LEGACY_011_BLOCK) + code);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "legacy: 0.1.1 api injected");
  // Without the statement, or at a newer version, nothing is added.
  zurkel_cart* c = brim_create_zurkel_cart();
  std::strcpy(c->code, "x=1\n");
  c->version = 2;
  apply_legacy_changes(&machine, c);
  EXPECT_STREQ(c->code, "x=1\n");
  brim_destroy_zurkel_cart(c);
}

TEST(CartNames, ExtensionCompletion) {
  EXPECT_EQ(inject_zk_extention(std::string("game")), "game.zk");
  EXPECT_EQ(inject_zk_extention(std::string("game.png")), "game.zk.png");
  EXPECT_EQ(inject_zk_extention(std::string("game.txt")), "game.txt.zk");
  EXPECT_EQ(inject_zk_extention(std::string("game.zk.png")), "game.zk.png");
  EXPECT_EQ(inject_zk_extention(std::string("game.zk")), "game.zk");
  EXPECT_EQ(inject_zk_extention(std::string("my.carts/game")), "my.carts/game.zk");
  EXPECT_EQ(inject_zk_extention(std::string("a/b.png")), "a/b.zk.png");
  char out[ZURKEL_FILE_NAME_MAX];
  inject_zk_extention("x.png", out);
  EXPECT_STREQ(out, "x.zk.png");
  EXPECT_TRUE(cart_name_is_clipboard("@clip.zk.png"));
  EXPECT_FALSE(cart_name_is_clipboard("@clip.txt"));
}
