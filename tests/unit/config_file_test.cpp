#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/config.h"
#include "base/safe_write.h"
#include "settings/folders.h"

namespace {
std::string temp_path(const char* name) {
  return std::string(::testing::TempDir()) + "zk_config_" + name;
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string read_text(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct ConfigFile : ::testing::Test {
  void SetUp() override {
    zurkel_config_default();
  }
};

const char* const fresh_file =
    "// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "// Configuration for zurkel\n// \n"
    "// config.txt is read on startup and saved on exit.\n"
    "// To generate the default config.txt, delete this file.\n// \n"
    "// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n"
    "\n\n// :: Video Settings\n\n"
    "window_size 0 0 // window width, height\n"
    "screen_size 580 540 // screen width, height (stretched to window) \n"
    "show_fps 0 // Draw frames per second in the corner\n"
    "\n\n// :: Window Settings\n\n"
    "windowed 0 // 1 to start up in windowed mode\n"
    "window_position -1 -1 // x and y position of window, or -1, -1 to let the window manager "
    "decide\n"
    "frameless 0 // 1 to use a window with no frame\n"
    "fullscreen_method 1 // 0 maximized window (linux)  1 borderless desktop-sized window  2 "
    "fullscreen\n"
    "\n\n// :: System Settings\n\n"
    "foreground_sleep_ms 5 // number of milliseconds to sleep each frame. Try 10 to conserve "
    "battery power\n\n"
    "background_sleep_ms 20 // number of milliseconds to sleep each frame when running in the "
    "background\n\n"
    "sessions 1 // number of times program has been run\n\n"
    "// (scancode) hold this key down and left-click to simulate right-click\n"
    "rmb_key 0 // 0 for none  226 for LALT\n\n"
    "// Desktop for saving screenshots etc. Defaults to $HOME/Desktop\n"
    "desktop_path \n\n"
    "\n\n// :: Audio Settings\n\n"
    "sound_volume 256 // 0..256\n"
    "music_volume 256 // 0..256\n"
    "mix_buffer_size 1024 // usually 1024. Try 2048 if you get choppy sound\n"
    "\n\n// :: \n\n"
    "version 0.1.11c\n\n"
    "\n// Location of zurkel's root folder\nroot_path \n\n"
    "\n// Location of cartridge save data\ncdata_path \n\n"
    "\n// Specify which player index joystick control begins at (0..7)\njoystick_index 0\n\n"
    "\n// Custom keyboard scancodes for buttons. player0 0..6, player1 0..5\n"
    "button_keys 0 0 0 0 0 0 0 0 0 0 0 0 0 \n\n"
    "// Play notes as they are plotted in frequency mode\nlive_notes 0\n\n"
    "// iff 1: when using keyboard cursor, snap to closest pixel / map cel\ncursor_snap 0\n\n"
    "// maximum length of gif in seconds (1..120, default 8)\ngif_len 8\n\n"
    "// 0 classic  1 dark blue background in code editor\ngui_theme 0\n\n"
    "// scale of screenshots and gifs // 2 means 256x256\nscreenshot_scale 3\ngif_scale 2\n\n"
    "// when 1 can enter glyphs using shift-A..Z\nshift_glyphs 1\n\n"
    "// 0 for off. 1 to notify whenever unsaved changes are backed up\nshow_backup_messages 1\n\n"
    "// 0 for off. 1 to allow control of a cart's framerate due to host machine's cpu capacity "
    "(recommended)\nhost_framerate_control 1\n\n";
}  // namespace

TEST_F(ConfigFile, MissingFileGivesDefaultsAndFreshFileBytes) {
  EXPECT_FALSE(brim_config_load_file(temp_path("missing.txt").c_str()));
  EXPECT_EQ(cconfig.sound_volume, 256);
  EXPECT_EQ(cconfig.mix_buffer_size, 1024);
  EXPECT_EQ(cconfig.window_x, -1);
  EXPECT_EQ(cconfig.pixel_perfect, -1);
  EXPECT_EQ(cconfig.timeout, 30);
  cconfig.sessions++;
  std::string out = temp_path("fresh.txt");
  ASSERT_TRUE(brim_config_save_file(out.c_str()));
  EXPECT_EQ(read_text(out), fresh_file);
}

TEST_F(ConfigFile, WrittenFileReadsBackToTheSameSettings) {
  brim_config_load_file(nullptr);
  cconfig.sessions = 7;
  cconfig.sound_volume = 12;
  cconfig.window_x = 30;
  cconfig.window_y = 40;
  cconfig.fullscreen_method = 2;
  cconfig0.window_w = 800;
  cconfig0.window_h = 600;
  cconfig0.show_fps = 1;
  std::snprintf(cconfig0.desktop_path, sizeof cconfig0.desktop_path, "/tmp/desk/");
  std::snprintf(console_config.root_path, BRIM_PATH_MAX, "/a/b/carts/");
  std::snprintf(console_config.cdata_path, BRIM_PATH_MAX, "/a/b/cdata/");
  for (int i = 0; i < 13; i++) console_config.button_keys[i] = 4 + i;
  console_config.gif_len = 30;
  console_config.host_framerate_control = 0;
  console_config.joystick_index = 3;
  std::string out = temp_path("round.txt");
  ASSERT_TRUE(brim_config_save_file(out.c_str()));

  zurkel_config_default();
  ASSERT_TRUE(brim_config_load_file(out.c_str()));
  EXPECT_EQ(cconfig.sessions, 7);
  EXPECT_EQ(cconfig.sound_volume, 12);
  EXPECT_EQ(cconfig.window_x, 30);
  EXPECT_EQ(cconfig.window_y, 40);
  EXPECT_EQ(cconfig.fullscreen_method, 2);
  EXPECT_EQ(cconfig.window_w, 800);
  EXPECT_EQ(cconfig.window_h, 600);
  EXPECT_EQ(cconfig.show_fps, 1);
  EXPECT_STREQ(cconfig.desktop_path, "/tmp/desk/");
  EXPECT_STREQ(console_config.root_path, "/a/b/carts/");
  EXPECT_STREQ(console_config.cdata_path, "/a/b/cdata/");
  for (int i = 0; i < 13; i++) EXPECT_EQ(console_config.button_keys[i], 4 + i);
  EXPECT_EQ(console_config.gif_len, 30);
  EXPECT_EQ(console_config.host_framerate_control, 0);
  EXPECT_EQ(console_config.joystick_index, 3);
  // Loading again and writing gives the same bytes.
  std::string again = temp_path("round2.txt");
  ASSERT_TRUE(brim_config_save_file(again.c_str()));
  EXPECT_EQ(read_text(again), read_text(out));
}

TEST_F(ConfigFile, ValuesAreClampedAtLoad) {
  std::string p = temp_path("clamps.txt");
  write_text(p,
             "foreground_sleep_ms 250\nbackground_sleep_ms -3\nsound_volume 300\n"
             "music_volume -1\nmix_buffer_size 100\nscreen_size 10 400\n");
  brim_config_load_file(p.c_str());
  EXPECT_EQ(cconfig.foreground_sleep_ms, 200);
  EXPECT_EQ(cconfig.background_sleep_ms, 0);
  EXPECT_EQ(cconfig.sound_volume, 256);
  EXPECT_EQ(cconfig.music_volume, 0);
  EXPECT_EQ(cconfig.mix_buffer_size, 1024);
  EXPECT_EQ(cconfig.screen_w, 580);
  EXPECT_EQ(cconfig.screen_h, 540);
  write_text(p, "mix_buffer_size 9000\n");
  brim_config_load_file(p.c_str());
  EXPECT_EQ(cconfig.mix_buffer_size, 1024);
  write_text(p, "mix_buffer_size 8192\nforeground_sleep_ms 200\n");
  brim_config_load_file(p.c_str());
  EXPECT_EQ(cconfig.mix_buffer_size, 8192);
  EXPECT_EQ(cconfig.foreground_sleep_ms, 200);
}

TEST_F(ConfigFile, FolderKeysAreCutAfterTheirLastSeparator) {
  std::string p = temp_path("folders.txt");
  write_text(p, "root_path /a/b/carts\ncdata_path C:\\x\\y\r\ndesktop_path    /d/e/  \n");
  brim_config_load_file(p.c_str());
  EXPECT_STREQ(console_config.root_path, "/a/b/");
  EXPECT_STREQ(console_config.cdata_path, "C:\\x\\");
  EXPECT_STREQ(cconfig.desktop_path, "/d/e/");
  write_text(p, "root_path carts\n");
  brim_config_load_file(p.c_str());
  EXPECT_STREQ(console_config.root_path, "");
}

TEST_F(ConfigFile, BadValuesLeaveSettingsAndOddLinesAreHarmless) {
  std::string p = temp_path("odd.txt");
  std::string longline(600, 'x');
  longline += "sessions 99";  // a tail past 254 characters is not a line
  write_text(p, "sessions abc\nwindow_size 5\n// sessions 40\n" + longline +
                    "\nvideo_mode 320 200\nbutton_keys 1 2 3\ngif_len\n");
  brim_config_load_file(p.c_str());
  EXPECT_EQ(cconfig.sessions, 0);
  EXPECT_EQ(cconfig.window_w, 320);  // from video_mode; window_size 5 alone did not parse
  EXPECT_EQ(cconfig.screen_h, 200);
  EXPECT_EQ(console_config.button_keys[0], 1);
  EXPECT_EQ(console_config.button_keys[2], 3);
  EXPECT_EQ(console_config.button_keys[3], 0);
  EXPECT_EQ(console_config.gif_len, 8);
}

TEST_F(ConfigFile, AsLoadedCopyIsWhatTheFileSaid) {
  std::string p = temp_path("loaded.txt");
  write_text(p, "window_size 640 480\nsound_volume 100\n");
  brim_config_load_file(p.c_str());
  cconfig.window_w = 1000;    // e.g. from -width
  cconfig.sound_volume = 0;   // e.g. from -sound_volume 0
  std::string out = temp_path("loaded_out.txt");
  ASSERT_TRUE(brim_config_save_file(out.c_str()));
  std::string text = read_text(out);
  EXPECT_NE(text.find("window_size 640 480 //"), std::string::npos);
  EXPECT_NE(text.find("sound_volume 0 //"), std::string::npos);
}

TEST_F(ConfigFile, UnwritableFileIsSkipped) {
  EXPECT_FALSE(brim_config_save_file("/nonexistent-folder/zk/config.txt"));
}

TEST(SafeWrite, FailedWriterKeepsTheOldFile) {
  std::string p = temp_path("safe.txt");
  write_text(p, "old");
  EXPECT_FALSE(brim_write_file_safely(p.c_str(), [](FILE* f, void*) {
    std::fputs("partial", f);
    return false;
  }, nullptr));
  EXPECT_EQ(read_text(p), "old");
  EXPECT_TRUE(brim_write_file_safely(p.c_str(), [](FILE* f, void*) {
    std::fputs("new", f);
    return true;
  }, nullptr));
  EXPECT_EQ(read_text(p), "new");
}
