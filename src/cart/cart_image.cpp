#include "cart/cart_image.h"

#include <cstdlib>
#include <cstring>

#include "cart/code_image.h"
#include "cart/compress.h"

namespace {

int pixel(const brim_bitmap* b, int x, int y) { return b ? b->line[y][x] : 0; }

int note_byte(const zurkel_note& n, bool odd) {
  if (!odd) return (n.pitch | n.waveform << 6) & 0xFF;
  return ((n.waveform >> 2) & 1) | ((n.volume << 1) & 0x0E) | ((n.effect & 7) << 4) |
         (n.flags & 0x80);
}

}  // namespace

int cart_rom_peek(const zurkel_cart* cart, int a) {
  if (!cart || a < 0 || a >= ZURKEL_ROM_SIZE) return 0;
  if (a < 0x2000) {
    int row = a / 64, x = 2 * (a % 64);
    return (pixel(cart->gfx, x, row) + 16 * pixel(cart->gfx, x + 1, row)) & 0xFF;
  }
  if (a < 0x3000) return pixel(cart->map, a % 128, (a - 0x2000) / 128) & 0xFF;
  if (a < 0x3100) return cart->sprite_flags[a - 0x3000] & 0xFF;
  if (a < 0x3200) {
    int p = (a - 0x3100) / 4, c = a % 4;
    return (cart->music[p][c] & 0x7F) | ((cart->music_flags[p] >> c & 1) << 7);
  }
  int e = (a - 0x3200) / 68, o = (a - 0x3200) % 68;
  const zurkel_sfx& s = cart->sfx[e];
  if (o < 64) return note_byte(s.notes[o / 2], o & 1);
  const int32_t header[4] = {s.mode, s.speed, s.loop_start, s.loop_end};
  return header[o - 64] & 0xFF;
}

void cart_rom_poke(zurkel_cart* cart, int a, int value) {
  if (!cart || a < 0 || a >= ZURKEL_ROM_SIZE) return;
  int b = value & 0xFF;
  if (a < 0x2000) {
    int row = a / 64, x = 2 * (a % 64);
    if (cart->gfx) {
      cart->gfx->line[row][x] = b & 15;
      cart->gfx->line[row][x + 1] = b >> 4;
    }
    if (a >= 0x1000 && cart->map) cart->map->line[a / 128][a % 128] = b;
    return;
  }
  if (a < 0x3000) {
    if (cart->map) cart->map->line[(a - 0x2000) / 128][a % 128] = b;
    return;
  }
  if (a < 0x3100) {
    cart->sprite_flags[a - 0x3000] = b;
    return;
  }
  if (a < 0x3200) {
    int p = (a - 0x3100) / 4, c = a % 4;
    cart->music[p][c] = b & 0x7F;
    cart->music_flags[p] = (cart->music_flags[p] & ~(1 << c)) | ((b >> 7) << c);
    return;
  }
  int e = (a - 0x3200) / 68, o = (a - 0x3200) % 68;
  zurkel_sfx& s = cart->sfx[e];
  if (o < 64) {
    zurkel_note& n = s.notes[o / 2];
    if (!(o & 1)) {
      n.pitch = b & 0x3F;
      n.waveform = (n.waveform & 4) | (b >> 6);
    } else {
      n.waveform = (n.waveform & 3) | ((b & 1) << 2);
      n.volume = (b >> 1) & 7;
      n.effect = (b >> 4) & 7;
      n.flags = b & 0x80;
    }
    return;
  }
  int32_t* header[4] = {&s.mode, &s.speed, &s.loop_start, &s.loop_end};
  *header[o - 64] = b;
}

int cart_image_save(const zurkel_cart* cart, uint8_t* image) {
  std::memset(image, 0, ZURKEL_IMAGE_SIZE);
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) image[a] = static_cast<uint8_t>(cart_rom_peek(cart, a));
  return cart_code_to_image(cart->code, image + ZURKEL_CODE_START);
}

void cart_image_load(zurkel_cart* cart, const uint8_t* image) {
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) cart_rom_poke(cart, a, image[a]);
  if (!cart->code) cart->code = static_cast<char*>(std::calloc(ZURKEL_CODE_BUFFER, 1));
  cart_code_from_image(image + ZURKEL_CODE_START, cart->code);
}
