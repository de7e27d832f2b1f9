// Code compression: a character table for the common characters of program
// text plus back-references of 3-17 bytes into the last 3,120 bytes.
#pragma once
#include <cstdint>

#include "script/tokens_limits.h"  // ZURKEL_COMPRESSED_LIMIT: the most a 32 KiB image holds
// Room the code part of the image offers a block (0x4300-0x7FFF).
constexpr int ZURKEL_CODE_AREA = 0x3D00;

// Compresses text[0 .. length-1] (length below 65,536). out must hold
// 8 + 2 * length bytes. When the block (header included) is shorter than the
// text, out holds the block and the result is its size; otherwise out holds
// the text itself and the result is length.
int compress_mini(const char* text, uint8_t* out, int length);

// Always writes the compressed block, whatever its size; returns its size.
int compress_mini_block(const char* text, uint8_t* out, int length);

// Size of compress_mini's result without keeping the bytes.
int compressed_code_size(const char* text);

// Decompresses a block into out (size bytes, zeroed first). Returns the
// number of characters produced, 1 when size is below the declared length
// (nothing decoded), or -1 when the block is malformed: a token that runs
// past block_size, a reference before the start of the output or of offset
// 0, or output running past the declared length. A rejected block leaves out
// all zero. block_size is the number of readable bytes at block.
int decompress_mini(const uint8_t* block, char* out, int size,
                    int block_size = ZURKEL_CODE_AREA);

// True when data (size bytes readable) starts with the whole compressed
// block header ':' 'c' ':' 0.
bool is_compressed_code(const uint8_t* data, int size);
