// Pods: the engine's archive, an ordered list of typed items stored as
// tagged chunks (little-endian 32-bit integers throughout).
//
//   "CPOD" 68, version 1, name[32], item count, 28 reserved bytes
//   "CFIL" 0, size, name[64], bytes               file item (type 12)
//   "cFIL" 0, size, name[64], n, LZ4 block        the same, compressed
//   "CBMP" len, w, h, depth, flags, 0, pixels     bitmap item (type 4)
//   "cBMP" len, w, h, depth, flags, 0, n, block   the same, compressed
//   "CPAL" 768, 256 x (r, g, b)                   palette item (type 5)
//   "CNOP" 0                                      a missing pod in a row of pods
//
// A pod ends at the end of the data or where the next "CPOD" or "CNOP"
// begins, so several pods can follow each other. A nested pod is a file
// item whose bytes are a pod (cpod_load_nested).
#pragma once
#include <cstdint>

#include "base/bitmap.h"
#include "pod/stream.h"

enum brim_item_type {
  BRIM_ITEM_BITMAP = 4,   // brim_bitmap*
  BRIM_ITEM_PALETTE = 5,  // brim_pod_palette*
  BRIM_ITEM_FILE = 12,    // brim_stream* (a memory buffer)
};

struct brim_pod_palette {
  uint8_t rgb[256][3];
};

struct brim_pod_item {
  int type = 0;
  void* item = nullptr;
  void (*destroy)(void*) = nullptr;  // how the pod frees it; null: not owned
};

constexpr int BRIM_POD_NAME_SIZE = 32;

struct brim_pod {
  char name[BRIM_POD_NAME_SIZE] = {};
  int count = 0;
  int capacity = 0;
  brim_pod_item* items = nullptr;
};

// Version word of the last pod header read.
extern int brim_pod_version;
// When non-zero, files and bitmaps are written compressed ("cFIL", "cBMP").
extern int brim_pod_compression;

// Chunks of tags the reader does not know are offered here first. The
// callback reads the chunk's payload (length bytes follow the 8-byte tag
// and length) and may add an item; it returns true when it consumed the
// chunk, false to have it skipped by length with a log line.
using brim_pod_item_loader = bool (*)(brim_pod* pod, const char tag[4], uint32_t length,
                                      brim_stream* s);
extern brim_pod_item_loader brim_pod_loader_callback;

brim_pod* brim_create_pod(int size);  // size: items to make room for
void brim_destroy_pod(brim_pod* pod); // frees the items it owns; null ignored
// Appends an item; files, bitmaps and palettes become owned by the pod.
// Returns the item's index, or -1.
int cpod_add_item(brim_pod* pod, int type, void* item);
// Item at index, or null out of range. type (optional) receives its type.
void* cpod_get_item(const brim_pod* pod, int index, int* type = nullptr);
// Typed lookups: null when the index is out of range or of another type.
brim_stream* cpod_get_file(const brim_pod* pod, int index);
brim_bitmap* cpod_get_bitmap(const brim_pod* pod, int index);
brim_pod_palette* cpod_get_palette(const brim_pod* pod, int index);
// Reads the file item at index as a pod (the caller destroys it), or null.
brim_pod* cpod_load_nested(const brim_pod* pod, int index);
// Copies bytes into a new named file item and appends it; index or -1.
int cpod_add_file(brim_pod* pod, const char* name, const void* data, int size);

// Reading.
brim_pod* brim_load_pod(const char* path);
brim_pod* brim_load_pod_file(const char* name, brim_stream* s);
void brim_load_pod_set_from_memory(const void* data, int length, brim_pod* pods[256]);

// Writing. brim_save_pod returns 0 even when the file cannot be created.
int brim_save_pod(const char* path, brim_pod* pod);
// Returns 0, or -1 when a write failed. A null pod writes "CNOP".
int brim_save_pod_file(const char* name, const brim_pod* pod, brim_stream* s);

// LZ4 framing: a 4-byte compressed size, then an LZ4 block (written by the
// high-compression compressor). brim_fwrite_lz4 returns the bytes written
// (4 + n) or -1. brim_fread_lz4 expands into dst (exactly size bytes) and
// returns 0, or -1 when the block is damaged, short or expands to any
// other size.
int brim_fwrite_lz4(brim_stream* s, const void* src, int size);
int brim_fread_lz4(brim_stream* s, void* dst, int size);
