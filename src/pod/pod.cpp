// The in-memory pod: (type, item) pairs in insertion order.
#include "pod/pod.h"

#include <cstdlib>
#include <cstring>
#include <new>

int brim_pod_version = 0;
int brim_pod_compression = 0;
brim_pod_item_loader brim_pod_loader_callback = nullptr;

namespace {

void destroy_file(void* p) { brim_destroy_buffer(static_cast<brim_stream*>(p)); }
void destroy_bitmap(void* p) { brim_destroy_bitmap(static_cast<brim_bitmap*>(p)); }
void destroy_palette(void* p) { delete static_cast<brim_pod_palette*>(p); }

bool grow(brim_pod* pod) {
  if (pod->count < pod->capacity) return true;
  int cap = pod->capacity ? pod->capacity * 2 : 16;
  auto* items = new (std::nothrow) brim_pod_item[cap];
  if (!items) return false;
  for (int i = 0; i < pod->count; i++) items[i] = pod->items[i];
  delete[] pod->items;
  pod->items = items;
  pod->capacity = cap;
  return true;
}

}  // namespace

brim_pod* brim_create_pod(int size) {
  auto* pod = new (std::nothrow) brim_pod;
  if (!pod) return nullptr;
  if (size > 0 && size <= 65536) {
    pod->items = new (std::nothrow) brim_pod_item[size];
    if (pod->items) pod->capacity = size;
  }
  return pod;
}

void brim_destroy_pod(brim_pod* pod) {
  if (!pod) return;
  for (int i = 0; i < pod->count; i++)
    if (pod->items[i].destroy) pod->items[i].destroy(pod->items[i].item);
  delete[] pod->items;
  delete pod;
}

int cpod_add_item(brim_pod* pod, int type, void* item) {
  if (!pod || !grow(pod)) return -1;
  brim_pod_item& it = pod->items[pod->count];
  it.type = type;
  it.item = item;
  it.destroy = type == BRIM_ITEM_FILE      ? destroy_file
               : type == BRIM_ITEM_BITMAP  ? destroy_bitmap
               : type == BRIM_ITEM_PALETTE ? destroy_palette
                                           : nullptr;
  return pod->count++;
}

void* cpod_get_item(const brim_pod* pod, int index, int* type) {
  if (!pod || index < 0 || index >= pod->count) {
    if (type) *type = 0;
    return nullptr;
  }
  if (type) *type = pod->items[index].type;
  return pod->items[index].item;
}

namespace {
void* typed(const brim_pod* pod, int index, int want) {
  int type = 0;
  void* item = cpod_get_item(pod, index, &type);
  return type == want ? item : nullptr;
}
}  // namespace

brim_stream* cpod_get_file(const brim_pod* pod, int index) {
  return static_cast<brim_stream*>(typed(pod, index, BRIM_ITEM_FILE));
}

brim_bitmap* cpod_get_bitmap(const brim_pod* pod, int index) {
  return static_cast<brim_bitmap*>(typed(pod, index, BRIM_ITEM_BITMAP));
}

brim_pod_palette* cpod_get_palette(const brim_pod* pod, int index) {
  return static_cast<brim_pod_palette*>(typed(pod, index, BRIM_ITEM_PALETTE));
}

brim_pod* cpod_load_nested(const brim_pod* pod, int index) {
  brim_stream* file = cpod_get_file(pod, index);
  if (!file) return nullptr;
  brim_stream* view = brim_open_buffer_view(file);
  brim_pod* nested = brim_load_pod_file(file->name, view);
  brim_fclose(view);
  return nested;
}

int cpod_add_file(brim_pod* pod, const char* name, const void* data, int size) {
  brim_stream* f = brim_create_buffer(size);
  if (!f) return -1;
  if (size > 0) std::memcpy(f->data, data, size);
  if (name) std::strncpy(f->name, name, BRIM_BUFFER_NAME_SIZE - 1);
  int index = cpod_add_item(pod, BRIM_ITEM_FILE, f);
  if (index < 0) brim_destroy_buffer(f);
  return index;
}
