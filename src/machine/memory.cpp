// Byte routing of the memory map: zurkel_peek and zurkel_poke.
#include "machine/memory.h"

#include "machine/fault.h"
#include "machine/machine.h"

namespace {

inline int pixel(const brim_bitmap* b, int x, int y) { return b->line[y][x]; }

// Sprite sheet (0x0000-0x1FFF) and screen (0x6000-0x7FFF): two 4-bit
// pixels per byte, low nibble the left one.
inline int peek_pixels(const brim_bitmap* b, int offset) {
  int y = offset / 64, x = 2 * (offset % 64);
  return pixel(b, x, y) + 16 * pixel(b, x + 1, y);
}

inline void poke_pixels(brim_bitmap* b, int offset, int byte) {
  int y = offset / 64, x = 2 * (offset % 64);
  b->line[y][x] = static_cast<uint8_t>(byte & 15);
  b->line[y][x + 1] = static_cast<uint8_t>(byte >> 4);
}

int peek_sfx(const zurkel_cart* cart, int offset) {
  const zurkel_sfx& s = cart->sfx[offset / 68];
  int o = offset % 68;
  if (o >= 64) {
    const int32_t header[4] = {s.mode, s.speed, s.loop_start, s.loop_end};
    return header[o - 64] & 0xFF;
  }
  const zurkel_note& n = s.notes[o / 2];
  if (o % 2 == 0) return (n.pitch | n.waveform << 6) & 0xFF;
  return ((n.waveform >> 2) & 1) | ((n.volume << 1) & 0x0E) | ((n.effect & 7) << 4) |
         (n.flags & 0x80);
}

void poke_sfx(zurkel_cart* cart, int offset, int b) {
  zurkel_sfx& s = cart->sfx[offset / 68];
  int o = offset % 68;
  if (o >= 64) {
    int32_t* header[4] = {&s.mode, &s.speed, &s.loop_start, &s.loop_end};
    *header[o - 64] = b;
    return;
  }
  zurkel_note& n = s.notes[o / 2];
  if (o % 2 == 0) {
    n.pitch = b & 0x3F;
    n.waveform = (n.waveform & 4) | (b >> 6);
  } else {
    n.waveform = (n.waveform & 3) | ((b & 1) << 2);
    n.volume = (b >> 1) & 7;
    n.effect = (b >> 4) & 7;
    n.flags = b & 0x80;
  }
}

int peek_rom(const zurkel_cart* cart, int a) {
  if (!cart) return 0;
  if (a < ZURKEL_ADDR_MAP) return peek_pixels(cart->gfx, a) & 0xFF;
  if (a < ZURKEL_ADDR_FLAGS) return pixel(cart->map, a % 128, (a - ZURKEL_ADDR_MAP) / 128);
  if (a < ZURKEL_ADDR_MUSIC) return cart->sprite_flags[a - ZURKEL_ADDR_FLAGS] & 0xFF;
  if (a < ZURKEL_ADDR_SFX) {
    int p = (a - ZURKEL_ADDR_MUSIC) / 4, c = a % 4;
    return (cart->music[p][c] & 0x7F) + ((cart->music_flags[p] >> c) & 1 ? 0x80 : 0);
  }
  return peek_sfx(cart, a - ZURKEL_ADDR_SFX);
}

void poke_rom(zurkel_cart* cart, int a, int b) {
  if (!cart) return;
  if (a < ZURKEL_ADDR_SHARED) {
    poke_pixels(cart->gfx, a, b);
  } else if (a < ZURKEL_ADDR_MAP) {
    poke_pixels(cart->gfx, a, b);
    cart->map->line[a / 128][a % 128] = static_cast<uint8_t>(b);
  } else if (a < ZURKEL_ADDR_FLAGS) {
    cart->map->line[(a - ZURKEL_ADDR_MAP) / 128][a % 128] = static_cast<uint8_t>(b);
  } else if (a < ZURKEL_ADDR_MUSIC) {
    cart->sprite_flags[a - ZURKEL_ADDR_FLAGS] = b;
  } else if (a < ZURKEL_ADDR_SFX) {
    int p = (a - ZURKEL_ADDR_MUSIC) / 4, c = a % 4;
    cart->music[p][c] = b & 0x7F;
    cart->music_flags[p] = (cart->music_flags[p] & ~(1 << c)) | ((b >> 7) << c);
  } else {
    poke_sfx(cart, a - ZURKEL_ADDR_SFX, b);
  }
}

// Draw state and hardware state, 0x5F00-0x5F7F.
int peek_state(const zurkel_machine* m, int a) {
  int r = a - ZURKEL_ADDR_DRAWSTATE;
  const int32_t* d = m->draw;
  if (r < 0x24 || (r >= DS_PEN && r <= DS_CURSOR_Y) || r == DS_SCREEN_MODE) return d[r] & 0xFF;
  switch (r) {
    case DS_CAMERA_X: case DS_CAMERA_Y: return d[r] & 0xFF;
    case DS_CAMERA_X + 1: case DS_CAMERA_Y + 1: return (d[r - 1] >> 8) & 0xFF;
    case DS_FILLP: return d[DS_FILLP] & 0xFF;
    case DS_FILLP + 1: return (d[DS_FILLP] >> 8) & 0xFF;
    case DS_FILLP + 2: return (d[DS_FILLP] >> 16) & 0xFF;
    default: return m->ram[a];
  }
}

void poke_state(zurkel_machine* m, int a, int b) {
  int r = a - ZURKEL_ADDR_DRAWSTATE;
  int32_t* d = m->draw;
  if (r < 0x20 || (r >= DS_PEN && r <= DS_CURSOR_Y) || r == DS_SCREEN_MODE) {
    d[r] = b;
  } else if (r < 0x24) {
    d[r] = b;
    if (m->screen)
      brim_set_clip(m->screen, d[DS_CLIP_LEFT], d[DS_CLIP_TOP], d[DS_CLIP_RIGHT],
                    d[DS_CLIP_BOTTOM]);
  } else if (r == DS_CAMERA_X || r == DS_CAMERA_Y) {
    d[r] = (d[r] & ~0xFF) | b;
  } else if (r == DS_CAMERA_X + 1 || r == DS_CAMERA_Y + 1) {
    // The high byte is taken as signed, so camera values stay signed 16-bit.
    d[r - 1] = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int8_t>(b)) << 8) |
               (d[r - 1] & 0xFF);
  } else if (r == DS_FILLP) {
    d[DS_FILLP] = (d[DS_FILLP] & ~0xFF) | b;
  } else if (r == DS_FILLP + 1) {
    d[DS_FILLP] = (d[DS_FILLP] & ~0xFF00) | b << 8;
  } else if (r == DS_FILLP + 2) {
    d[DS_FILLP] = (d[DS_FILLP] & ~0x10000) | b << 16;
  } else if (a >= ZURKEL_ADDR_AUDIO_FX && a < ZURKEL_ADDR_AUDIO_FX + 4) {
    m->audio_fx[a - ZURKEL_ADDR_AUDIO_FX] = b & 15;
  }
  // Everything else lives in ram alone, already written.
}

}  // namespace

bool zurkel_ext_palette_unlocked(const zurkel_machine* m) {
  if (!m) return false;
  for (int i = 0; i < 4; i++)
    if (m->ram[ZURKEL_ADDR_EXT_PALETTE + i] != ZURKEL_EXT_PALETTE_CODE[i]) return false;
  return true;
}

int zurkel_peek(const zurkel_machine* m, const zurkel_cart* cart, int a) {
  if (a < 0 || a >= ZURKEL_MEM_SIZE) return 0;
  if (a < ZURKEL_ADDR_RAM) return peek_rom(cart, a);
  if (!m) return 0;
  if (a < ZURKEL_ADDR_CARTDATA) return m->ram[a];
  if (a < ZURKEL_ADDR_DRAWSTATE) {
    int r = a - ZURKEL_ADDR_CARTDATA;
    return (m->cartdata[r / 4] >> (8 * (r % 4))) & 0xFF;
  }
  if (a < ZURKEL_ADDR_GPIO) return peek_state(m, a);
  if (a < ZURKEL_ADDR_SCREEN) return gpio_read(m, a - ZURKEL_ADDR_GPIO) & 0xFF;
  if (!m->screen) return m->ram[a];
  int r = a - ZURKEL_ADDR_SCREEN;
  int y = r / 64, x = 2 * (r % 64);
  return (pixel(m->screen, x, y) & 15) + 16 * (pixel(m->screen, x + 1, y) & 15);
}

void zurkel_poke(zurkel_machine* m, zurkel_cart* cart, int a, int value) {
  if (static_cast<unsigned>(a) >= static_cast<unsigned>(ZURKEL_MEM_SIZE)) {
    zurkel_runtime_error(m, "bad memory access");
    return;
  }
  int b = value & 0xFF;
  if (m) m->ram[a] = static_cast<uint8_t>(b);
  if (a < ZURKEL_ADDR_RAM) {
    poke_rom(cart, a, b);
    return;
  }
  if (!m || a < ZURKEL_ADDR_CARTDATA) return;
  if (a < ZURKEL_ADDR_DRAWSTATE) {
    // The reset effect's random damage must never reach persistent data.
    if (m->reset_glitch) return;
    int r = a - ZURKEL_ADDR_CARTDATA, shift = 8 * (r % 4);
    uint32_t& w = m->cartdata[r / 4];
    w = (w & ~(0xFFu << shift)) | static_cast<uint32_t>(b) << shift;
    m->cartdata_dirty = true;
  } else if (a < ZURKEL_ADDR_GPIO) {
    poke_state(m, a, b);
  } else if (a < ZURKEL_ADDR_SCREEN) {
    gpio_write(m, a - ZURKEL_ADDR_GPIO, b);
  } else if (m->screen) {
    poke_pixels(m->screen, a - ZURKEL_ADDR_SCREEN, b);
  }
}
