// Streams: files and memory buffers behind one read/write interface. A
// memory stream is also the pod's file item (type 12): a named byte buffer
// with a read/write position. Virtual-disk files are memory streams too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr int BRIM_BUFFER_NAME_SIZE = 64;
// Memory streams never grow beyond this (a guard against runaway writers).
constexpr int BRIM_BUFFER_MAX = 256 << 20;

struct brim_stream {
  FILE* fp = nullptr;        // file stream; null for a memory stream
  uint8_t* data = nullptr;   // memory stream bytes
  int size = 0;              // bytes of data in use
  int capacity = 0;          // bytes allocated
  int pos = 0;               // read/write position
  char name[BRIM_BUFFER_NAME_SIZE] = {};
  bool eof = false;          // file stream: a read ran into the end
  bool owns_data = true;     // false: a read-only view of someone else's bytes
  bool on_vdisk = false;     // kept by the virtual disk; closing only rewinds
};

// Opens a real file (fopen modes). When that fails and mode begins with
// 'r', the virtual disk is tried (pod/vdisk.h). Null when neither opens.
brim_stream* brim_fopen(const char* path, const char* mode);
// A real file only.
brim_stream* brim_fopen_file(const char* path, const char* mode);
// Closes a file stream; frees a memory stream (a virtual-disk file is only
// rewound). Null is ignored. Returns 0, or EOF when a file failed to flush.
int brim_fclose(brim_stream* s);

// A byte buffer of size zeroed bytes, position 0; grows as it is written.
// Null when size is negative or above BRIM_BUFFER_MAX.
brim_stream* brim_create_buffer(int size);
void brim_destroy_buffer(brim_stream* s);
// A read-only stream over bytes the caller keeps alive; brim_fclose frees
// only the stream.
brim_stream* brim_open_memory(const void* data, int size);
// A read-only view of a buffer's bytes with its own position (pod items are
// read this way without disturbing the item).
brim_stream* brim_open_buffer_view(const brim_stream* buffer);

size_t brim_fread(void* dst, size_t size, size_t count, brim_stream* s);
size_t brim_fwrite(const void* src, size_t size, size_t count, brim_stream* s);
int brim_fgetc(brim_stream* s);  // EOF at the end
int brim_fputs(const char* text, brim_stream* s);
int brim_fprintf(brim_stream* s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Standard fgets: keeps the line feed.
char* brim_fgets(char* buf, int size, brim_stream* s);
// End of the data. A file counts as ended only once a read has run into
// the end; a memory stream as soon as the position equals its size.
bool brim_feof(const brim_stream* s);
int brim_fseek(brim_stream* s, long offset, int whence);  // 0, or -1
long brim_ftell(const brim_stream* s);
// Bytes between the position and the end (files: by their current size).
long brim_fremaining(brim_stream* s);

// Reads one line without its line end: a line feed, a carriage return, or
// a carriage return and a line feed. At most size - 1 characters; a longer
// line comes back in pieces. Null when nothing is left to read.
char* brim_fgets_sensitive(char* buf, int size, brim_stream* s);

// Little-endian 32-bit words. read returns false at the end of the data.
bool brim_read_u32(brim_stream* s, uint32_t* out);
bool brim_write_u32(brim_stream* s, uint32_t value);
