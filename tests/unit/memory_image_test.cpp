#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "cart/cart_image.h"
#include "cart/cart_record.h"
#include "cart/pipeline.h"
#include "machine/machine.h"

namespace {

zurkel_cart* sample_cart() {
  zurkel_cart* c = brim_create_zurkel_cart();
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) zurkel_poke(nullptr, c, a, (a * 7 + 3) & 0xFF);
  std::strcpy(c->code, "-- hello\nprint(\"hi\")\n");
  return c;
}

TEST(CartImage, RoundTripRomAndCode) {
  zurkel_cart* c = sample_cart();
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0xEE);
  ASSERT_EQ(save_zurkel_cart_32k(c, image.data()), 0);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) ASSERT_EQ(image[a], zurkel_peek(nullptr, c, a)) << a;
  zurkel_cart* d = brim_create_zurkel_cart();
  std::strcpy(d->code, "old code that must go away");
  ASSERT_EQ(load_zurkel_cart_32k(d, image.data()), 0);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    ASSERT_EQ(zurkel_peek(nullptr, d, a), zurkel_peek(nullptr, c, a)) << a;
  EXPECT_STREQ(d->code, c->code);
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(d);
}

TEST(CartImage, PlainCodeIsCopied15360Bytes) {
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0);
  std::memset(image.data() + 0x4300, 'x', 0x3D00);  // no terminator at all
  zurkel_cart* d = brim_create_zurkel_cart();
  d->code[20000] = 'q';
  ASSERT_EQ(load_zurkel_cart_32k(d, image.data()), 0);
  EXPECT_EQ(std::strlen(d->code), 15360u);
  EXPECT_EQ(d->code[20000], 0);  // the buffer was cleared first
  brim_destroy_zurkel_cart(d);
}

TEST(CartImage, MissingCodeBufferIsCreated) {
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0);
  std::memcpy(image.data() + 0x4300, "cls()", 5);
  zurkel_cart* d = brim_create_zurkel_cart();
  std::free(d->code);
  d->code = nullptr;
  ASSERT_EQ(load_zurkel_cart_32k(d, image.data()), 0);
  ASSERT_NE(d->code, nullptr);
  EXPECT_STREQ(d->code, "cls()");
  brim_destroy_zurkel_cart(d);
}

// Text that does not compress: random printable noise.
void fill_noise(char* code, int n) {
  uint32_t x = 12345;
  for (int i = 0; i < n; i++) {
    x = x * 1103515245 + 12345;
    code[i] = static_cast<char>('!' + (x >> 16) % 90);
  }
  code[n] = 0;
}

TEST(CartImage, TooMuchCodeFailsWithRomOnly) {
  zurkel_cart* c = sample_cart();
  fill_noise(c->code, 40000);
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0xEE);
  EXPECT_EQ(save_zurkel_cart_32k(c, image.data()), 1);
  EXPECT_EQ(image[0x10], zurkel_peek(nullptr, c, 0x10));
  for (int a = 0x4300; a < ZURKEL_IMAGE_SIZE; a++) ASSERT_EQ(image[a], 0) << a;
  brim_destroy_zurkel_cart(c);
}

TEST(CartImage, DamagedBlockReportsFailure) {
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0);
  const uint8_t block[] = {':', 'c', ':', 0, 0x00, 0x10, 0, 0, 0xFF, 0xFF};  // reference before start
  std::memcpy(image.data() + 0x4300, block, sizeof block);
  zurkel_cart* d = brim_create_zurkel_cart();
  EXPECT_EQ(load_zurkel_cart_32k(d, image.data()), 1);
  EXPECT_STREQ(d->code, "");
  brim_destroy_zurkel_cart(d);
}

TEST(CartHash, FortyLowercaseHexAndStable) {
  zurkel_cart* c = sample_cart();
  char h1[ZURKEL_HASH_SIZE], h2[ZURKEL_HASH_SIZE];
  hash_cart(c, h1);
  hash_cart(c, h2);
  EXPECT_EQ(std::strlen(h1), 40u);
  for (char ch : std::string(h1)) EXPECT_TRUE((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f'));
  EXPECT_STREQ(h1, h2);
  zurkel_poke(nullptr, c, 0x3000, 1 + zurkel_peek(nullptr, c, 0x3000));
  hash_cart(c, h2);
  EXPECT_STRNE(h1, h2);
  brim_destroy_zurkel_cart(c);
}

TEST(CartHash, KnownDigest) {
  char out[ZURKEL_HASH_SIZE];
  zurkel_sha1_hex("abc", 3, out);
  EXPECT_STREQ(out, "a9993e364706816aba3e25717850c26c9cd0d89d");
  // The hash is the SHA-1 of the image bytes.
  zurkel_cart* c = brim_create_zurkel_cart();
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE);
  save_zurkel_cart_32k(c, image.data());
  char want[ZURKEL_HASH_SIZE];
  zurkel_sha1_hex(image.data(), ZURKEL_IMAGE_SIZE, want);
  hash_cart(c, out);
  EXPECT_STREQ(out, want);
  brim_destroy_zurkel_cart(c);
}

TEST(CartHash, OversizedCodeHashesTheCodeHash) {
  zurkel_cart* c = sample_cart();
  fill_noise(c->code, 40000);
  std::string code = c->code;
  char h[ZURKEL_HASH_SIZE];
  hash_cart(c, h);
  EXPECT_EQ(code, c->code);  // the code is put back
  zurkel_cart* stand_in = sample_cart();
  zurkel_sha1_hex(code.data(), static_cast<int>(code.size()), stand_in->code);
  char want[ZURKEL_HASH_SIZE];
  hash_cart(stand_in, want);
  EXPECT_STREQ(h, want);
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(stand_in);
}

TEST(LoadedCart, SetTakesOwnershipNameAndHash) {
  zurkel_machine m;
  zurkel_cart* a = sample_cart();
  set_loaded_cart(&m, a, "carts/a.zk");
  EXPECT_EQ(m.loaded.cart, a);
  EXPECT_STREQ(m.loaded.name, "carts/a.zk");
  char h[ZURKEL_HASH_SIZE];
  hash_cart(a, h);
  EXPECT_STREQ(m.loaded.hash, h);
  zurkel_cart* b = brim_create_zurkel_cart();
  set_loaded_cart(&m, b, nullptr);  // a is destroyed
  EXPECT_EQ(m.loaded.cart, b);
  EXPECT_STREQ(m.loaded.name, "");
  set_loaded_cart(&m, nullptr, "x");  // ignored
  EXPECT_EQ(m.loaded.cart, b);
  brim_destroy_zurkel_cart(b);
}

}  // namespace
