#include "machine/brim_main.h"

#include <cstdio>

// Placeholder until the host loop lands.
int brim_main(int, char**) {
  std::printf("zurkel: host loop not built yet\n");
  return 0;
}
