#include "base/line_reader.h"

bool brim_read_line(FILE* f, char* out, int max) {
  int n = 0, c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (n < max) out[n++] = static_cast<char>(c);
  }
  out[n] = 0;
  return any;
}
