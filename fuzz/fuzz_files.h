// Files for the targets that read what they fuzz from disk: the three
// temporary paths of one fuzzing process (removed at its exit) and whole-file
// reads and writes.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

struct fuzz_paths {
  std::string in, once, twice;
};

// The paths of this process under /tmp, named after the target.
inline const fuzz_paths& fuzz_temp_paths(const char* target) {
  static fuzz_paths p;
  if (p.in.empty()) {
    std::string base = std::string("/tmp/") + target + std::to_string(getpid());
    p = {base + "_in", base + "_a.txt", base + "_b.txt"};
    std::atexit([] {
      for (const std::string* s : {&p.in, &p.once, &p.twice}) std::remove(s->c_str());
    });
  }
  return p;
}

inline std::string fuzz_slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void fuzz_spit(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) __builtin_trap();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
}
