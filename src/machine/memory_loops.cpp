// Byte loops over the memory map, the shared sprite/map region, and the
// I/O pin store.
#include "machine/machine.h"
#include "machine/memory.h"

namespace {

inline bool in_range(int a) { return a >= 0 && a < ZURKEL_MEM_SIZE; }

}  // namespace

int gpio_read(const zurkel_machine* m, int pin) { return pin >= 0 && pin < 128 ? m->gpio[pin] : 0; }

void gpio_write(zurkel_machine* m, int pin, int value) {
  if (pin >= 0 && pin < 128) m->gpio[pin] = static_cast<uint8_t>(value);
}

void gpio_reset(zurkel_machine* m) {
  for (auto& p : m->gpio) p = 0;
}

// Map cell (x, y), y 32-63, is the byte of sprite-sheet pixels
// (2*(x mod 64), 64 + 2*(y-32) + x/64) and the one to its right.
void sync_shared_gfx_to_map(zurkel_cart* cart) {
  if (!cart) return;
  for (int y = 32; y < 64; y++)
    for (int x = 0; x < 128; x++) {
      const uint8_t* row = cart->gfx->line[2 * y + x / 64];
      int px = 2 * (x % 64);
      cart->map->line[y][x] = static_cast<uint8_t>(row[px] + 16 * row[px + 1]);
    }
}

void sync_shared_map_to_gfx(zurkel_cart* cart) {
  if (!cart) return;
  for (int y = 32; y < 64; y++)
    for (int x = 0; x < 128; x++) {
      uint8_t* row = cart->gfx->line[2 * y + x / 64];
      int px = 2 * (x % 64), cell = cart->map->line[y][x];
      row[px] = static_cast<uint8_t>(cell & 15);
      row[px + 1] = static_cast<uint8_t>(cell >> 4);
    }
}

void zurkel_sync_shared_after_load(zurkel_cart* cart) {
  if (!cart) return;
  for (int y = 32; y < 64; y++)
    for (int x = 0; x < 128; x++)
      if (cart->map->line[y][x]) {
        sync_shared_map_to_gfx(cart);
        return;
      }
  sync_shared_gfx_to_map(cart);
}

// A destination outside the map raises "bad memory access" once and ends
// the loop: nothing past a bad address is written.
void zurkel_memcpy(zurkel_machine* m, zurkel_cart* cart, int dest, int src, int count) {
  if (count > 0x7FFF || count <= 0) return;
  if (dest < src) {
    for (int i = 0; i < count; i++) {
      zurkel_poke(m, cart, dest + i, zurkel_peek(m, cart, src + i));
      if (!in_range(dest + i)) return;
    }
  } else {
    for (int i = count - 1; i >= 0; i--) {
      zurkel_poke(m, cart, dest + i, zurkel_peek(m, cart, src + i));
      if (!in_range(dest + i)) return;
    }
  }
}

void zurkel_memset(zurkel_machine* m, zurkel_cart* cart, int dest, int value, int count) {
  if (count > 0x7FFF || count <= 0) return;
  for (int i = 0; i < count; i++) {
    zurkel_poke(m, cart, dest + i, value);
    if (!in_range(dest + i)) return;
  }
}

void zurkel_reload(zurkel_machine* m, zurkel_cart* from, int dest, int src, int count) {
  if (count > 0x7FFF) return;
  if (!from) from = m ? m->loaded.cart : nullptr;
  zurkel_cart* live = m ? m->cart : nullptr;
  for (int i = 0; i < count; i++) {
    zurkel_poke(m, live, dest + i, zurkel_peek(nullptr, from, src + i));
    if (!in_range(dest + i)) break;
  }
  // Reading from the loaded cart ends the reading of another cart file.
  if (m && !m->run.other_cart_file.empty()) {
    m->run.other_cart_file.clear();
    m->disk_pause = 30;
  }
}

void zurkel_reload_rom(zurkel_machine* m) {
  if (!m || !m->loaded.cart) return;
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    zurkel_poke(m, m->cart, a, zurkel_peek(nullptr, m->loaded.cart, a));
}
