// Shared set-up for the capture tests: a fresh desktop folder, a known
// palette and title, default settings and an empty ring.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "capture/video_clip.h"
#include "base/bitmap.h"
#include "gfx/video.h"
#include "settings/config.h"
#include "settings/folders.h"

class CaptureTest : public ::testing::Test {
 protected:
  std::string dir;
  uint8_t saved_palette[768];

  void SetUp() override {
    char tmpl[] = "/tmp/zk_capture_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    brim_init_desktop_folder((dir + "/desk").c_str());
    std::memcpy(saved_palette, brim_palette, sizeof saved_palette);
    for (int i = 0; i < 256; i++) {
      brim_palette[i * 3] = static_cast<uint8_t>(i);
      brim_palette[i * 3 + 1] = static_cast<uint8_t>(255 - i);
      brim_palette[i * 3 + 2] = static_cast<uint8_t>(i * 7);
    }
    brim_set_window_title("ZURKEL");
    console_config.gif_len = 8;
    console_config.screenshot_scale = 3;
    console_config.gif_scale = 2;
    capture_free();
  }
  void TearDown() override {
    capture_free();
    std::memcpy(brim_palette, saved_palette, sizeof saved_palette);
    brim_init_desktop_folder("");
    std::string cmd = "chmod -R u+w '" + dir + "' && rm -rf '" + dir + "'";
    (void)std::system(cmd.c_str());
  }
  std::string desk(const char* name) const { return dir + "/desk/" + name; }

  // A 128 x 128 frame whose every pixel is `value`, with a marker pixel.
  static brim_bitmap* frame(int value, int marker = -1) {
    brim_bitmap* b = brim_create_bitmap(128, 128, 8);
    std::memset(b->data, value, 128 * 128);
    if (marker >= 0) b->line[5][7] = static_cast<uint8_t>(marker);
    return b;
  }
  static void record(int value, uint64_t t = 0) {
    brim_bitmap* b = frame(value);
    record_video_frame(b, t);
    brim_destroy_bitmap(b);
  }
};
