// The flat 32 KiB cartridge image (ZURKEL_IMAGE_SIZE bytes) and the cart
// hash built on it.
#pragma once
#include <cstdint>

#include "machine/cart.h"
#include "machine/loaded_cart.h"

// The image: the ROM part as zurkel_peek reads it, then the code from 0x4300
// (cart/code_image.h). Result 0, or 1 when the code does not fit (the image
// then holds only the ROM part).
int save_zurkel_cart_32k(const zurkel_cart* cart, uint8_t* image);
// Fills cart from an image: ROM part through the byte writes, then the code
// (a ':' block expanded, else 15,360 bytes as text). Result 0, or 1 when a
// ':' block cannot be expanded (the code is left empty).
int load_zurkel_cart_32k(zurkel_cart* cart, const uint8_t* image);

// The cart hash: SHA-1 of the 32 KiB image, 40 lowercase hex digits and a
// NUL. When the code does not fit the image, the image is built with the
// code replaced by the 40-digit SHA-1 of the code text.
void hash_cart(const zurkel_cart* cart, char out[ZURKEL_HASH_SIZE]);
// SHA-1 of any bytes as 40 lowercase hex digits and a NUL.
void zurkel_sha1_hex(const void* data, int size, char out[ZURKEL_HASH_SIZE]);
