// The flat 32 KiB image of a cartridge record as the cartridge files use it:
// ROM part 0x0000-0x42FF, code from 0x4300.
#pragma once
#include <cstdint>

#include "machine/cart.h"

// ROM byte of a record without a machine (addresses from 0x4300 read 0).
int cart_rom_peek(const zurkel_cart* cart, int address);
// ROM write into a record without a machine (from 0x4300 nothing changes).
void cart_rom_poke(zurkel_cart* cart, int address, int value);

// Fills image (ZURKEL_IMAGE_SIZE bytes). 1 when the code does not fit; the
// image then holds only the ROM part.
int cart_image_save(const zurkel_cart* cart, uint8_t* image);
// Loads an image into a record (a missing code buffer is created).
void cart_image_load(zurkel_cart* cart, const uint8_t* image);
