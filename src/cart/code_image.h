// The code part of a 32 KiB cartridge image (0x4300-0x7FFF): the program
// text compressed, or as plain text when compression does not shorten it.
#pragma once
#include <cstdint>

constexpr int ZURKEL_CODE_START = 0x4300;

// Writes code into area (ZURKEL_CODE_AREA bytes, zeroed here first).
// Returns 0, or 1 when the code does not fit: stored form above 15,360 bytes
// or text of 65,536 characters or more (its length would not fit the
// block's 16-bit header). On failure area is left all zero.
int cart_code_to_image(const char* code, uint8_t* area);

// Reads the code part back into code (ZURKEL_CODE_BUFFER bytes, cleared
// here first): decompressed when area starts with the whole block header,
// otherwise 15,360 bytes copied as text. Returns the text length.
int cart_code_from_image(const uint8_t* area, char* code);
