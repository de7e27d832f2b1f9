#include "cart/cart_files.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

#include <cstdio>

#include "base/safe_write.h"
#include "pod/stream.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"
#include "settings/shell_state.h"

bool cart_read_file(const std::string& path, std::vector<uint8_t>& data, size_t max_size) {
  data.clear();
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n == 0) break;
    if (data.size() + n > max_size) {
      ok = false;
      break;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  if (std::ferror(f)) ok = false;
  std::fclose(f);
  if (!ok) data.clear();
  return ok;
}

namespace {
struct write_job {
  const void* data;
  size_t size;
};
bool write_bytes(FILE* f, void* ctx) {
  auto* job = static_cast<write_job*>(ctx);
  return job->size == 0 || std::fwrite(job->data, 1, job->size, f) == job->size;
}
}  // namespace

bool cart_write_file(const std::string& path, const void* data, size_t size) {
  write_job job{data, size};
  return brim_write_file_safely(path.c_str(), write_bytes, &job);
}

bool cart_file_exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string cart_base_name(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool cart_read_any(const std::string& path, std::vector<uint8_t>& data, size_t max_size) {
  data.clear();
  brim_stream* s = brim_fopen(path.c_str(), "rb");
  if (!s) return false;
  uint8_t chunk[65536];
  bool ok = true;
  for (;;) {
    size_t n = brim_fread(chunk, 1, sizeof chunk, s);
    if (n == 0) break;
    if (data.size() + n > max_size) {
      ok = false;
      break;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  brim_fclose(s);
  if (!ok) data.clear();
  return ok;
}

std::string cart_data_folder() { return brim_appdata_folder(); }

std::string cart_current_folder() {
  return std::string(console_config.root_path) + shell_current_folder();
}

std::vector<std::string> cart_search_paths(const std::string& name) {
  if (name.empty()) return {};
  if (name[0] == '/') return {name};
  std::string in_folder = cart_current_folder() + name;
  if (in_folder == name) return {name};
  return {in_folder, name};
}

namespace {
std::string slash_ended(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

bool starts_with_folder(const std::string& path, const std::string& folder) {
  return !folder.empty() && (path.compare(0, folder.size(), folder) == 0 ||
                             slash_ended(path) == folder);
}

// The real path of the longest part of path that exists ("" when none).
std::string real_existing_part(std::string path) {
  char real[PATH_MAX];
  while (!path.empty()) {
    if (realpath(path.c_str(), real)) return slash_ended(real);
    size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    if (slash == std::string::npos) return "";
    path = path.substr(0, slash + 1);
  }
  return "";
}
}  // namespace

bool cart_path_inside(const std::string& folder, const std::string& path) {
  std::string root = slash_ended(shell_normalise_path(folder));
  if (root.empty() || root == "/") return false;
  if (!starts_with_folder(shell_normalise_path(path), root)) return false;
  char real_root[PATH_MAX];
  if (!realpath(root.c_str(), real_root)) return true;  // nothing on disk to follow
  std::string existing = real_existing_part(path);
  return existing.empty() || starts_with_folder(existing, slash_ended(real_root));
}

bool cart_path_inside_root(const std::string& path) {
  return cart_path_inside(console_config.root_path, path);
}

std::string cart_command_line_folder() {
  std::string name = zopts.auto_load_fn;
  if (name.empty()) return "";
  char real[PATH_MAX];
  if (!realpath(name.c_str(), real)) return "";
  std::string path = real;
  return path.substr(0, path.find_last_of('/') + 1);
}

std::string cart_script_path(const std::string& name) {
  if (name.empty()) return "";
  std::string path = shell_normalise_path(cart_current_folder() + name);
  if (!name.empty() && name.back() == '/' && (path.empty() || path.back() != '/')) path += '/';
  return cart_path_inside_root(path) ? path : "";
}

bool cart_file_stamp(const std::string& path, long long* mtime_ns, long long* size) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    *mtime_ns = *size = -1;
    return false;
  }
  *mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  *size = static_cast<long long>(st.st_size);
  return true;
}
