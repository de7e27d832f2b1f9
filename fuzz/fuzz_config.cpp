// Any bytes as config.txt. Whatever is read must be written, and the
// written file must read back to the same settings: writing it again gives
// the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/config.h"

namespace {
std::string in, once_path, twice_path;

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string load_and_save(const std::string& from, const std::string& to) {
  zurkel_config_default();
  brim_config_load_file(from.c_str());
  if (!brim_config_save_file(to.c_str())) __builtin_trap();
  return slurp(to);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (in.empty()) {
    std::string base = "/tmp/fuzz_config" + std::to_string(getpid());
    in = base + "_in.txt", once_path = base + "_a.txt", twice_path = base + "_b.txt";
    std::atexit([] {
      for (const std::string* p : {&in, &once_path, &twice_path}) std::remove(p->c_str());
    });
  }
  std::FILE* f = std::fopen(in.c_str(), "wb");
  if (!f) __builtin_trap();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  std::string once = load_and_save(in, once_path);
  if (load_and_save(once_path, twice_path) != once) __builtin_trap();
  return 0;
}
