#include <algorithm>
#include <cstdio>
#include <string>

#include "cart/textcart.h"
#include "settings/folders.h"
#include "base/safe_write.h"

namespace {

int clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

// One row of 128 pixels, one digit each.
void write_pixels(brim_stream* s, const brim_bitmap* b, int y) {
  static const char hex[] = "0123456789abcdef";
  char line[130];
  for (int x = 0; x < 128; x++) line[x] = hex[std::min<int>(b->line[y][x], 15)];
  line[128] = '\n';
  brim_fwrite(line, 1, 129, s);
}

bool label_worth_writing(const brim_bitmap* label) {
  if (!label || label->w != 128 || label->h != 128 || label->depth != 8) return false;
  for (int i = 0; i < 128 * 128; i++)
    if (label->data[i]) return true;
  return false;
}

bool sfx_is_empty(const zurkel_sfx& s) {
  if (s.mode || s.speed || s.loop_start || s.loop_end) return false;
  for (const zurkel_note& n : s.notes)
    if (n.pitch || n.waveform || n.volume || n.effect || n.flags) return false;
  return true;
}

}  // namespace

int brim_save_zurkel_cart_to_file(const zurkel_cart* cart, brim_stream* s) {
  brim_fprintf(s, "%s\n", ZURKEL_TEXTCART_HEADER);
  brim_fprintf(s, "version %d\n", ZURKEL_CART_VERSION);

  brim_fputs("__lua__\n", s);
  if (cart->code) brim_fputs(cart->code, s);
  brim_fputs("\n", s);

  brim_fputs("__gfx__\n", s);
  for (int y = 0; y < 128; y++) write_pixels(s, cart->gfx, y);
  if (label_worth_writing(cart->label)) {
    brim_fputs("__label__\n", s);
    for (int y = 0; y < 128; y++) write_pixels(s, cart->label, y);
  }
  brim_fputs("\n", s);

  brim_fputs("__gff__\n", s);
  for (int line = 0; line < 2; line++) {
    std::string text;
    for (int i = 0; i < 128; i++) {
      char cell[3];
      std::snprintf(cell, sizeof cell, "%02x", cart->sprite_flags[line * 128 + i] & 0xFF);
      text += cell;
    }
    brim_fprintf(s, "%s\n", text.c_str());
  }

  // Map rows 32-63 share memory with the sprite sheet and come back from it.
  brim_fputs("__map__\n", s);
  for (int y = 0; y < 32; y++) {
    std::string text;
    for (int x = 0; x < 128; x++) {
      char cell[3];
      std::snprintf(cell, sizeof cell, "%02x", cart->map->line[y][x]);
      text += cell;
    }
    brim_fprintf(s, "%s\n", text.c_str());
  }

  brim_fputs("__sfx__\n", s);
  int last = 63;
  while (last >= 0 && sfx_is_empty(cart->sfx[last])) last--;
  for (int e = 0; e <= last; e++) {
    const zurkel_sfx& sfx = cart->sfx[e];
    char line[170];
    int o = std::snprintf(line, sizeof line, "%02x%02x%02x%02x", clamp(sfx.mode, 0, 255),
                          clamp(sfx.speed, 0, 255), clamp(sfx.loop_start, 0, 255),
                          clamp(sfx.loop_end, 0, 255));
    for (const zurkel_note& n : sfx.notes)
      o += std::snprintf(line + o, sizeof line - o, "%02x%x%x%x", clamp(n.pitch, 0, 255),
                         clamp(n.waveform, 0, 7) + (n.flags ? 8 : 0), clamp(n.volume, 0, 7),
                         clamp(n.effect, 0, 7));
    brim_fprintf(s, "%s\n", line);
  }

  brim_fputs("__music__\n", s);
  for (int p = 0; p < 64; p++)
    brim_fprintf(s, "%02x %02x%02x%02x%02x\n", cart->music_flags[p] & 0xFF, cart->music[p][0] & 0xFF,
                 cart->music[p][1] & 0xFF, cart->music[p][2] & 0xFF, cart->music[p][3] & 0xFF);
  brim_fputs("\n", s);
  return 0;
}

int brim_save_zurkel_cart(const zurkel_cart* cart, const char* path) {
  if (!cart || !path) return 1;
  std::string temp = std::string(path) + ".tmp";
  auto write = [](FILE* f, void* ctx) {
    brim_stream s;
    s.fp = f;
    brim_save_zurkel_cart_to_file(static_cast<const zurkel_cart*>(ctx), &s);
    return true;
  };
  return brim_write_file_via(path, temp.c_str(), write, const_cast<zurkel_cart*>(cart)) ? 0 : 1;
}
