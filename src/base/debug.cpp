#include "base/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
struct {
  FILE* log_file = nullptr;
  FILE* second_file = nullptr;
  int indent = 0;
} logs;

void write_line(FILE* f, const char* text) {
  if (!f) return;
  for (int i = 0; i < logs.indent; i++) std::fputs("  ", f);
  std::fputs(text, f);
  std::fflush(f);
}
}  // namespace

void brim_debug(const char* text) {
  if (!text) return;
  if (std::strlen(text) > 512) text = "[debug string too long!]\n";
  if (text[0] == '<' && logs.indent > 0) logs.indent--;
  write_line(logs.log_file, text);
  write_line(logs.second_file, text);
  if (text[0] == '>') logs.indent++;
}

void brim_debugf(const char* fmt, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  // Anything that did not fit is over 512 characters anyway.
  brim_debug(n >= static_cast<int>(sizeof buf) ? "[debug string too long!]\n" : buf);
}

bool brim_debug_open(const char* path) {
  brim_debug_close();
  logs.log_file = std::fopen(path, "a");
  return logs.log_file != nullptr;
}

void brim_debug_close() {
  if (logs.log_file) std::fclose(logs.log_file);
  logs.log_file = nullptr;
  logs.indent = 0;
}

void brim_debug_set_second(void* file) { logs.second_file = static_cast<FILE*>(file); }

int brim_debug_indent() { return logs.indent; }
