// Writing pods to streams and files.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/debug.h"
#include "pod/pod.h"
#include "settings/folders.h"
#include "base/safe_write.h"

namespace {

bool write_tag(brim_stream* s, const char* tag, uint32_t length) {
  return brim_fwrite(tag, 1, 4, s) == 4 && brim_write_u32(s, length);
}

bool write_file(brim_stream* s, const brim_stream* f) {
  bool packed = brim_pod_compression != 0;
  char name[BRIM_BUFFER_NAME_SIZE] = {};
  std::memcpy(name, f->name, sizeof name - 1);  // byte 63 stays NUL
  if (!write_tag(s, packed ? "cFIL" : "CFIL", 0) || !brim_write_u32(s, static_cast<uint32_t>(f->size)) ||
      brim_fwrite(name, 1, sizeof name, s) != sizeof name)
    return false;
  if (packed) return brim_fwrite_lz4(s, f->data, f->size) > 0;
  return f->size == 0 || brim_fwrite(f->data, 1, f->size, s) == static_cast<size_t>(f->size);
}

bool write_bitmap(brim_stream* s, const brim_bitmap* b) {
  bool packed = brim_pod_compression != 0;
  int bytes = b->w * b->h * (b->depth / 8);
  if (!write_tag(s, packed ? "cBMP" : "CBMP", static_cast<uint32_t>(bytes + 20))) return false;
  const uint32_t fields[5] = {static_cast<uint32_t>(b->w), static_cast<uint32_t>(b->h),
                              static_cast<uint32_t>(b->depth), static_cast<uint32_t>(b->flags), 0};
  for (uint32_t v : fields)
    if (!brim_write_u32(s, v)) return false;
  if (packed) return brim_fwrite_lz4(s, b->data, bytes) > 0;
  return brim_fwrite(b->data, 1, bytes, s) == static_cast<size_t>(bytes);
}

bool write_palette(brim_stream* s, const brim_pod_palette* p) {
  return write_tag(s, "CPAL", 768) && brim_fwrite(p->rgb, 1, 768, s) == 768;
}

}  // namespace

int brim_save_pod_file(const char* name, const brim_pod* pod, brim_stream* s) {
  if (!s) return -1;
  if (!pod) return write_tag(s, "CNOP", 0) ? 0 : -1;
  char pod_name[BRIM_POD_NAME_SIZE] = {};
  std::snprintf(pod_name, sizeof pod_name, "%s", name && *name ? name : pod->name);
  const uint8_t reserved[28] = {};
  if (!write_tag(s, "CPOD", 68) || !brim_write_u32(s, 1) ||
      brim_fwrite(pod_name, 1, sizeof pod_name, s) != sizeof pod_name ||
      !brim_write_u32(s, static_cast<uint32_t>(pod->count)) ||
      brim_fwrite(reserved, 1, sizeof reserved, s) != sizeof reserved)
    return -1;
  for (int i = 0; i < pod->count; i++) {
    const brim_pod_item& it = pod->items[i];
    bool ok;
    if (it.type == BRIM_ITEM_FILE && it.item) {
      ok = write_file(s, static_cast<const brim_stream*>(it.item));
    } else if (it.type == BRIM_ITEM_BITMAP && it.item) {
      ok = write_bitmap(s, static_cast<const brim_bitmap*>(it.item));
    } else if (it.type == BRIM_ITEM_PALETTE && it.item) {
      ok = write_palette(s, static_cast<const brim_pod_palette*>(it.item));
    } else {
      // Engine objects this program has no writer for keep their place as
      // empty files, so later items keep their indices.
      brim_stream empty;
      empty.owns_data = false;
      ok = write_file(s, &empty);
    }
    if (!ok) return -1;
  }
  return 0;
}

int brim_save_pod(const char* path, brim_pod* pod) {
  if (!path) return 0;
  // Written beside the target, then renamed over it: a failed write never
  // leaves a half pod where the old one was.
  std::string temp = std::string(path) + ".tmp";
  auto write = [](FILE* f, void* ctx) {
    auto* p = static_cast<brim_pod*>(ctx);
    brim_stream s;
    s.fp = f;
    return brim_save_pod_file(p ? p->name : "", p, &s) == 0;
  };
  int rc = brim_write_file_via(path, temp.c_str(), write, pod) ? 0 : -1;
  brim_debugf("brim_save_pod: %s %d \n", path, rc);
  return 0;
}
