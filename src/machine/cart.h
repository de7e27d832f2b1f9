// The cartridge record: the ROM part of the memory image (0x0000-0x42FF) in
// decoded form, plus the code text and the label picture.
#pragma once
#include <cstdint>

#include "base/bitmap.h"

constexpr int ZURKEL_CODE_BUFFER = 65538;   // code text buffer, NUL-terminated
constexpr int ZURKEL_CART_VERSION = 12;     // current cartridge format version
constexpr int ZURKEL_ROM_SIZE = 0x4300;     // the ROM part ends at 0x4300
constexpr int ZURKEL_IMAGE_SIZE = 0x8000;   // the flat 32 KiB cartridge image

struct zurkel_note {
  int32_t pitch;     // 0-63
  int32_t waveform;  // 0-7
  int32_t volume;    // 0-7
  int32_t effect;    // 0-7
  int32_t flags;     // 0x80: custom instrument (bit 7 of the note's odd byte)
};

// Field order matters: header integers first (effect bytes 64-67), then notes.
struct zurkel_sfx {
  int32_t mode;        // editor mode (byte 64)
  int32_t speed;       // byte 65
  int32_t loop_start;  // byte 66
  int32_t loop_end;    // byte 67
  zurkel_note notes[32];
};

struct zurkel_cart {
  char* code = nullptr;            // ZURKEL_CODE_BUFFER bytes, owned
  brim_bitmap* gfx = nullptr;      // 128 x 128 sprite sheet, one pixel per byte
  brim_bitmap* map = nullptr;      // 128 x 64 map cells
  zurkel_sfx sfx[64] = {};
  int32_t music[64][4] = {};       // low 7 bits of each channel byte
  int32_t music_flags[64] = {};    // bit k = bit 7 of the pattern's byte k
  int32_t sprite_flags[256] = {};
  brim_bitmap* label = nullptr;    // 128 x 128 or null
  int32_t version = ZURKEL_CART_VERSION;
};

// Records are made and freed by the cartridge layer (cart/cart_record.h).
