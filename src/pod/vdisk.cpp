#include "pod/vdisk.h"

#include <cstring>
#include <vector>

namespace {

// At most this many files; creating more fails rather than growing forever.
constexpr size_t kMaxFiles = 1024;

// Owns its files: they are freed when the program ends.
struct disk_files {
  std::vector<brim_stream*> files;
  ~disk_files() {
    for (brim_stream* f : files) brim_destroy_buffer(f);
  }
};

std::vector<brim_stream*>& disk() {
  static disk_files d;
  return d.files;
}

// Names longer than a buffer name are stored cut; lookups cut the same way.
bool same_name(const brim_stream* f, const char* base) {
  return std::strncmp(f->name, base, BRIM_BUFFER_NAME_SIZE - 1) == 0;
}

}  // namespace

const char* brim_base_name(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; p++)
    if (*p == '/' || *p == '\\') base = p + 1;
  return base;
}

brim_stream* brim_vdisk_find(const char* path) {
  if (!path) return nullptr;
  const char* base = brim_base_name(path);
  if (!*base) return nullptr;
  for (brim_stream* f : disk())
    if (same_name(f, base)) return f;
  return nullptr;
}

brim_stream* brim_fopen_vdisk(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  brim_stream* f = brim_vdisk_find(path);
  if (mode[0] == 'r') {
    if (f) f->pos = 0;
    return f;
  }
  if (mode[0] != 'w') return nullptr;
  if (f) {
    f->size = 0;
    f->pos = 0;
    return f;
  }
  const char* base = brim_base_name(path);
  if (!*base || disk().size() >= kMaxFiles) return nullptr;
  f = brim_create_buffer(0);
  if (!f) return nullptr;
  std::strncpy(f->name, base, BRIM_BUFFER_NAME_SIZE - 1);
  f->on_vdisk = true;
  disk().push_back(f);
  return f;
}

void brim_vdisk_remove(const char* path) {
  brim_stream* f = brim_vdisk_find(path);
  if (!f) return;
  std::erase(disk(), f);
  brim_destroy_buffer(f);
}

void brim_vdisk_clear() {
  for (brim_stream* f : disk()) brim_destroy_buffer(f);
  disk().clear();
}

int brim_vdisk_count() { return static_cast<int>(disk().size()); }
