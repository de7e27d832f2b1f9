#include <lodepng.h>
#include <sys/stat.h>

#include <vector>

#include "capture/output_files.h"
#include "capture/screenshot.h"
#include "capture_fixture.h"

namespace {
bool decode(const std::string& path, std::vector<unsigned char>& rgba, unsigned& w, unsigned& h) {
  return lodepng::decode(rgba, w, h, path) == 0;
}
}  // namespace

TEST_F(CaptureTest, ScreenshotIsScaledAndGoesThroughThePalette) {
  brim_bitmap* b = frame(0, 5);
  b->line[127][127] = 140;
  ASSERT_EQ(save_png_screenshot(b), 0);
  std::vector<unsigned char> px;
  unsigned w = 0, h = 0;
  ASSERT_TRUE(decode(desk("ZURKEL_000.png"), px, w, h));
  EXPECT_EQ(w, 384u);
  EXPECT_EQ(h, 384u);
  // Colour 0 is saved as 16: opaque, palette entry 16.
  EXPECT_EQ(px[0], 16);
  EXPECT_EQ(px[1], 255 - 16);
  EXPECT_EQ(px[2], (16 * 7) & 255);
  EXPECT_EQ(px[3], 255);
  // The marker at (7, 5) covers the 3 x 3 block at (21..23, 15..17).
  for (int y = 15; y <= 17; y++)
    for (int x = 21; x <= 23; x++) {
      size_t o = (static_cast<size_t>(y) * w + x) * 4;
      EXPECT_EQ(px[o], 5);
      EXPECT_EQ(px[o + 1], 250);
      EXPECT_EQ(px[o + 3], 255);
    }
  EXPECT_EQ(px[(static_cast<size_t>(18) * w + 21) * 4], 16);
  size_t last = (static_cast<size_t>(383) * w + 383) * 4;
  EXPECT_EQ(px[last], 140);
  // Stored as 8-bit RGBA (colour type 6) even though few colours are used.
  std::vector<unsigned char> file;
  ASSERT_EQ(lodepng::load_file(file, desk("ZURKEL_000.png")), 0u);
  ASSERT_GT(file.size(), 26u);
  EXPECT_EQ(file[24], 8);
  EXPECT_EQ(file[25], 6);
  brim_destroy_bitmap(b);
}

TEST_F(CaptureTest, ScreenshotScaleIsClamped) {
  brim_bitmap* b = frame(1);
  std::vector<unsigned char> px;
  unsigned w = 0, h = 0;
  console_config.screenshot_scale = 0;
  ASSERT_EQ(save_png_screenshot(b), 0);
  ASSERT_TRUE(decode(desk("ZURKEL_000.png"), px, w, h));
  EXPECT_EQ(w, 128u);
  console_config.screenshot_scale = -4;
  EXPECT_EQ(capture_screenshot_scale(), 1);
  console_config.screenshot_scale = 99;
  EXPECT_EQ(capture_screenshot_scale(), 32);
  console_config.screenshot_scale = 2;
  ASSERT_EQ(save_png_screenshot(b), 0);
  ASSERT_TRUE(decode(desk("ZURKEL_001.png"), px, w, h));
  EXPECT_EQ(w, 256u);
  EXPECT_EQ(h, 256u);
  brim_destroy_bitmap(b);
}

TEST_F(CaptureTest, TransparentIndexZeroInDirectPngWrites) {
  brim_bitmap* b = brim_create_bitmap(2, 1, 8);
  b->line[0][1] = 3;
  ASSERT_TRUE(brim_save_png(desk("raw.png").c_str(), b));
  std::vector<unsigned char> px;
  unsigned w = 0, h = 0;
  ASSERT_TRUE(decode(desk("raw.png"), px, w, h));
  EXPECT_EQ(px[3], 0);
  EXPECT_EQ(px[4], 3);
  EXPECT_EQ(px[7], 255);
  brim_destroy_bitmap(b);
}

TEST_F(CaptureTest, ScreenshotsTakeTheFirstFreeNumberAndTheTitle) {
  brim_bitmap* b = frame(1);
  FILE* f = std::fopen(desk("ZURKEL_000.png").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(save_png_screenshot(b), 0);
  EXPECT_TRUE(brim_file_exists(desk("ZURKEL_001.png").c_str()));
  ASSERT_EQ(save_png_screenshot(b), 0);
  EXPECT_TRUE(brim_file_exists(desk("ZURKEL_002.png").c_str()));
  brim_set_window_title("Odd/Title");
  EXPECT_EQ(get_output_file_name_base(), "Odd_Title");
  ASSERT_EQ(save_png_screenshot(b), 0);
  EXPECT_TRUE(brim_file_exists(desk("Odd_Title_000.png").c_str()));
  brim_set_window_title("");
  EXPECT_EQ(get_output_file_name_base(), "ZURKEL");
  brim_destroy_bitmap(b);
}

TEST_F(CaptureTest, UnwritableDesktopFailsWithoutLeavingFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  brim_bitmap* b = frame(1);
  ASSERT_EQ(chmod((dir + "/desk").c_str(), 0555), 0);
  EXPECT_EQ(save_png_screenshot(b), 1);
  EXPECT_FALSE(brim_folder_has_entries((dir + "/desk").c_str()));
  brim_destroy_bitmap(b);
}

TEST_F(CaptureTest, MissingDesktopFolderFails) {
  brim_bitmap* b = frame(1);
  // A desktop below a regular file can never be made.
  FILE* f = std::fopen((dir + "/plain").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  brim_init_desktop_folder((dir + "/plain/desk").c_str());
  EXPECT_EQ(save_png_screenshot(b), 1);
  EXPECT_FALSE(brim_folder_has_entries((dir + "/desk").c_str()));
  brim_destroy_bitmap(b);
}
