// The page's URL query as console options: `?frames=60&seed=3&fast=1`
// becomes `-frames 60 -seed 3 -fast`. The automation of the desktop (its
// option names and values) thus reaches the web player unchanged.
#pragma once
#include <string>
#include <vector>

struct web_query_pair {
  std::string key;
  std::string value;  // percent-decoded, '+' read as a space
};

// Splits a query ("?a=1&b=x%20y", the leading '?' optional) into its pairs.
std::vector<web_query_pair> web_query_parse(const char* query);

// The pairs as command-line words: "-key value" for an option that takes a
// value, "-key" for a flag unless its value is "0" or "false".
std::vector<std::string> web_query_arguments(const std::vector<web_query_pair>& pairs,
                                             bool (*takes_value)(const char* name));
