#include "settings/shell_state.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
char g_current[1024] = "";
}

const char* shell_current_folder() { return g_current; }

void shell_set_current_folder(const char* folder) {
  std::strncpy(g_current, folder ? folder : "", sizeof g_current - 1);
  g_current[sizeof g_current - 1] = 0;
}

std::string shell_normalise_path(const std::string& path) {
  std::string p = path;
  if (!p.empty() && p[0] == '~') {
    const char* home = std::getenv("HOME");
    p = std::string(home ? home : "") + p.substr(1);
  }
  bool absolute = !p.empty() && p[0] == '/';
  bool trailing = !p.empty() && p.back() == '/';
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= p.size()) {
    size_t j = p.find('/', i);
    if (j == std::string::npos) j = p.size();
    std::string part = p.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out = absolute ? "/" : "";
  for (size_t k = 0; k < parts.size(); k++) {
    if (k) out += "/";
    out += parts[k];
  }
  if (trailing && !parts.empty()) out += "/";
  return out;
}

std::string shell_resolve(const char* root_path, const char* name) {
  std::string base = root_path ? root_path : "";
  std::string full = name[0] == '/' ? base + (name + 1) : base + g_current + name;
  return shell_normalise_path(full);
}
