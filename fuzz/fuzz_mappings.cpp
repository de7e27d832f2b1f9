// Any bytes as sdl_controllers.txt: every line handed on is trimmed, not
// empty, no comment and at most 1,023 characters, and goes on to the host
// library's own mapping parser (reset now and then, so memory stays flat).
#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "input/controller_mappings.h"

namespace {
std::string path;
int added = 0;

int check_and_add(const char* m) {
  size_t n = std::strlen(m);
  if (n == 0 || n > BRIM_MAPPING_LINE_MAX || m[0] == '/' || std::strchr(m, '\n')) __builtin_trap();
  for (char edge : {m[0], m[n - 1]})
    if (edge == ' ' || edge == '\t' || edge == '\r') __builtin_trap();
  if (++added % 4096 == 0) {
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  return SDL_GameControllerAddMapping(m);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (path.empty()) {
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    path = "/tmp/fuzz_mappings" + std::to_string(getpid()) + ".txt";
    std::atexit([] { std::remove(path.c_str()); });
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) __builtin_trap();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  if (!brim_read_controller_file(path.c_str(), check_and_add)) __builtin_trap();
  return 0;
}
