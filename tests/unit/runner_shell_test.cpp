#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "runner_fixture.h"
#include "settings/folders.h"
#include "settings/shell_state.h"

namespace fs = std::filesystem;

class ShellTest : public RunnerTest {
 protected:
  fs::path root;
  fs::path data;
  void SetUp() override {
    RunnerTest::SetUp();
    fs::path base = fs::temp_directory_path() / ("zk_shell_" + std::to_string(::getpid()));
    fs::remove_all(base);
    data = base / "data";
    root = data / "carts";
    fs::create_directories(root / "games");
    fs::create_directories(data / "cstore");
    brim_init_appdata_folder((data.string() + "/").c_str());
    std::snprintf(console_config.root_path, sizeof console_config.root_path, "%s/", root.c_str());
    shell_set_current_folder("");
  }
  void TearDown() override {
    fs::remove_all(data.parent_path());
    RunnerTest::TearDown();
  }
};

TEST_F(ShellTest, NormalisePaths) {
  EXPECT_EQ(shell_normalise_path("/a/./b/../c/"), "/a/c/");
  EXPECT_EQ(shell_normalise_path("/a/b/../../.."), "/");
  EXPECT_EQ(shell_normalise_path("/a//b"), "/a/b");
}

TEST_F(ShellTest, CdWalksInsideTheCartFolderOnly) {
  ASSERT_TRUE(start("cd('games') a=1 cd('..') cd('..') cd('missing') cd() cd('/games') cd('/')"));
  step();
  std::vector<std::string> got;
  for (auto& l : printed()) got.push_back(std::to_string(l.colour) + ":" + l.text);
  std::vector<std::string> want = {"12:/games/", "12:/", "7:cd: failed", "7:directory not found",
                                   "12:directory: /", "12:/games/", "12:/"};
  EXPECT_EQ(got, want) << all_printed();
  EXPECT_STREQ(shell_current_folder(), "");
}

TEST_F(ShellTest, MkdirCreatesUnderTheCurrentFolder) {
  ASSERT_TRUE(start("cd('games') mkdir('new') mkdir() s='' for i=1,512 do s=s..'a' end r=mkdir(s) r2=mkdir('ok')"));
  step();
  EXPECT_TRUE(fs::is_directory(root / "games" / "new"));
  EXPECT_TRUE(printed_has("mkdir [name]"));
  EXPECT_EQ(global_str("r"), "0");
  EXPECT_EQ(global_str("r2"), "<nil>");
}

TEST_F(ShellTest, LsListsCartFilesInCstore) {
  for (const char* n : {"b.zk", "a.zk.png", "x.txt", "c~.zk"}) std::fclose(std::fopen((data / "cstore" / n).c_str(), "w"));
  ASSERT_TRUE(start("l=ls() n=#l first=l[1] second=l[2] none=ls('x')"));
  step();
  EXPECT_EQ(global_int("n"), 2);
  EXPECT_EQ(global_str("first"), "a.zk.png");
  EXPECT_EQ(global_str("second"), "b.zk");
  EXPECT_EQ(global_str("none"), "<nil>");
}

TEST_F(ShellTest, LoadRefusesHashAndReservedNames) {
  ASSERT_TRUE(start("a=load('#abc') b=load('__x') c=load(5) d=load('@clip') e=load('nothing_here')"));
  step();
  lua_State* L = machine.L;
  for (const char* n : {"a", "b", "d", "e"}) {
    lua_getglobal(L, n);
    EXPECT_TRUE(lua_isboolean(L, -1) && !lua_toboolean(L, -1)) << n;
    lua_pop(L, 1);
  }
  EXPECT_EQ(global_str("c"), "<nil>");
  EXPECT_EQ(machine.pending_command, 0);
}

TEST_F(ShellTest, InfoShowsTheLimits) {
  ASSERT_TRUE(start("info()"));
  step();
  EXPECT_TRUE(printed_has("chars:          6 / 65535", 6)) << all_printed();
  printed().clear();
  // exactly 65,536 characters still runs but shows over the limit
  ASSERT_TRUE(start("info()" + std::string(65530, ' ')));
  step();
  EXPECT_TRUE(printed_has("chars:      65536 / 65535", 9)) << all_printed();
}

TEST_F(ShellTest, SaveOutsideExecuteModeDoesNothing) {
  ASSERT_TRUE(start("save('x')"));
  step();
  EXPECT_TRUE(printed().empty());
  EXPECT_FALSE(fs::exists(root / "x.zk"));
}

TEST_F(ShellTest, ExportNeedsAName) {
  ASSERT_TRUE(start("export() export('') import('a')"));
  step();
  EXPECT_EQ(printed().size(), 2u);
  EXPECT_TRUE(printed_has("please specify a file"));
}
