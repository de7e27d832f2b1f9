#include "base/safe_write.h"

#include <unistd.h>

#include <cstdio>
#include <string>

bool brim_write_file_safely(const char* path, brim_file_writer writer, void* ctx) {
  if (!path || !*path) return false;
  std::string tmp = std::string(path) + ".tmp" + std::to_string(getpid());
  return brim_write_file_via(path, tmp.c_str(), writer, ctx);
}

bool brim_write_file_via(const char* path, const char* temp_path, brim_file_writer writer,
                         void* ctx) {
  if (!path || !*path || !temp_path || !*temp_path) return false;
  FILE* f = std::fopen(temp_path, "wb");
  if (!f) return false;
  bool ok = writer(f, ctx);
  ok = (std::fflush(f) == 0) && !std::ferror(f) && ok;
  // On disk before the rename, so a crash leaves the old file or the new one.
  ok = (fsync(fileno(f)) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = std::rename(temp_path, path) == 0;
  if (!ok) std::remove(temp_path);
  return ok;
}
