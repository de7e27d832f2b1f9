// Helpers shared by the cartridge file tests.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "machine/memory.h"
#include "machine/cart.h"

// A fresh empty folder under the system's temporary folder, ending in "/".
inline std::string cart_test_folder(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() /
             ("zurkel_cart_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

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
