#include "web_query.h"

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A malformed escape ("%zz", a cut "%4") is kept as it stands.
std::string decode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    int hi = -1, lo = -1;
    if (s[i] == '%' && i + 2 < s.size()) {
      hi = hex_digit(s[i + 1]);
      lo = hex_digit(s[i + 2]);
    }
    if (hi >= 0 && lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += s[i] == '+' ? ' ' : s[i];
    }
  }
  return out;
}

}  // namespace

std::vector<web_query_pair> web_query_parse(const char* query) {
  std::vector<web_query_pair> pairs;
  std::string q = query ? query : "";
  if (!q.empty() && q[0] == '?') q.erase(0, 1);
  size_t start = 0;
  while (start <= q.size()) {
    size_t end = q.find('&', start);
    if (end == std::string::npos) end = q.size();
    std::string item = q.substr(start, end - start);
    if (!item.empty()) {
      size_t eq = item.find('=');
      pairs.push_back({decode(item.substr(0, eq)),
                       eq == std::string::npos ? "" : decode(item.substr(eq + 1))});
    }
    start = end + 1;
  }
  return pairs;
}

std::vector<std::string> web_query_arguments(const std::vector<web_query_pair>& pairs,
                                             bool (*takes_value)(const char* name)) {
  std::vector<std::string> words;
  for (const web_query_pair& p : pairs) {
    if (p.key.empty()) continue;
    if (takes_value(p.key.c_str())) {
      words.push_back("-" + p.key);
      words.push_back(p.value);
    } else if (p.value != "0" && p.value != "false") {
      words.push_back("-" + p.key);
    }
  }
  return words;
}
