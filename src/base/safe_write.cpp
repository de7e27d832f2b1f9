#include "base/safe_write.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "base/debug.h"

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

namespace {
bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool is_stale_temp(const std::string& name, const struct stat& st) {
  size_t at = name.rfind(".tmp");
  if (at == std::string::npos || at == 0) return false;
  std::string pid = name.substr(at + 4);
  if (!pid.empty()) {
    if (pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) return false;
    long p = std::strtol(pid.c_str(), nullptr, 10);
    return p > 0 && p != getpid() && kill(static_cast<pid_t>(p), 0) != 0 && errno == ESRCH;
  }
  std::string target = name.substr(0, at);
  bool ours = ends_with(target, ".zk") || ends_with(target, ".zk.png") ||
              ends_with(target, ".zkd.txt") || target == "config.txt" || ends_with(target, ".pod");
  return ours && std::time(nullptr) - st.st_mtime > 60;
}
}  // namespace

int brim_clean_stale_temp_files(const char* folder, int depth) {
  if (!folder || !*folder) return 0;
  std::string base = folder;
  if (base.back() != '/') base += '/';
  DIR* d = opendir(base.c_str());
  if (!d) return 0;
  int removed = 0;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string path = base + name;
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      if (depth > 0) removed += brim_clean_stale_temp_files(path.c_str(), depth - 1);
    } else if (S_ISREG(st.st_mode) && is_stale_temp(name, st) && std::remove(path.c_str()) == 0) {
      brim_debugf("removed stale temporary file %.400s\n", path.c_str());
      removed++;
    }
  }
  closedir(d);
  return removed;
}
