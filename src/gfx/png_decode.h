// PNG decoding with bounds: a small file can declare a huge picture or
// carry image data that inflates to gigabytes. The header is read first and
// a picture larger than the caller can use is refused before anything is
// inflated; the inflater stops at the bytes the declared size can need.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Fixed sizes the console reads: cartridge pictures, board list pages,
// imported pictures.
constexpr unsigned BRIM_PNG_CART_W = 160, BRIM_PNG_CART_H = 205;
constexpr unsigned BRIM_PNG_PAGE_W = 1024, BRIM_PNG_PAGE_H = 544;
constexpr unsigned BRIM_PNG_IMPORT_W = 128, BRIM_PNG_IMPORT_H = 128;

enum brim_png_result { BRIM_PNG_OK = 0, BRIM_PNG_BAD = 1, BRIM_PNG_TOO_LARGE = 2 };

// Reads only the header: the declared size, or BRIM_PNG_BAD.
brim_png_result brim_png_size(const uint8_t* data, size_t size, unsigned& w, unsigned& h);
// Decodes to 8-bit RGBA when the declared picture is at most max_w x max_h
// (else BRIM_PNG_TOO_LARGE, nothing inflated); text and unknown chunks are
// skipped.
brim_png_result brim_png_decode_rgba(const uint8_t* data, size_t size, unsigned max_w,
                                     unsigned max_h, std::vector<uint8_t>& rgba, unsigned& w,
                                     unsigned& h);
