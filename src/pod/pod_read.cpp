// Reading pods from files, streams and memory.
#include <cstring>
#include <new>

#include "base/debug.h"
#include "pod/pod.h"

namespace {

// LZ4 never expands one input byte into more than 255 output bytes, so a
// declared size beyond this is a lie and is refused before allocating.
long lz4_expand_limit(brim_stream* s) { return brim_fremaining(s) * 255 + 64; }

bool read_tag(brim_stream* s, char tag[4], uint32_t* length) {
  return brim_fread(tag, 1, 4, s) == 4 && brim_read_u32(s, length);
}

bool is_tag(const char* tag, const char* want) { return std::memcmp(tag, want, 4) == 0; }

bool skip(brim_stream* s, uint32_t length) {
  if (length > static_cast<uint32_t>(brim_fremaining(s))) return false;
  return brim_fseek(s, static_cast<long>(length), SEEK_CUR) == 0;
}

// "CFIL" / "cFIL": size, name[64], then the bytes or an LZ4 frame.
bool read_file(brim_pod* pod, brim_stream* s, bool compressed) {
  uint32_t size = 0;
  char name[BRIM_BUFFER_NAME_SIZE];
  if (!brim_read_u32(s, &size) || brim_fread(name, 1, sizeof name, s) != sizeof name) return false;
  name[BRIM_BUFFER_NAME_SIZE - 1] = 0;
  long limit = compressed ? lz4_expand_limit(s) : brim_fremaining(s);
  if (size > static_cast<uint32_t>(BRIM_BUFFER_MAX) || static_cast<long>(size) > limit) return false;
  brim_stream* f = brim_create_buffer(static_cast<int>(size));
  if (!f) return false;
  std::memcpy(f->name, name, sizeof name);
  bool ok = compressed ? brim_fread_lz4(s, f->data, static_cast<int>(size)) == 0
                       : brim_fread(f->data, 1, size, s) == size;
  if (!ok || cpod_add_item(pod, BRIM_ITEM_FILE, f) < 0) {
    brim_destroy_buffer(f);
    return false;
  }
  return true;
}

// "CBMP" / "cBMP": width, height, depth, flags, reserved, then the pixels.
bool read_bitmap(brim_pod* pod, brim_stream* s, bool compressed) {
  uint32_t w, h, depth, flags, reserved;
  if (!brim_read_u32(s, &w) || !brim_read_u32(s, &h) || !brim_read_u32(s, &depth) ||
      !brim_read_u32(s, &flags) || !brim_read_u32(s, &reserved))
    return false;
  if ((depth != 8 && depth != 32) || w == 0 || h == 0 || w > 16384 || h > 16384) return false;
  long bytes = static_cast<long>(w) * h * (depth / 8);
  long limit = compressed ? lz4_expand_limit(s) : brim_fremaining(s);
  if (bytes > limit || bytes > BRIM_BUFFER_MAX) return false;
  brim_bitmap* bmp = brim_create_bitmap(static_cast<int>(w), static_cast<int>(h), static_cast<int>(depth));
  if (!bmp) return false;
  bmp->flags = static_cast<int>(flags);
  bool ok = compressed ? brim_fread_lz4(s, bmp->data, static_cast<int>(bytes)) == 0
                       : brim_fread(bmp->data, 1, bytes, s) == static_cast<size_t>(bytes);
  if (!ok || cpod_add_item(pod, BRIM_ITEM_BITMAP, bmp) < 0) {
    brim_destroy_bitmap(bmp);
    return false;
  }
  return true;
}

// "CPAL": 256 entries of red, green, blue.
bool read_palette(brim_pod* pod, brim_stream* s, uint32_t length) {
  if (length < 768) return false;
  auto* pal = new (std::nothrow) brim_pod_palette;
  if (!pal) return false;
  if (brim_fread(pal->rgb, 1, 768, s) != 768 || !skip(s, length - 768) ||
      cpod_add_item(pod, BRIM_ITEM_PALETTE, pal) < 0) {
    delete pal;
    return false;
  }
  return true;
}

}  // namespace

brim_pod* brim_load_pod_file(const char* name, brim_stream* s) {
  if (!s) return nullptr;
  char tag[4];
  uint32_t length = 0;
  if (!read_tag(s, tag, &length) || !is_tag(tag, "CPOD")) return nullptr;
  uint32_t version = 0, count = 0;
  char pod_name[BRIM_POD_NAME_SIZE];
  // The header is 68 bytes; a longer one is skipped to its end.
  if (length < 40 || !brim_read_u32(s, &version) ||
      brim_fread(pod_name, 1, sizeof pod_name, s) != sizeof pod_name || !brim_read_u32(s, &count) ||
      !skip(s, length - 40))
    return nullptr;
  brim_pod_version = static_cast<int>(version);
  brim_pod* pod = brim_create_pod(0);
  if (!pod) return nullptr;
  std::memcpy(pod->name, pod_name, sizeof pod_name);
  pod->name[BRIM_POD_NAME_SIZE - 1] = 0;

  bool corrupt = false;
  while (!corrupt) {
    if (!read_tag(s, tag, &length)) break;  // the end of the data
    if (is_tag(tag, "CPOD") || is_tag(tag, "CNOP")) {
      brim_fseek(s, -8, SEEK_CUR);  // the next call starts there
      break;
    }
    if (is_tag(tag, "CFIL") || is_tag(tag, "cFIL")) {
      corrupt = !read_file(pod, s, tag[0] == 'c');
    } else if (is_tag(tag, "CBMP") || is_tag(tag, "cBMP")) {
      corrupt = !read_bitmap(pod, s, tag[0] == 'c');
    } else if (is_tag(tag, "CPAL")) {
      corrupt = !read_palette(pod, s, length);
    } else if (!brim_pod_loader_callback || !brim_pod_loader_callback(pod, tag, length, s)) {
      brim_debug("brim_load_pod_file: Unknown Chunk!\n");
      if (!skip(s, length)) corrupt = true;
    }
  }
  if (corrupt) brim_debugf("brim_load_pod_file: damaged chunk in %s\n", name && *name ? name : pod->name);
  if (corrupt || pod->count == 0) {
    brim_destroy_pod(pod);
    return nullptr;
  }
  return pod;
}

brim_pod* brim_load_pod(const char* path) {
  brim_stream* s = brim_fopen(path, "rb");
  brim_pod* pod = s ? brim_load_pod_file(path, s) : nullptr;
  brim_fclose(s);
  brim_debugf("brim_load_pod: %s %s \n", path ? path : "", pod ? "ok" : "failed");
  return pod;
}

void brim_load_pod_set_from_memory(const void* data, int length, brim_pod* pods[256]) {
  brim_debugf("brim_load_pod_set_from_memory  len %d ", length);
  brim_stream* s = brim_open_memory(data, length > 0 ? length : 0);
  for (int i = 0; i < 256; i++)
    pods[i] = s && !brim_feof(s) ? brim_load_pod_file("", s) : nullptr;
  brim_fclose(s);
  brim_debug("ok\n");
}
