// Preprocessing a long realistic program: every line stays on its number,
// the shorthand is gone, and the result compiles.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "script/preprocess.h"
#include "script/tokens.h"
#include "lauxlib.h"
#include "lua.h"
#include "text_sample_program.h"

namespace {

size_t line_count(const std::string& s) { return std::count(s.begin(), s.end(), '\n') + 1; }

std::string long_program() {
  std::string code;
  size_t lines = 1;
  for (int i = 0; lines < 4000; ++i) {
    const std::string block = text_sample_block(i);
    lines += std::count(block.begin(), block.end(), '\n');
    code += block;
  }
  return code;
}

TEST(TextProgram, LongProgramKeepsEveryLine) {
  const std::string src = long_program();
  ASSERT_GE(line_count(src), 4000u);
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(line_count(out), line_count(src));
  // Statements stay on their lines: each "function name" keeps its line.
  size_t src_line = 0, pos = 0;
  while ((pos = src.find("function helper", pos)) != std::string::npos) {
    src_line = std::count(src.begin(), src.begin() + static_cast<long>(pos), '\n');
    const std::string name = src.substr(pos, src.find('(', pos) - pos);
    const size_t out_pos = out.find(name + "(");
    ASSERT_NE(out_pos, std::string::npos) << name;
    EXPECT_EQ(static_cast<size_t>(std::count(out.begin(), out.begin() + static_cast<long>(out_pos), '\n')), src_line)
        << name;
    ++pos;
  }
  // The shorthand is gone from the code (strings keep theirs).
  EXPECT_EQ(out.find("\x8b"), std::string::npos);
  EXPECT_EQ(out.find("?"), out.find("?\""));   // only inside the message string
  EXPECT_NE(out.find("print(\"hp:\"..e.hp)"), std::string::npos);
  EXPECT_NE(out.find("if (btn(0)) then  p.x = p.x - ( 1)  end "), std::string::npos);
  EXPECT_NE(out.find("string with += and != inside]]"), std::string::npos);
  EXPECT_NE(out.find("\"score += 1 // not a comment != ?\""), std::string::npos);
}

TEST(TextProgram, LongProgramCompiles) {
  const std::string src = long_program();
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(src.c_str(), out));
  lua_State* L = luaL_newstate();
  ASSERT_NE(L, nullptr);
  const int status = luaL_loadbuffer(L, out.data(), out.size(), "=program");
  std::string message = status == LUA_OK ? "" : lua_tostring(L, -1);
  EXPECT_EQ(status, LUA_OK) << message;
  lua_close(L);
}

TEST(TextProgram, SyntaxErrorLineMatchesTheSource) {
  // A broken statement deep in the program is reported on its source line.
  std::string src = long_program();
  const size_t broken_line = line_count(src);   // 1-based line of the appended text
  src += "x = = 1\n";
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(src.c_str(), out));
  lua_State* L = luaL_newstate();
  ASSERT_NE(luaL_loadbuffer(L, out.data(), out.size(), "=program"), LUA_OK);
  const std::string message = lua_tostring(L, -1);
  EXPECT_NE(message.find("program:" + std::to_string(broken_line) + ":"), std::string::npos)
      << message;
  lua_close(L);
}

TEST(TextProgram, SixtyFourKilobyteProgramFitsTheLimits) {
  const std::string src = text_sample_program(65000);
  std::string out;
  ASSERT_TRUE(zurkel_preprocess(src.c_str(), out));
  EXPECT_EQ(line_count(out), line_count(src));
  EXPECT_LT(out.size(), ZURKEL_PREPROCESS_BUFFER);
  EXPECT_GT(count_tokens(src.c_str()), 10000);
}

}  // namespace
