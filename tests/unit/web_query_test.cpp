#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/web/web_query.h"
#include "settings/options.h"

namespace {

std::string words_of(const char* query) {
  auto words = web_query_arguments(web_query_parse(query),
                                   [](const char* name) { return !zurkel_option_is_flag(name); });
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : "|") + w;
  return out;
}

TEST(WebQuery, OptionsFromTheQuery) {
  const char* cases[][2] = {
      {"?frames=60&seed=3&fast=1", "-frames|60|-seed|3|-fast"},
      {"fast=0&frames=%33%37", "-frames|37"},                 // a flag's 0 drops it
      {"?input=10%201%0A30%200&x=false", "-input|10 1\n30 0"},  // lines, and -x off
      {"?p=a+b&&=x&run", "-p|a b|-run"},                       // '+' a space; empty keys skipped
      {"?home=%zz%4", "-home|%zz%4"},                          // bad escapes kept
      {"", ""},
  };
  for (auto& c : cases) EXPECT_EQ(words_of(c[0]), c[1]) << c[0];
}

TEST(WebQuery, FlagsAreTheConsolesOwn) {
  for (const char* flag : {"fast", "run", "splore", "x", "exec"}) EXPECT_TRUE(zurkel_option_is_flag(flag)) << flag;
  for (const char* valued : {"frames", "seed", "input", "home", "headless", "nonsense", ""})
    EXPECT_FALSE(zurkel_option_is_flag(valued)) << valued;
}

}  // namespace
