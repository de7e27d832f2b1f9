#include <gtest/gtest.h>

#include <vector>

#include "cart/pngcart.h"
#include "base/bitmap.h"
#include "gfx/png_encode.h"

namespace {
// Bytes 24 and 25 of a PNG: the IHDR chunk's bit depth and colour type.
int bit_depth(const std::vector<unsigned char>& png) { return png.size() > 25 ? png[24] : -1; }
int colour_type(const std::vector<unsigned char>& png) { return png.size() > 25 ? png[25] : -1; }
}  // namespace

TEST(PngEncode, KeepsTheAskedColourTypeForPlainPictures) {
  // One colour everywhere: left to itself the encoder would store a
  // palette or grey image.
  std::vector<unsigned char> rgba(16 * 16 * 4, 0);
  std::vector<unsigned char> rgb(16 * 16 * 3, 0);
  std::vector<unsigned char> png;
  ASSERT_TRUE(brim_encode_png(rgba.data(), 16, 16, LCT_RGBA, png));
  EXPECT_EQ(bit_depth(png), 8);
  EXPECT_EQ(colour_type(png), 6);
  std::vector<unsigned char> back;
  unsigned w = 0, h = 0;
  ASSERT_EQ(lodepng::decode(back, w, h, png, LCT_RGBA, 8), 0u);
  EXPECT_EQ(back, rgba);

  ASSERT_TRUE(brim_encode_png(rgb.data(), 16, 16, LCT_RGB, png));
  EXPECT_EQ(bit_depth(png), 8);
  EXPECT_EQ(colour_type(png), 2);
  EXPECT_FALSE(brim_encode_png(rgb.data(), 0, 16, LCT_RGB, png));
}

TEST(PngEncode, CartridgePicturesAreRgbaFiles) {
  brim_bitmap* pic = brim_create_bitmap(160, 205, 32);
  ASSERT_NE(pic, nullptr);
  std::vector<uint8_t> png;
  ASSERT_TRUE(cart_png_encode(pic, png));
  EXPECT_EQ(bit_depth(png), 8);
  EXPECT_EQ(colour_type(png), 6);
  brim_destroy_bitmap(pic);
}
