// Writing the mixer's output as a WAV file: mono, signed 16-bit, 22,050 Hz.
// The data goes to "<path>.tmp", which replaces path only when closed cleanly.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct brim_wav_writer {
  std::FILE* file = nullptr;
  std::string path;
  std::string temp_path;
  uint32_t samples = 0;
  bool failed = false;
};

// false when the temporary file cannot be created.
bool brim_wav_open(brim_wav_writer* w, const char* path);
void brim_wav_append(brim_wav_writer* w, const int16_t* samples, int count);
// Finishes the header and renames into place; false (and no file at path
// changed) on any write failure.
bool brim_wav_close(brim_wav_writer* w);
// Drops an unfinished dump and its temporary file.
void brim_wav_abort(brim_wav_writer* w);
// One-shot form.
bool brim_write_wav(const char* path, const int16_t* samples, int count);
