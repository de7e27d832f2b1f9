#include <gif_lib.h>
#include <sys/stat.h>

#include "capture/gif_save.h"
#include "capture_fixture.h"

namespace {
struct gif_file {
  GifFileType* g = nullptr;
  explicit gif_file(const std::string& path) {
    int err = 0;
    g = DGifOpenFileName(path.c_str(), &err);
    if (g && DGifSlurp(g) != GIF_OK) {
      DGifCloseFile(g, &err);
      g = nullptr;
    }
  }
  ~gif_file() {
    int err = 0;
    if (g) DGifCloseFile(g, &err);
  }
};

std::string header(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  char buf[7] = {};
  if (f) {
    size_t n = std::fread(buf, 1, 6, f);
    (void)n;
    std::fclose(f);
  }
  return buf;
}
}  // namespace

TEST_F(CaptureTest, GifHoldsTheRecordedFramesScaledWithDelays) {
  for (int i = 0; i < 3; i++) {
    brim_bitmap* b = frame(i + 1, 9);
    record_video_frame(b, 0);
    brim_destroy_bitmap(b);
  }
  ASSERT_EQ(save_gif(), 0);
  gif_file f(desk("ZURKEL_0.gif"));
  ASSERT_NE(f.g, nullptr);
  EXPECT_EQ(f.g->SWidth, 256);
  EXPECT_EQ(f.g->SHeight, 256);
  ASSERT_NE(f.g->SColorMap, nullptr);
  EXPECT_EQ(f.g->SColorMap->ColorCount, 16);
  EXPECT_EQ(f.g->SColorMap->BitsPerPixel, 4);
  EXPECT_EQ(f.g->SColorMap->Colors[5].Red, 5);
  EXPECT_EQ(f.g->SColorMap->Colors[5].Green, 250);
  EXPECT_EQ(f.g->SBackGroundColor, 0);
  ASSERT_EQ(f.g->ImageCount, 3);
  for (int i = 0; i < 3; i++) {
    const SavedImage& im = f.g->SavedImages[i];
    EXPECT_EQ(im.ImageDesc.Left, 0);
    EXPECT_EQ(im.ImageDesc.Width, 256);
    EXPECT_EQ(im.ImageDesc.Height, 256);
    EXPECT_FALSE(im.ImageDesc.Interlace);
    EXPECT_EQ(im.RasterBits[0], i + 1);
    EXPECT_EQ(im.RasterBits[10 * 256 + 14], 9);
    EXPECT_EQ(im.RasterBits[11 * 256 + 15], 9);
    EXPECT_EQ(im.RasterBits[12 * 256 + 14], i + 1);
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(f.g, i, &gcb), GIF_OK);
    EXPECT_EQ(gcb.DelayTime, 3);
    EXPECT_EQ(gcb.DisposalMode, DISPOSE_BACKGROUND);
    EXPECT_EQ(gcb.TransparentColor, NO_TRANSPARENT_COLOR);
  }
  // The first image loops forever; later ones carry only frame control.
  const SavedImage& first = f.g->SavedImages[0];
  ASSERT_EQ(first.ExtensionBlockCount, 3);
  EXPECT_EQ(first.ExtensionBlocks[0].Function, APPLICATION_EXT_FUNC_CODE);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(first.ExtensionBlocks[0].Bytes), 11), "NETSCAPE2.0");
  EXPECT_EQ(first.ExtensionBlocks[1].Function, CONTINUE_EXT_FUNC_CODE);
  ASSERT_EQ(first.ExtensionBlocks[1].ByteCount, 3);
  EXPECT_EQ(first.ExtensionBlocks[1].Bytes[0], 1);
  EXPECT_EQ(first.ExtensionBlocks[1].Bytes[1], 0);
  EXPECT_EQ(first.ExtensionBlocks[2].Function, GRAPHICS_EXT_FUNC_CODE);
  EXPECT_EQ(f.g->SavedImages[1].ExtensionBlockCount, 1);
  EXPECT_EQ(header(desk("ZURKEL_0.gif")), "GIF89a");
}

TEST_F(CaptureTest, ExtendedColoursGiveAFullColourTable) {
  record(2);
  brim_bitmap* b = frame(1, 140);
  record_video_frame(b, 0);
  brim_destroy_bitmap(b);
  console_config.gif_scale = 1;
  ASSERT_EQ(save_gif(), 0);
  gif_file f(desk("ZURKEL_0.gif"));
  ASSERT_NE(f.g, nullptr);
  EXPECT_EQ(f.g->SWidth, 128);
  EXPECT_EQ(f.g->SColorMap->ColorCount, 256);
  EXPECT_EQ(f.g->SColorMap->Colors[140].Red, 140);
  ASSERT_EQ(f.g->ImageCount, 2);
  EXPECT_EQ(f.g->SavedImages[1].RasterBits[5 * 128 + 7], 140);
}

TEST_F(CaptureTest, GifScaleBelowOneIsClamped) {
  console_config.gif_scale = 0;
  EXPECT_EQ(capture_gif_scale(), 1);
  console_config.gif_scale = -3;
  EXPECT_EQ(capture_gif_scale(), 1);
  console_config.gif_scale = 1000;
  EXPECT_EQ(capture_gif_scale(), 32);
}

TEST_F(CaptureTest, SavingAfterTheStartKeyWritesAnEmptyGif) {
  for (int i = 0; i < 4; i++) record(i);
  reset_video();
  ASSERT_EQ(save_gif(), 0);
  // Header, screen descriptor, 16-entry table and the trailer: nothing else.
  int err = 0;
  GifFileType* g = DGifOpenFileName(desk("ZURKEL_0.gif").c_str(), &err);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->SColorMap->ColorCount, 16);
  EXPECT_EQ(g->SWidth, 256);
  DGifCloseFile(g, &err);
  struct stat st;
  ASSERT_EQ(stat(desk("ZURKEL_0.gif").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 6 + 7 + 16 * 3 + 1);
  // Nothing recorded at all: also an empty file, not a failure.
  capture_free();
  ASSERT_EQ(save_gif(), 0);
  EXPECT_TRUE(brim_file_exists(desk("ZURKEL_1.gif").c_str()));
}

TEST_F(CaptureTest, FullRingOfEightSecondsSaves239Frames) {
  for (int i = 0; i < 300; i++) record(i % 16);
  console_config.gif_scale = 1;
  ASSERT_EQ(save_gif(), 0);
  gif_file f(desk("ZURKEL_0.gif"));
  ASSERT_NE(f.g, nullptr);
  ASSERT_EQ(f.g->ImageCount, 239);
  EXPECT_EQ(f.g->SavedImages[0].RasterBits[0], (300 - 239) % 16);
  EXPECT_EQ(f.g->SavedImages[238].RasterBits[0], 299 % 16);
}

TEST_F(CaptureTest, GifsAreNumberedFromZero) {
  record(1);
  ASSERT_EQ(save_gif(), 0);
  ASSERT_EQ(save_gif(), 0);
  EXPECT_TRUE(brim_file_exists(desk("ZURKEL_0.gif").c_str()));
  EXPECT_TRUE(brim_file_exists(desk("ZURKEL_1.gif").c_str()));
  EXPECT_FALSE(brim_file_exists(desk("ZURKEL_2.gif").c_str()));
}

TEST_F(CaptureTest, UnwritableDesktopFailsTheGifWithoutLeavingFiles) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  record(1);
  ASSERT_EQ(chmod((dir + "/desk").c_str(), 0555), 0);
  EXPECT_EQ(save_gif(), 1);
  EXPECT_FALSE(brim_folder_has_entries((dir + "/desk").c_str()));
}

TEST_F(CaptureTest, DesktopThatCannotExistFailsTheGif) {
  record(1);
  FILE* f = std::fopen((dir + "/plain").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  brim_init_desktop_folder((dir + "/plain/desk").c_str());
  EXPECT_EQ(save_gif(), 1);
}
