#include "base/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
FILE* log_file = nullptr;
FILE* second_file = nullptr;
int indent = 0;

void write_line(FILE* f, const char* text) {
  if (!f) return;
  for (int i = 0; i < indent; i++) std::fputs("  ", f);
  std::fputs(text, f);
  std::fflush(f);
}
}  // namespace

void brim_debug(const char* text) {
  if (!text) return;
  if (std::strlen(text) > 512) text = "[debug string too long!]\n";
  if (text[0] == '<' && indent > 0) indent--;
  write_line(log_file, text);
  write_line(second_file, text);
  if (text[0] == '>') indent++;
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
  log_file = std::fopen(path, "a");
  return log_file != nullptr;
}

void brim_debug_close() {
  if (log_file) std::fclose(log_file);
  log_file = nullptr;
  indent = 0;
}

void brim_debug_set_second(void* file) { second_file = static_cast<FILE*>(file); }

int brim_debug_indent() { return indent; }
