// Helpers shared by the cartridge file tests.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "cart/cart_record.h"
#include "gfx/video.h"
#include "machine/cart.h"
#include "machine/memory.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/shell_state.h"

// A fresh empty folder under the system's temporary folder, ending in "/".
inline std::string cart_test_folder(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() /
             ("zurkel_cart_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

// While it lives, the cartridge code's folders are test folders: the
// per-user data folder and the cartridge folder (the shell at its top).
struct cart_test_folders {
  std::string saved_data = brim_appdata_folder();
  std::string saved_root = console_config.root_path;
  std::string saved_current = shell_current_folder();
  cart_test_folders(const std::string& data, const std::string& carts) {
    brim_set_appdata_folder(data.c_str());
    std::snprintf(console_config.root_path, sizeof console_config.root_path, "%s", carts.c_str());
    shell_set_current_folder("");
  }
  ~cart_test_folders() {
    brim_set_appdata_folder(saved_data.c_str());
    std::snprintf(console_config.root_path, sizeof console_config.root_path, "%s", saved_root.c_str());
    shell_set_current_folder(saved_current.c_str());
  }
};

// A cart with every ROM byte set from a seed, some code and a label.
inline zurkel_cart* cart_test_sample(unsigned seed, const char* code) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::mt19937 rng(seed);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) zurkel_poke(nullptr, c, a, rng() & 0xFF);
  std::snprintf(c->code, ZURKEL_CODE_BUFFER, "%s", code);
  c->label = brim_create_bitmap(128, 128, 8);
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) c->label->line[y][x] = static_cast<uint8_t>((x / 8 + y / 8) & 15);
  return c;
}

inline bool cart_test_same_rom(const zurkel_cart* a, const zurkel_cart* b) {
  for (int addr = 0; addr < ZURKEL_ROM_SIZE; addr++)
    if (zurkel_peek(nullptr, a, addr) != zurkel_peek(nullptr, b, addr)) return false;
  return true;
}

// Gives palette entries 0-15 distinct colours for the test's lifetime (the
// engine starts with a grey ramp, on which colours 0-15 are nearly equal).
struct cart_test_palette {
  uint8_t saved[768];
  cart_test_palette() {
    std::memcpy(saved, brim_palette, 768);
    static const uint32_t c[16] = {0x000000, 0x1c2c58, 0x782850, 0x108450, 0xa85438, 0x5c5650,
                                   0xc0c0c8, 0xfcf0e8, 0xf80850, 0xfca008, 0xf8e828, 0x08e038,
                                   0x28acf8, 0x807498, 0xf878a8, 0xf8c8a8};
    for (int i = 0; i < 16; i++) {
      brim_palette[i * 3] = c[i] >> 16;
      brim_palette[i * 3 + 1] = (c[i] >> 8) & 0xFF;
      brim_palette[i * 3 + 2] = c[i] & 0xFF;
    }
  }
  ~cart_test_palette() { std::memcpy(brim_palette, saved, 768); }
};
