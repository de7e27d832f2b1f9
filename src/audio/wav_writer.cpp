#include "audio/wav_writer.h"

#include <cstring>

#include "audio/audio.h"

static constexpr uint32_t HEADER_BYTES = 44;
// The RIFF size field is 32 bits; stop appending before it would overflow.
static constexpr uint32_t MAX_SAMPLES = (0xFFFFFFFFu - HEADER_BYTES) / 2;

static void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
static void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

static void make_header(uint8_t* h, uint32_t samples) {
  uint32_t data = samples * 2;
  std::memcpy(h, "RIFF", 4);
  put32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  put32(h + 16, 16);                   // fmt chunk size
  put16(h + 20, 1);                    // PCM
  put16(h + 22, 1);                    // mono
  put32(h + 24, brim_sound_freq);
  put32(h + 28, brim_sound_freq * 2);  // bytes per second
  put16(h + 32, 2);                    // block align
  put16(h + 34, 16);                   // bits per sample
  std::memcpy(h + 36, "data", 4);
  put32(h + 40, data);
}

bool brim_wav_open(brim_wav_writer* w, const char* path) {
  *w = brim_wav_writer{};
  if (!path || !*path) return false;
  w->path = path;
  w->temp_path = w->path + ".tmp";
  w->file = std::fopen(w->temp_path.c_str(), "wb");
  if (!w->file) return false;
  uint8_t h[HEADER_BYTES];
  make_header(h, 0);
  if (std::fwrite(h, 1, HEADER_BYTES, w->file) != HEADER_BYTES) w->failed = true;
  return true;
}

void brim_wav_append(brim_wav_writer* w, const int16_t* samples, int count) {
  if (!w->file || w->failed || count <= 0) return;
  if (count > static_cast<int>(MAX_SAMPLES - w->samples)) count = static_cast<int>(MAX_SAMPLES - w->samples);
  uint8_t buf[4096];
  for (int done = 0; done < count;) {
    int n = count - done < 2048 ? count - done : 2048;
    for (int i = 0; i < n; i++) put16(buf + 2 * i, static_cast<uint16_t>(samples[done + i]));
    if (std::fwrite(buf, 2, n, w->file) != static_cast<size_t>(n)) {
      w->failed = true;
      return;
    }
    done += n;
  }
  w->samples += static_cast<uint32_t>(count);
}

void brim_wav_abort(brim_wav_writer* w) {
  if (w->file) std::fclose(w->file);
  if (!w->temp_path.empty()) std::remove(w->temp_path.c_str());
  *w = brim_wav_writer{};
}

bool brim_wav_close(brim_wav_writer* w) {
  if (!w->file) return false;
  uint8_t h[HEADER_BYTES];
  make_header(h, w->samples);
  bool ok = !w->failed && std::fseek(w->file, 0, SEEK_SET) == 0 &&
            std::fwrite(h, 1, HEADER_BYTES, w->file) == HEADER_BYTES;
  ok = std::fclose(w->file) == 0 && ok;
  w->file = nullptr;
  if (ok) ok = std::rename(w->temp_path.c_str(), w->path.c_str()) == 0;
  if (!ok) std::remove(w->temp_path.c_str());
  *w = brim_wav_writer{};
  return ok;
}

bool brim_write_wav(const char* path, const int16_t* samples, int count) {
  brim_wav_writer w;
  if (!brim_wav_open(&w, path)) return false;
  brim_wav_append(&w, samples, count);
  return brim_wav_close(&w);
}
