#include "base/lost_writes.h"

#include <cstdio>

#include "base/debug.h"

namespace {
int lost = 0;
}

void brim_report_lost_write(const char* what) {
  lost++;
  brim_debugf("** could not write %.480s\n", what ? what : "");
  std::fprintf(stderr, "zurkel: could not write %s\n", what ? what : "");
  std::fflush(stderr);
}

int brim_lost_writes() { return lost; }
