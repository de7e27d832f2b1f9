// The 32 KiB memory map: every byte address routed to the structure that
// keeps it (sprite sheet, map, flags, music, sound effects, draw state,
// cart data, I/O pins, screen), and the byte loops built on it.
#pragma once
#include <cstdint>

#include "machine/cart.h"
#include "machine/machine.h"

// Region starts.
constexpr int ZURKEL_ADDR_GFX = 0x0000;
constexpr int ZURKEL_ADDR_SHARED = 0x1000;   // sprite sheet lower half = map rows 32-63
constexpr int ZURKEL_ADDR_MAP = 0x2000;
constexpr int ZURKEL_ADDR_FLAGS = 0x3000;
constexpr int ZURKEL_ADDR_MUSIC = 0x3100;
constexpr int ZURKEL_ADDR_SFX = 0x3200;
constexpr int ZURKEL_ADDR_RAM = 0x4300;      // general-use memory; the ROM part ends here
constexpr int ZURKEL_ADDR_CARTDATA = 0x5E00;
constexpr int ZURKEL_ADDR_DRAWSTATE = 0x5F00;
constexpr int ZURKEL_ADDR_HWSTATE = 0x5F40;
constexpr int ZURKEL_ADDR_GPIO = 0x5F80;
constexpr int ZURKEL_ADDR_SCREEN = 0x6000;
constexpr int ZURKEL_MEM_SIZE = 0x8000;

// Hardware-state bytes kept only in ram.
constexpr int ZURKEL_ADDR_DEVKIT = 0x5F2D;          // 1: mouse and keyboard reporting
constexpr int ZURKEL_ADDR_KEEP_PALETTE = 0x5F2E;    // 1: screen palette survives a stop
constexpr int ZURKEL_ADDR_SOUND_PAUSE = 0x5F2F;     // 1 hold sound, 2 play on while paused
constexpr int ZURKEL_ADDR_PAUSE_SUPPRESS = 0x5F30;  // 1: next pause request does nothing
constexpr int ZURKEL_ADDR_AUDIO_FX = 0x5F40;        // 4 registers: half-rate, echo, distortion, low-pass
constexpr int ZURKEL_ADDR_KEEP_AUDIO_FX = 0x5F44;   // non-zero: audio effects survive a stop
constexpr int ZURKEL_ADDR_EXT_PALETTE = 0x5F60;     // 4 bytes: extended-palette unlock code

// The unlock code: when 0x5F60-0x5F63 hold these bytes ("zkpl"), screen
// palette entries keep bit 7 at presentation.
constexpr uint8_t ZURKEL_EXT_PALETTE_CODE[4] = {0x7A, 0x6B, 0x70, 0x6C};
bool zurkel_ext_palette_unlocked(const zurkel_machine* machine);

// Reads one byte (0-255). machine may be null: then only the ROM part of
// cart is visible and every address from 0x4300 up reads 0. Out-of-range
// addresses read 0. A null cart reads its ROM part as 0.
int zurkel_peek(const zurkel_machine* machine, const zurkel_cart* cart, int address);

// Stores the low 8 bits of value. An address outside 0-0x7FFF raises the
// runtime error "bad memory access" and writes nothing. Without a machine
// only the ROM part of cart changes.
void zurkel_poke(zurkel_machine* machine, zurkel_cart* cart, int address, int value);

// The shared region (0x1000-0x1FFF) one way or the other: sprite sheet rows
// 64-127 to map rows 32-63, or back.
void sync_shared_gfx_to_map(zurkel_cart* cart);
void sync_shared_map_to_gfx(zurkel_cart* cart);
// After a cart is loaded: a map with any non-zero cell in rows 32-63 wins,
// otherwise the sprite sheet's lower half fills those rows.
void zurkel_sync_shared_after_load(zurkel_cart* cart);

// Byte loops over the map; each does nothing when count exceeds 0x7FFF
// (or is negative). The copy is correct for overlapping ranges.
void zurkel_memcpy(zurkel_machine* machine, zurkel_cart* cart, int dest, int src, int count);
void zurkel_memset(zurkel_machine* machine, zurkel_cart* cart, int dest, int value, int count);
// Copies bytes src.. of from_cart read without a machine (so 0x4300 and up
// read 0) to dest.. of the machine (its live cart). from_cart null means the
// loaded cart; a reload from it after the program had read another cart
// file forgets that file and charges a 30-frame disk pause.
void zurkel_reload(zurkel_machine* machine, zurkel_cart* from_cart, int dest, int src, int count);
// The ROM part of the loaded cart into the machine (and its live cart).
void zurkel_reload_rom(zurkel_machine* machine);

// General-purpose I/O pins behind 0x5F80-0x5FFF: a store of 128 bytes.
int gpio_read(const zurkel_machine* machine, int pin);
void gpio_write(zurkel_machine* machine, int pin, int value);
void gpio_reset(zurkel_machine* machine);
