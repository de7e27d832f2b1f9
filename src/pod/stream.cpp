#include "pod/stream.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "pod/vdisk.h"

namespace {

bool is_memory(const brim_stream* s) { return !s->fp; }

// Makes room for a memory stream to hold end bytes.
bool reserve(brim_stream* s, long end) {
  if (!s->owns_data || end > BRIM_BUFFER_MAX) return false;
  if (end <= s->capacity) return true;
  long cap = s->capacity ? s->capacity : 256;
  while (cap < end) cap *= 2;
  if (cap > BRIM_BUFFER_MAX) cap = BRIM_BUFFER_MAX;
  auto* grown = static_cast<uint8_t*>(std::realloc(s->data, cap));
  if (!grown) return false;
  std::memset(grown + s->capacity, 0, cap - s->capacity);
  s->data = grown;
  s->capacity = static_cast<int>(cap);
  return true;
}

// Next character without consuming it; never marks a file as ended.
int peekc(brim_stream* s) {
  if (is_memory(s)) return s->pos < s->size ? s->data[s->pos] : EOF;
  int c = std::fgetc(s->fp);
  if (c != EOF) std::ungetc(c, s->fp);
  return c;
}

}  // namespace

brim_stream* brim_fopen_file(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  FILE* fp = std::fopen(path, mode);
  if (!fp) return nullptr;
  auto* s = new (std::nothrow) brim_stream;
  if (!s) {
    std::fclose(fp);
    return nullptr;
  }
  s->fp = fp;
  return s;
}

brim_stream* brim_fopen(const char* path, const char* mode) {
  brim_stream* s = brim_fopen_file(path, mode);
  if (!s && path && mode && mode[0] == 'r') s = brim_fopen_vdisk(path, mode);
  return s;
}

int brim_fclose(brim_stream* s) {
  if (!s) return 0;
  if (s->fp) {
    int rc = std::fclose(s->fp);
    delete s;
    return rc;
  }
  if (s->on_vdisk) {
    s->pos = 0;
    return 0;
  }
  brim_destroy_buffer(s);
  return 0;
}

brim_stream* brim_create_buffer(int size) {
  if (size < 0 || size > BRIM_BUFFER_MAX) return nullptr;
  auto* s = new (std::nothrow) brim_stream;
  if (!s) return nullptr;
  if (size > 0) {
    s->data = static_cast<uint8_t*>(std::calloc(size, 1));
    if (!s->data) {
      delete s;
      return nullptr;
    }
  }
  s->size = s->capacity = size;
  return s;
}

void brim_destroy_buffer(brim_stream* s) {
  if (!s) return;
  if (s->fp) std::fclose(s->fp);
  if (s->owns_data) std::free(s->data);
  delete s;
}

brim_stream* brim_open_memory(const void* data, int size) {
  if (size < 0 || (!data && size > 0)) return nullptr;
  auto* s = new (std::nothrow) brim_stream;
  if (!s) return nullptr;
  s->data = const_cast<uint8_t*>(static_cast<const uint8_t*>(data));
  s->size = s->capacity = size;
  s->owns_data = false;
  return s;
}

brim_stream* brim_open_buffer_view(const brim_stream* buffer) {
  if (!buffer || buffer->fp) return nullptr;
  brim_stream* s = brim_open_memory(buffer->data, buffer->size);
  if (s) std::memcpy(s->name, buffer->name, sizeof s->name);
  return s;
}

size_t brim_fread(void* dst, size_t size, size_t count, brim_stream* s) {
  if (!s || size == 0 || count == 0) return 0;
  if (!is_memory(s)) {
    size_t n = std::fread(dst, size, count, s->fp);
    if (n < count) s->eof = true;
    return n;
  }
  size_t left = s->pos < s->size ? static_cast<size_t>(s->size - s->pos) : 0;
  size_t n = left / size < count ? left / size : count;
  if (n == 0) return 0;
  std::memcpy(dst, s->data + s->pos, n * size);
  s->pos += static_cast<int>(n * size);
  return n;
}

size_t brim_fwrite(const void* src, size_t size, size_t count, brim_stream* s) {
  if (!s || size == 0 || count == 0) return 0;
  if (!is_memory(s)) return std::fwrite(src, size, count, s->fp);
  if (count > static_cast<size_t>(BRIM_BUFFER_MAX) / size) return 0;
  long bytes = static_cast<long>(size * count);
  if (!reserve(s, s->pos + bytes)) return 0;
  std::memcpy(s->data + s->pos, src, bytes);
  s->pos += static_cast<int>(bytes);
  if (s->pos > s->size) s->size = s->pos;
  return count;
}

int brim_fgetc(brim_stream* s) {
  if (!s) return EOF;
  if (!is_memory(s)) {
    int c = std::fgetc(s->fp);
    if (c == EOF) s->eof = true;
    return c;
  }
  return s->pos < s->size ? s->data[s->pos++] : EOF;
}

int brim_fputs(const char* text, brim_stream* s) {
  size_t n = std::strlen(text);
  if (n == 0) return 0;
  return brim_fwrite(text, 1, n, s) == n ? 0 : EOF;
}

int brim_fprintf(brim_stream* s, const char* fmt, ...) {
  char small[512];
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  if (n < 0) return -1;
  if (n < static_cast<int>(sizeof small)) return brim_fwrite(small, 1, n, s) == static_cast<size_t>(n) ? n : -1;
  char* big = static_cast<char*>(std::malloc(n + 1));
  if (!big) return -1;
  va_start(ap, fmt);
  std::vsnprintf(big, n + 1, fmt, ap);
  va_end(ap);
  size_t w = brim_fwrite(big, 1, n, s);
  std::free(big);
  return w == static_cast<size_t>(n) ? n : -1;
}

char* brim_fgets(char* buf, int size, brim_stream* s) {
  if (!s || size <= 0) return nullptr;
  int n = 0;
  while (n < size - 1) {
    int c = brim_fgetc(s);
    if (c == EOF) break;
    buf[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buf[n] = 0;
  return n ? buf : nullptr;
}

bool brim_feof(const brim_stream* s) {
  if (!s) return true;
  return is_memory(s) ? s->pos >= s->size : s->eof;
}

int brim_fseek(brim_stream* s, long offset, int whence) {
  if (!s) return -1;
  if (!is_memory(s)) {
    if (std::fseek(s->fp, offset, whence) != 0) return -1;
    s->eof = false;
    return 0;
  }
  long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->pos : s->size;
  long to = base + offset;
  if (to < 0 || to > s->size) return -1;
  s->pos = static_cast<int>(to);
  return 0;
}

long brim_ftell(const brim_stream* s) {
  if (!s) return -1;
  return is_memory(s) ? s->pos : std::ftell(s->fp);
}

long brim_fremaining(brim_stream* s) {
  if (!s) return 0;
  if (is_memory(s)) return s->pos < s->size ? s->size - s->pos : 0;
  struct stat st;
  long at = std::ftell(s->fp);
  if (at < 0 || fstat(fileno(s->fp), &st) != 0) return 0;
  return st.st_size > at ? static_cast<long>(st.st_size - at) : 0;
}

char* brim_fgets_sensitive(char* buf, int size, brim_stream* s) {
  if (!s || !buf || size <= 0) return nullptr;
  int n = 0;
  bool any = false;
  while (n < size - 1) {
    int c = brim_fgetc(s);
    if (c == EOF) break;
    any = true;
    if (c == '\n') break;
    if (c == '\r') {
      if (peekc(s) == '\n') brim_fgetc(s);
      break;
    }
    buf[n++] = static_cast<char>(c);
  }
  // A line that fills the buffer exactly still owns its line end.
  if (n == size - 1) {
    int c = peekc(s);
    if (c == '\n') {
      brim_fgetc(s);
    } else if (c == '\r') {
      brim_fgetc(s);
      if (peekc(s) == '\n') brim_fgetc(s);
    }
  }
  buf[n] = 0;
  return any ? buf : nullptr;
}

bool brim_read_u32(brim_stream* s, uint32_t* out) {
  uint8_t b[4];
  if (brim_fread(b, 1, 4, s) != 4) return false;
  *out = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
  return true;
}

bool brim_write_u32(brim_stream* s, uint32_t v) {
  uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                  static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  return brim_fwrite(b, 1, 4, s) == 4;
}
