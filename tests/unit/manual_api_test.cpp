// The cart author's manual (docs/manual.md) documents every function a
// cartridge can call: the names of its reference headings are compared,
// both ways, with the script API registry and with the few globals that
// come from the interpreter's own libraries or the runtime header.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "api/registry.h"
#include "script/interp.h"
#include "lauxlib.h"
#include "runner/program_text.h"

namespace {

// Where the names come from. A re-layered source tree only changes these.
std::set<std::string> registry_names() {
  std::set<std::string> names;
  for (const zk_api_entry* const* t = zk_api_tables; *t; t++)
    for (const zk_api_entry* e = *t; e->name; e++) names.insert(e->name);
  return names;
}

// Globals a cartridge sees that are not in the registry: Lua library
// functions under their global names, and the runtime header's helpers.
const std::set<std::string> kLuaLevelNames = {
    "pairs", "type",  "getmetatable", "setmetatable", "cocreate", "coresume",
    "costatus", "yield", "sub",         "trace",       "menuitem", "all",
    "foreach", "count", "add",         "del",
};

std::string manual_text() {
  std::ifstream f(std::string(ZURKEL_SOURCE_DIR) + "/docs/manual.md");
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The heading rule stated at the top of the manual: a line that starts with
// "### `" documents the functions whose signatures it holds in backticks,
// `name(arguments)`, separated by " · ". Returns name -> line number; a
// signature that does not start with "name(" is reported as malformed.
std::map<std::string, int> documented_names(const std::string& text,
                                            std::vector<std::string>* problems) {
  std::map<std::string, int> names;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); number++) {
    if (line.rfind("### `", 0) != 0) continue;
    // Odd pieces between backticks are the signatures.
    std::istringstream parts(line.substr(4));
    std::string piece;
    for (int i = 0; std::getline(parts, piece, '`'); i++) {
      if (i % 2 == 0) continue;
      size_t paren = piece.find('(');
      std::string name = piece.substr(0, paren);
      bool ok = paren != std::string::npos && !name.empty() &&
                name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos;
      if (!ok) problems->push_back("line " + std::to_string(number) + ": " + piece);
      else if (!names.emplace(name, number).second)
        problems->push_back("line " + std::to_string(number) + ": " + name + " documented twice");
    }
  }
  return names;
}

}  // namespace

TEST(ManualApi, HeadingsNameEveryScriptFunctionAndNothingElse) {
  std::string text = manual_text();
  ASSERT_FALSE(text.empty()) << "docs/manual.md not found";
  std::vector<std::string> problems;
  std::map<std::string, int> documented = documented_names(text, &problems);
  for (const std::string& p : problems) ADD_FAILURE() << "malformed heading, " << p;

  for (const std::string& name : registry_names())
    EXPECT_TRUE(documented.count(name)) << name << " is in the script API but not in the manual";
  for (const std::string& name : kLuaLevelNames)
    EXPECT_TRUE(documented.count(name)) << name << " is a cartridge global but not in the manual";
  std::set<std::string> registry = registry_names();
  for (const auto& [name, line] : documented)
    EXPECT_TRUE(registry.count(name) || kLuaLevelNames.count(name))
        << "manual line " << line << " documents " << name << ", which no cartridge can call";
}

// The Lua-level list above stays true: each name is a function of a bare
// script machine once the runtime header has run.
TEST(ManualApi, LuaLevelNamesAreGlobalsOfTheScriptMachine) {
  lua_State* L = zurkel_new_state();
  ASSERT_NE(L, nullptr);
  ASSERT_EQ(luaL_loadstring(L, zurkel_runtime_header), LUA_OK);
  ASSERT_EQ(lua_pcall(L, 0, 0, 0), LUA_OK) << lua_tostring(L, -1);
  for (const std::string& name : kLuaLevelNames) {
    lua_getglobal(L, name.c_str());
    EXPECT_TRUE(lua_isfunction(L, -1)) << name;
    lua_pop(L, 1);
  }
  lua_close(L);
}
