// PNG cartridges: a 160 x 205 picture of a cartridge (label, title lines,
// caption) that carries the 32 KiB image and a version byte in the two low
// bits of every colour channel.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bitmap.h"
#include "machine/cart.h"
#include "pod/stream.h"

constexpr int ZURKEL_PNG_W = 160;
constexpr int ZURKEL_PNG_H = 205;
constexpr int ZURKEL_PNG_PAYLOAD = 32773;

struct zurkel_machine;

// The readers print "future_version: N" for a cart of a later version to
// m's console (null: standard output).

// Result of the last PNG cart read: 0 success, 1 not a decodable PNG,
// 2 no data or a picture other than 160 x 205, 3 future version.
extern int zurkel_png_load_error;

// 0, or 1 when the code does not fit the image (no file is written) or the
// file cannot be written.
int save_zurkel_cart_png(zurkel_cart* cart, const char* path);
// The same picture as PNG bytes in memory; false when the code does not fit.
bool save_zurkel_cart_png_to_memory(zurkel_cart* cart, std::vector<uint8_t>& png);

// New record with its label taken from the picture, or null.
zurkel_cart* load_zurkel_cart_png(const char* path, zurkel_machine* m = nullptr);
// New record (without label) from the rest of a stream, or null; sets the
// error code (2 for a null stream).
zurkel_cart* load_zurkel_cart_png_from_file(brim_stream* s, zurkel_machine* m = nullptr);
// New record (without label) from PNG bytes, or null; sets the error code.
zurkel_cart* load_zurkel_cart_png_from_memory(const uint8_t* data, size_t size,
                                              zurkel_machine* m = nullptr);

// For a path containing ".png" holding a 160 x 205 picture: the 128 x 128
// label region at (16, 24) as palette indices (nearest display colour).
// Null otherwise; other picture routes are not handled here.
brim_bitmap* create_label_from_file(const char* path);
// The palette index (0-255 of pal, 3 bytes each) nearest to (r, g, b);
// any colour within a small distance is taken at once.
int nearest_colour(int r, int g, int b, const uint8_t* pal);

// --- building blocks, also used by tests ---

// The 32,773 payload bytes of a cart; false when the code does not fit.
bool cart_png_payload(zurkel_cart* cart, uint8_t* payload);
// The visible 160 x 205 picture (32 bits per pixel, bytes B, G, R, A).
brim_bitmap* cart_png_picture(const zurkel_cart* cart);
// Spreads the payload over the low bits of a 160 x 205 B,G,R,A picture.
void cart_png_hide(brim_bitmap* picture, const uint8_t* payload);
// Rebuilds the payload from decoded R,G,B,A bytes of a 160 x 205 picture.
void cart_png_reveal(const uint8_t* rgba, uint8_t* payload);
// Encodes a B,G,R,A picture as an RGBA PNG.
bool cart_png_encode(const brim_bitmap* picture, std::vector<uint8_t>& png);
