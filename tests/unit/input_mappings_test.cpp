// Controller mapping files: the lines that are added, the log lines, and the
// user's file created when missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "input/controller_mappings.h"
#include "base/debug.h"

namespace {
std::vector<std::string> added;
int add_fake(const char* m) {
  added.push_back(m);
  std::string s = m;
  if (s.rfind("bad", 0) == 0) return -1;
  if (s.rfind("old", 0) == 0) return 0;
  return 1;
}

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

struct InputMappings : ::testing::Test {
  std::string dir;
  void SetUp() override {
    char tmpl[] = "/tmp/zk_input_mapXXXXXX";
    dir = mkdtemp(tmpl);
    added.clear();
    brim_debug_open((dir + "/log.txt").c_str());
  }
  void TearDown() override {
    brim_debug_close();
    std::system(("rm -rf " + dir).c_str());
  }
};
}  // namespace

TEST_F(InputMappings, LinesAreTrimmedCommentsSkippedAndResultsLogged) {
  std::string prog = dir + "/prog.txt", user = dir + "/user.txt";
  std::string longline(1500, 'x');
  {
    std::ofstream f(prog, std::ios::binary);
    f << "// comment\n\n  new1,a:b0  \r\n/also skipped\nold2\nbad3\n" << longline << "\nnew4";
  }
  brim_add_controller_files(prog.c_str(), user.c_str(), add_fake);
  ASSERT_EQ(added.size(), 5u);
  EXPECT_EQ(added[0], "new1,a:b0");
  EXPECT_EQ(added[1], "old2");
  EXPECT_EQ(added[2], "bad3");
  EXPECT_EQ(added[3], std::string(1023, 'x'));  // cut, the rest of the line skipped
  EXPECT_EQ(added[4], "new4");
  // The user's file is created with its comment line and read.
  EXPECT_EQ(slurp(user), "// add SDL2 game controller mappings to this file\n");
  brim_debug_close();
  std::string log = slurp(dir + "/log.txt");
  EXPECT_NE(log.find("Reading controller mappings: " + prog + "\n"), std::string::npos);
  EXPECT_NE(log.find(" added controller mapping: new1,a:b0\n"), std::string::npos);
  EXPECT_NE(log.find(" updated controller mapping: old2\n"), std::string::npos);
  EXPECT_NE(log.find(" failed to add controller mapping: bad3\n"), std::string::npos);
  EXPECT_NE(log.find("Reading controller mappings: " + user + "\n"), std::string::npos);
}

TEST_F(InputMappings, MissingProgramFileIsSkippedAndUserFileIsKept) {
  std::string user = dir + "/user.txt";
  {
    std::ofstream f(user);
    f << "mine\n";
  }
  brim_add_controller_files((dir + "/none.txt").c_str(), user.c_str(), add_fake);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0], "mine");
  EXPECT_EQ(slurp(user), "mine\n");
  EXPECT_FALSE(brim_read_controller_file((dir + "/none.txt").c_str(), add_fake));
  // One file under both names is read once.
  added.clear();
  brim_add_controller_files(user.c_str(), user.c_str(), add_fake);
  EXPECT_EQ(added.size(), 1u);
}
