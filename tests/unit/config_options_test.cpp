#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"

namespace {
struct Args {
  std::vector<std::string> s;
  std::vector<char*> v;
  explicit Args(std::vector<std::string> a) : s(std::move(a)) {
    s.insert(s.begin(), "zurkel");
    for (auto& x : s) v.push_back(x.data());
  }
  int argc() { return static_cast<int>(v.size()); }
  char** argv() { return v.data(); }
};

struct Options : ::testing::Test {
  void SetUp() override {
    brim_config_default();
    zurkel_config_default();
    zurkel_options_default();
  }
};
}  // namespace

TEST_F(Options, EngineOptionsMatchByPrefixAndTakeAValue) {
  Args a({"-width", "800", "-height", "600", "-sound", "0", "-music_volume", "12",
          "-windowed", "1", "-timeout", "999", "-draw_rect", "1,2", "-home", "/tmp/h",
          "-headless", "1", "cart.zk"});
  brim_process_arguments(a.argc(), a.argv());
  EXPECT_EQ(cconfig.window_w, 800);
  EXPECT_EQ(cconfig.window_h, 600);
  EXPECT_EQ(cconfig.sound_volume, 0);
  EXPECT_EQ(cconfig.music_volume, 12);
  EXPECT_EQ(cconfig.windowed, 1);
  EXPECT_EQ(cconfig.timeout, 240);
  EXPECT_EQ(cconfig.draw_rect[0], 1);
  EXPECT_EQ(cconfig.draw_rect[1], 2);
  EXPECT_EQ(cconfig.draw_rect[2], 4096);
  EXPECT_EQ(cconfig.draw_rect[3], 4096);
  EXPECT_STREQ(cconfig.home_path, "/tmp/h");
  EXPECT_EQ(cconfig.headless, 1);
  Args b({"-timeout", "0", "-headless"});
  brim_process_arguments(b.argc(), b.argv());
  EXPECT_EQ(cconfig.timeout, 1);
}

TEST_F(Options, ReadingStopsAtRedirections) {
  Args a({"-width", "800", ">", "-height", "600"});
  brim_process_arguments(a.argc(), a.argv());
  process_arguments(a.argc(), a.argv());
  EXPECT_EQ(cconfig.window_w, 800);
  EXPECT_EQ(cconfig.window_h, 0);
  Args b({"|x", "game.zk"});
  process_arguments(b.argc(), b.argv());
  EXPECT_STREQ(zopts.auto_load_fn, "");
}

TEST_F(Options, ConsoleOptionsMatchExactlyAndSkipOtherOptionsValues) {
  Args a({"-width", "game1.zk", "-x", "-p", "hello world", "-gif_len", "20", "-runx", "y",
          "-run", "-splore", "-joystick", "2", "game2.zk"});
  process_arguments(a.argc(), a.argv());
  EXPECT_STREQ(zopts.auto_load_fn, "game2.zk");
  EXPECT_EQ(zopts.exec, 1);
  EXPECT_STREQ(zopts.params, "hello world");
  EXPECT_EQ(console_config.gif_len, 20);
  EXPECT_EQ(zopts.run, 1);
  EXPECT_EQ(zopts.splore, 1);
  EXPECT_EQ(console_config.joystick_index, 2);
}

TEST_F(Options, AutomationOptionsAreNeverTakenForTheCart) {
  Args a({"-fast", "cart.zk", "-frames", "120", "-seed", "42", "-dump_screen", "s.png",
          "-input", "in.txt", "-dump_audio", "a.wav"});
  brim_process_arguments(a.argc(), a.argv());
  process_arguments(a.argc(), a.argv());
  EXPECT_EQ(zopts.fast, 1);
  EXPECT_STREQ(zopts.auto_load_fn, "cart.zk");
  EXPECT_EQ(zopts.frames, 120);
  EXPECT_EQ(zopts.seed_given, 1);
  EXPECT_EQ(zopts.seed, 42u);
  EXPECT_STREQ(zopts.dump_screen, "s.png");
  EXPECT_STREQ(zopts.input_file, "in.txt");
  EXPECT_STREQ(zopts.dump_audio, "a.wav");
  // None of these looks like an engine option.
  EXPECT_EQ(cconfig.frameless, 0);
  EXPECT_EQ(cconfig.fullscreen_method, 1);
}

TEST_F(Options, LongParametersAreCut) {
  std::string p(2000, 'q');
  Args a({"-p", p});
  process_arguments(a.argc(), a.argv());
  EXPECT_EQ(std::string(zopts.params).size(), 1024u);
}

TEST(Folders, AppdataFollowsXdgThenHomeUnlessHomeOptionGiven) {
  std::string base = std::string(::testing::TempDir()) + "zk_folders";
  std::filesystem::remove_all(base);
  unsetenv("XDG_CONFIG_HOME");
  setenv("XDG_DATA_HOME", (base + "/xdg").c_str(), 1);
  brim_init_appdata_folder(nullptr);
  EXPECT_EQ(std::string(brim_appdata_folder()), base + "/xdg/zurkel/");
  EXPECT_TRUE(brim_folder_exists(brim_appdata_folder()));
  unsetenv("XDG_DATA_HOME");
  std::string old_home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", (base + "/home").c_str(), 1);
  brim_init_appdata_folder(nullptr);
  EXPECT_EQ(std::string(brim_appdata_folder()), base + "/home/.local/share/zurkel/");
  brim_init_appdata_folder((base + "/given").c_str());
  EXPECT_EQ(std::string(brim_appdata_folder()), base + "/given/");
  EXPECT_TRUE(brim_folder_exists((base + "/given").c_str()));
  char out[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("log.txt", out);
  EXPECT_EQ(std::string(out), base + "/given/log.txt");

  // Desktop: the XDG entry when present, else $HOME/Desktop/.
  brim_init_desktop_folder("");
  EXPECT_EQ(std::string(brim_desktop_folder()), base + "/home/Desktop/");
  brim_make_folder((base + "/home/.config").c_str());
  FILE* f = std::fopen((base + "/home/.config/user-dirs.dirs").c_str(), "w");
  std::fputs("# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", f);
  std::fclose(f);
  brim_init_desktop_folder(nullptr);
  EXPECT_EQ(std::string(brim_desktop_folder()), base + "/home/Schreibtisch/");
  brim_init_desktop_folder((base + "/shots").c_str());
  EXPECT_EQ(std::string(brim_desktop_folder()), base + "/shots/");
  EXPECT_TRUE(brim_folder_exists((base + "/shots").c_str()));
  brim_init_desktop_folder(" /ignored");
  EXPECT_EQ(std::string(brim_desktop_folder()), base + "/home/Schreibtisch/");
  if (old_home.empty()) unsetenv("HOME");
  else setenv("HOME", old_home.c_str(), 1);
}
