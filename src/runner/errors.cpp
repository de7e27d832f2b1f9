#include "runner/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/strings.h"
#include "gfx/printer.h"
#include "script/tabs.h"
#include "lua.h"
#include "machine/machine.h"

void extract_runtime_error(zurkel_machine* m, const char* message) {
  if (!message) return;
  if (!std::strstr(message, "-- zurkel header")) {
    if (std::strcmp(message, "not enough memory") != 0) zurkel_print_col(m, message, 6);
    return;
  }
  if (std::strstr(message, "assertion failed")) {
    zurkel_print_col(m, "assertion failed", 6);
    if (m->fault.assert_message[0]) zurkel_print_col(m, m->fault.assert_message, 7);
  }
}

const char* extract_syntax_error(zurkel_machine* m, const char* message, char* out, int cap) {
  if (!message || std::strstr(message, "_end_of_program")) return nullptr;
  const char* close = std::strstr(message, "to close '");
  if (std::strstr(message, "<eof>") && close) {
    const char* w = close + 10;
    const char* e = std::strchr(w, '\'');
    int n = e ? static_cast<int>(e - w) : static_cast<int>(std::strlen(w));
    char word[256];
    if (n > 255) n = 255;
    std::memcpy(word, w, n);
    word[n] = 0;
    char line[300];
    std::snprintf(line, sizeof line, "unclosed %s\n", word);
    zurkel_print_col(m, line, 6);
    return nullptr;
  }
  const char* colon = std::strrchr(message, ':');
  const char* rest = colon ? colon + 1 : message;
  while (*rest == ' ') rest++;
  int keep = cap - 1 < 1023 ? cap - 1 : 1023;
  zurkel_copy_cut(out, rest, keep);
  return out;
}

void get_nth_line(const char* text, int n, char* out, int cap) {
  const char* p = text ? text : "";
  if (n < 0) {
    zurkel_copy_cut(out, "<eof>", cap - 1);
    return;
  }
  for (int i = 0; i < n; i++) {
    p = std::strchr(p, '\n');
    if (!p) {
      zurkel_copy_cut(out, "<eof>", cap - 1);
      return;
    }
    p++;
  }
  const char* e = std::strchr(p, '\n');
  size_t len = e ? static_cast<size_t>(e - p) : std::strlen(p);
  if (len > static_cast<size_t>(cap - 1)) len = cap - 1;
  std::memcpy(out, p, len);
  out[len] = 0;
}

void print_traceback(zurkel_machine* m, lua_State* L) {
  if (!L) return;
  lua_getglobal(L, "trace");
  if (!lua_isfunction(L, -1) || lua_pcall(L, 0, 1, 0) != LUA_OK) {
    lua_pop(L, 1);
    return;
  }
  const char* tb = lua_tostring(L, -1);
  std::string_view text = tb ? tb : "";
  int examined = 0;
  size_t pos = 0;
  while (pos <= text.size() && examined < 10) {
    size_t nl = text.find('\n', pos);
    std::string line(text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos));
    pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
    examined++;
    if (line.find("stack traceback") != std::string::npos || line.find("main chunk") != std::string::npos ||
        line.find("'_mainloop") != std::string::npos)
      continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    int L_line = std::atoi(line.c_str() + colon + 1);
    size_t fn = line.find("in function '");
    if (L_line - 3 <= 0 || fn == std::string::npos) continue;
    size_t name_start = fn + 13;
    size_t name_end = line.find('\'', name_start);
    std::string name = line.substr(name_start, name_end == std::string::npos ? std::string::npos : name_end - name_start);
    int tab = 0;
    int tab_line = find_tab_line(L_line - 3, &tab);
    char out[600];
    std::snprintf(out, sizeof out, "in %s line %d (tab %d)", name.c_str(), tab_line + 1, tab);
    zurkel_print_col(m, out, 13);
  }
  lua_pop(L, 1);
}
