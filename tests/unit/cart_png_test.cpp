#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cart/cart_image.h"
#include "cart/cart_files.h"
#include "machine/memory.h"
#include "cart/code_image.h"
#include "cart/compress.h"
#include "cart/pngcart.h"
#include "gfx/font.h"
#include "pod/stream.h"
#include "pod/vdisk.h"
#include "cart_test_util.h"
#include "machine/machine.h"
#include "gfx/printer.h"
#include "cart/cart_record.h"

namespace {

std::vector<std::pair<std::string, int>> printed;
void capture_print(const char* text, int colour) { printed.emplace_back(text, colour); }

struct CartPng : ::testing::Test {
  std::string dir = cart_test_folder("png");
  cart_test_palette palette;
  zurkel_machine machine;
  void SetUp() override {
    printed.clear();
    machine.print_listener = capture_print;
  }
};

const char* kCode = "-- star hopper\n-- by someone\nfunction _draw()\n cls()\n print(\"hi\")\nend\n";

std::string random_upper(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  for (int i = 0; i < n; i++) s.push_back(static_cast<char>('A' + rng() % 26));
  return s;
}

}  // namespace

TEST_F(CartPng, SaveLoadRoundTripsRomCodeAndLabel) {
  zurkel_cart* c = cart_test_sample(1, kCode);
  std::string path = dir + "hop.zk.png";
  ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
  zurkel_cart* back = load_zurkel_cart_png(path.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(zurkel_png_load_error, 0);
  EXPECT_TRUE(cart_test_same_rom(c, back));
  EXPECT_STREQ(back->code, kCode);
  EXPECT_EQ(back->version, 12);
  ASSERT_NE(back->label, nullptr);
  EXPECT_EQ(std::memcmp(back->label->data, c->label->data, 128 * 128), 0);

  unsigned w = 0, h = 0;
  std::vector<uint8_t> rgba;
  ASSERT_EQ(lodepng::decode(rgba, w, h, path), 0u);
  EXPECT_EQ(w, 160u);
  EXPECT_EQ(h, 205u);
  // Trailer bytes: version, 0, 1, 16, 'm'; the pixels after them are clear.
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD);
  cart_png_reveal(rgba.data(), payload.data());
  EXPECT_EQ(payload[0x8000], 12);
  EXPECT_EQ(payload[0x8001], 0);
  EXPECT_EQ(payload[0x8002], 1);
  EXPECT_EQ(payload[0x8003], 16);
  EXPECT_EQ(payload[0x8004], 'm');
  for (size_t i = ZURKEL_PNG_PAYLOAD * 4; i < rgba.size(); i++) ASSERT_EQ(rgba[i] & 3, 0);
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(back);
}

TEST_F(CartPng, PayloadBitsGoBlueGreenRedAlpha) {
  brim_bitmap* pic = brim_create_bitmap(160, 205, 32);
  std::memset(pic->data, 0xFF, 160 * 205 * 4);
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD, 0);
  payload[0] = 0b11100100;  // alpha 3, red 2, green 1, blue 0
  cart_png_hide(pic, payload.data());
  EXPECT_EQ(pic->data[0], 0xFC);  // blue
  EXPECT_EQ(pic->data[1], 0xFD);  // green
  EXPECT_EQ(pic->data[2], 0xFE);  // red
  EXPECT_EQ(pic->data[3], 0xFF);  // alpha
  EXPECT_EQ(pic->data[160 * 205 * 4 - 1], 0xFC);
  brim_destroy_bitmap(pic);
}

TEST_F(CartPng, LosslessRecompressionKeepsThePayload) {
  zurkel_cart* c = cart_test_sample(2, kCode);
  std::string path = dir + "a.zk.png", again = dir + "b.zk.png";
  ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
  std::vector<uint8_t> rgba, png;
  unsigned w, h;
  ASSERT_EQ(lodepng::decode(rgba, w, h, path), 0u);
  lodepng::State state;
  state.encoder.filter_strategy = LFS_ZERO;
  state.encoder.zlibsettings.btype = 1;
  state.encoder.zlibsettings.windowsize = 512;
  state.encoder.auto_convert = 0;
  ASSERT_EQ(lodepng::encode(png, rgba, w, h, state), 0u);
  ASSERT_TRUE(cart_write_file(again, png.data(), png.size()));
  std::vector<uint8_t> first;
  ASSERT_TRUE(cart_read_file(path, first));
  EXPECT_NE(first, png);  // really a different file
  zurkel_cart* back = load_zurkel_cart_png(again.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(cart_test_same_rom(c, back));
  EXPECT_STREQ(back->code, kCode);
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(back);
}

TEST_F(CartPng, LowBitsCarryThePayloadHighBitsDoNot) {
  zurkel_cart* c = cart_test_sample(3, kCode);
  std::string path = dir + "c.zk.png";
  ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
  std::vector<uint8_t> rgba, png;
  unsigned w, h;
  ASSERT_EQ(lodepng::decode(rgba, w, h, path), 0u);
  std::vector<uint8_t> before(ZURKEL_PNG_PAYLOAD), after(ZURKEL_PNG_PAYLOAD);
  cart_png_reveal(rgba.data(), before.data());
  rgba[4 * 100 + 0] ^= 0xF0;  // red, high bits only
  cart_png_reveal(rgba.data(), after.data());
  EXPECT_EQ(before, after);
  rgba[4 * 100 + 0] ^= 0x01;  // red, low bit: payload byte 100 bit 4
  cart_png_reveal(rgba.data(), after.data());
  EXPECT_EQ(after[100], before[100] ^ 0x10);
  brim_destroy_zurkel_cart(c);
}

TEST_F(CartPng, FutureVersionIsRefused) {
  zurkel_cart* c = cart_test_sample(4, kCode);
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD);
  ASSERT_TRUE(cart_png_payload(c, payload.data()));
  payload[0x8000] = 13;
  brim_bitmap* pic = cart_png_picture(c);
  cart_png_hide(pic, payload.data());
  std::vector<uint8_t> png;
  ASSERT_TRUE(cart_png_encode(pic, png));
  EXPECT_EQ(load_zurkel_cart_png_from_memory(png.data(), png.size(), &machine), nullptr);
  EXPECT_EQ(zurkel_png_load_error, 3);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].first, "future_version: 13");
  // Version 12 in the same picture loads.
  payload[0x8000] = 12;
  cart_png_hide(pic, payload.data());
  ASSERT_TRUE(cart_png_encode(pic, png));
  zurkel_cart* ok = load_zurkel_cart_png_from_memory(png.data(), png.size());
  EXPECT_NE(ok, nullptr);
  EXPECT_EQ(zurkel_png_load_error, 0);
  brim_destroy_zurkel_cart(ok);
  brim_destroy_bitmap(pic);
  brim_destroy_zurkel_cart(c);
}

TEST_F(CartPng, ErrorCodes) {
  const uint8_t junk[] = {1, 2, 3, 4, 5};
  EXPECT_EQ(load_zurkel_cart_png_from_memory(junk, sizeof junk), nullptr);
  EXPECT_EQ(zurkel_png_load_error, 1);
  std::vector<uint8_t> small(100 * 100 * 4, 0x80), png;
  ASSERT_EQ(lodepng::encode(png, small, 100, 100), 0u);
  EXPECT_EQ(load_zurkel_cart_png_from_memory(png.data(), png.size()), nullptr);
  EXPECT_EQ(zurkel_png_load_error, 2);
  EXPECT_EQ(load_zurkel_cart_png((dir + "missing.zk.png").c_str()), nullptr);
  EXPECT_EQ(zurkel_png_load_error, 2);
  std::string path = dir + "small.png";
  ASSERT_TRUE(cart_write_file(path, png.data(), png.size()));
  EXPECT_EQ(create_label_from_file(path.c_str()), nullptr);
}

TEST_F(CartPng, CodeSizeLimitIs15360StoredBytes) {
  // Uppercase letters are outside the table, so such text stays plain and
  // its stored size is its length.
  zurkel_cart* c = cart_test_sample(5, "");
  std::string fits = random_upper(15360, 9), over = random_upper(15361, 9);
  ASSERT_EQ(compressed_code_size(fits.c_str()), 15360);
  ASSERT_EQ(compressed_code_size(over.c_str()), 15361);
  std::snprintf(c->code, ZURKEL_CODE_BUFFER, "%s", fits.c_str());
  std::string ok = dir + "fits.zk.png", bad = dir + "over.zk.png";
  EXPECT_EQ(save_zurkel_cart_png(c, ok.c_str()), 0);
  std::snprintf(c->code, ZURKEL_CODE_BUFFER, "%s", over.c_str());
  EXPECT_EQ(save_zurkel_cart_png(c, bad.c_str()), 1);
  EXPECT_FALSE(cart_file_exists(bad));
  zurkel_cart* back = load_zurkel_cart_png(ok.c_str());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::string(back->code), fits);
  brim_destroy_zurkel_cart(back);
  brim_destroy_zurkel_cart(c);
}

TEST_F(CartPng, LabelOnlyForPngPathsOfCartSize) {
  zurkel_cart* c = cart_test_sample(6, kCode);
  std::string path = dir + "l.zk.png";
  ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
  brim_bitmap* label = create_label_from_file(path.c_str());
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(std::memcmp(label->data, c->label->data, 128 * 128), 0);
  brim_destroy_bitmap(label);
  std::string plain = dir + "l.zk";
  ASSERT_EQ(std::rename(path.c_str(), plain.c_str()), 0);
  EXPECT_EQ(create_label_from_file(plain.c_str()), nullptr);
  brim_destroy_zurkel_cart(c);
}

TEST(CartImage, CodeStartingWithColonSurvives) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE);
  for (const char* code : {"::top::\ngoto top", ":c:", ":", ":c:x=1"}) {
    std::snprintf(c->code, ZURKEL_CODE_BUFFER, "%s", code);
    ASSERT_EQ(save_zurkel_cart_32k(c, image.data()), 0);
    zurkel_cart* back = brim_create_zurkel_cart();
    load_zurkel_cart_32k(back, image.data());
    EXPECT_STREQ(back->code, code);
    brim_destroy_zurkel_cart(back);
  }
  brim_destroy_zurkel_cart(c);
}

TEST(CartImage, TooLargeCodeKeepsOnlyTheRom) {
  zurkel_cart* c = cart_test_sample(7, "");
  std::string big = random_upper(20000, 3);
  std::snprintf(c->code, ZURKEL_CODE_BUFFER, "%s", big.c_str());
  std::vector<uint8_t> image(ZURKEL_IMAGE_SIZE, 0xEE);
  EXPECT_EQ(save_zurkel_cart_32k(c, image.data()), 1);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) ASSERT_EQ(image[a], zurkel_peek(nullptr, c, a));
  for (int a = ZURKEL_ROM_SIZE; a < ZURKEL_IMAGE_SIZE; a++) ASSERT_EQ(image[a], 0);
  brim_destroy_zurkel_cart(c);
}

TEST(CartImage, PlainCodeIsReadAsUpTo15360Bytes) {
  std::vector<uint8_t> area(ZURKEL_CODE_AREA, 'x');
  std::vector<char> code(ZURKEL_CODE_BUFFER);
  EXPECT_EQ(cart_code_from_image(area.data(), code.data()), 15360);
  EXPECT_EQ(code[15360], 0);
}

TEST(CartImage, MalformedBlockGivesEmptyCode) {
  std::vector<uint8_t> area(ZURKEL_CODE_AREA, 0);
  const uint8_t bad[] = {':', 'c', ':', 0, 0, 5, 0, 0, 60, 0x13};
  std::memcpy(area.data(), bad, sizeof bad);
  std::vector<char> code(ZURKEL_CODE_BUFFER, 'q');
  EXPECT_EQ(cart_code_from_image(area.data(), code.data()), 0);
  EXPECT_EQ(code[0], 0);
}

namespace {
// Pixels of a picture region that differ from the plain template.
int changed_pixels(const brim_bitmap* pic, const brim_bitmap* plain, int x0, int y0, int w, int h) {
  int n = 0;
  for (int y = y0; y < y0 + h; y++)
    for (int x = x0; x < x0 + w; x++)
      n += std::memcmp(pic->line[y] + 4 * x, plain->line[y] + 4 * x, 4) != 0;
  return n;
}
}  // namespace

TEST_F(CartPng, PictureShowsTitleLinesAndCaption) {
  brim_text_init();
  zurkel_cart* blank = brim_create_zurkel_cart();
  brim_bitmap* plain = cart_png_picture(blank);  // caption only
  std::strcpy(blank->code, "");
  zurkel_cart* titled = brim_create_zurkel_cart();
  std::strcpy(titled->code, "--  star hopper\n--by someone\nx=1\n");
  zurkel_cart* untitled = brim_create_zurkel_cart();
  std::strcpy(untitled->code, "x=1\ny=2 -- no title\n");
  zurkel_cart* second = brim_create_zurkel_cart();
  std::strcpy(second->code, "x=1\n-- second line only\n");
  brim_bitmap* a = cart_png_picture(titled);
  brim_bitmap* b = cart_png_picture(untitled);
  // Title rows (167 and 175) only for the commented cart.
  EXPECT_GT(changed_pixels(a, plain, 16, 165, 140, 8), 0);
  EXPECT_GT(changed_pixels(a, plain, 16, 173, 140, 8), 0);
  EXPECT_EQ(changed_pixels(b, plain, 0, 160, 160, 26), 0);
  // Each of the two lines is judged on its own.
  brim_bitmap* c2 = cart_png_picture(second);
  EXPECT_EQ(changed_pixels(c2, plain, 0, 160, 160, 14), 0);
  EXPECT_GT(changed_pixels(c2, plain, 16, 174, 140, 7), 0);
  brim_destroy_bitmap(c2);
  brim_destroy_zurkel_cart(second);
  // Caption in grey at (18, 187) on every picture.
  bool grey = false;
  for (int y = 187; y < 194; y++)
    for (int x = 18; x < 100; x++) {
      const uint8_t* p = plain->line[y] + 4 * x;
      grey |= p[0] == 160 && p[1] == 160 && p[2] == 160;
    }
  EXPECT_TRUE(grey);
  // The first title line's ink is the near-white RGB (255, 248, 240).
  bool white = false;
  for (int y = 167; y < 173; y++)
    for (int x = 18; x < 150; x++) {
      const uint8_t* p = a->line[y] + 4 * x;
      white |= p[2] == 255 && p[1] == 248 && p[0] == 240;
    }
  EXPECT_TRUE(white);
  for (auto* bm : {plain, a, b}) brim_destroy_bitmap(bm);
  for (auto* c : {blank, titled, untitled}) brim_destroy_zurkel_cart(c);
}

TEST_F(CartPng, ReadsFromStreamsAndTheVirtualDisk) {
  zurkel_cart* c = cart_test_sample(8, kCode);
  std::string path = dir + "v.zk.png";
  ASSERT_EQ(save_zurkel_cart_png(c, path.c_str()), 0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(cart_read_file(path, bytes));
  brim_stream* s = brim_open_memory(bytes.data(), static_cast<int>(bytes.size()));
  zurkel_cart* a = load_zurkel_cart_png_from_file(s);
  brim_fclose(s);
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a->code, kCode);
  EXPECT_EQ(load_zurkel_cart_png_from_file(nullptr), nullptr);
  EXPECT_EQ(zurkel_png_load_error, 2);
  // A file only on the virtual disk loads by its name, label included.
  brim_stream* v = brim_fopen_vdisk("only_here.zk.png", "w");
  ASSERT_NE(v, nullptr);
  brim_fwrite(bytes.data(), 1, bytes.size(), v);
  brim_fclose(v);
  zurkel_cart* b = load_zurkel_cart_png((dir + "only_here.zk.png").c_str());
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(cart_test_same_rom(c, b));
  EXPECT_NE(b->label, nullptr);
  brim_vdisk_remove("only_here.zk.png");
  for (auto* k : {a, b, c}) brim_destroy_zurkel_cart(k);
}
