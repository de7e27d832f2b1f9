#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/debug.h"

#include "cart/textcart.h"
#include "cart/cart_record.h"

bool textcart_future_version = false;

namespace {

constexpr int kLineSize = 65536;  // lines of up to 65,535 characters
constexpr int kCodeLimit = 65535;

enum section { NONE, CODE, GFX, FLAGS, MAP, SFX, MUSIC, LABEL };

// Hand-decoded digits: anything but 0-9 and a-f (uppercase included) is 0.
inline int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// Digit i of a line of length n; past the end reads as 0.
inline int digit_at(const char* line, int n, int i) { return i < n ? hex_digit(line[i]) : 0; }

section section_of(const char* line) {
  if (std::strncmp(line, "__lua__", 7) == 0) return CODE;
  if (std::strncmp(line, "__gfx__", 7) == 0) return GFX;
  if (std::strncmp(line, "__gff__", 7) == 0) return FLAGS;
  if (std::strncmp(line, "__map__", 7) == 0) return MAP;
  if (std::strncmp(line, "__sfx__", 7) == 0) return SFX;
  if (std::strncmp(line, "__music__", 9) == 0) return MUSIC;
  if (std::strncmp(line, "__label__", 9) == 0) return LABEL;
  return NONE;
}

// "__name__" alone on its line (trailing blanks allowed), name of letters
// and digits: what a mistyped section header looks like.
bool looks_like_section(const char* line) {
  if (std::strncmp(line, "__", 2) != 0) return false;
  const char* p = line + 2;
  while (std::isalnum(static_cast<unsigned char>(*p))) p++;
  if (p == line + 2 || std::strncmp(p, "__", 2) != 0) return false;
  for (p += 2; *p; p++)
    if (!std::isspace(static_cast<unsigned char>(*p))) return false;
  return true;
}

void reset_cart(zurkel_cart* cart) {
  for (int e = 0; e < 64; e++) {
    cart->sfx[e] = zurkel_sfx{};
    cart->sfx[e].speed = e == 0 ? 1 : 16;
  }
  std::memset(cart->gfx->data, 0, 128 * 128);
  std::memset(cart->map->data, 0, 128 * 64);
  for (auto& f : cart->sprite_flags) f = 0;
  cart->code[0] = 0;
}

void read_pixels(brim_bitmap* b, int y, const char* line, int n) {
  for (int x = 0; x < 128; x++) b->line[y][x] = static_cast<uint8_t>(digit_at(line, n, x));
}

// Sound-effect and music fields follow the formatted-input rules of "%02x";
// fields that do not parse keep their reset values.
void read_sfx(zurkel_sfx& sfx, const char* line, int n) {
  unsigned h[4];
  int got = std::sscanf(line, "%02x%02x%02x%02x", &h[0], &h[1], &h[2], &h[3]);
  int32_t* header[4] = {&sfx.mode, &sfx.speed, &sfx.loop_start, &sfx.loop_end};
  // Kept to a byte, as every value the memory map can store.
  for (int i = 0; i < got && i < 4; i++) *header[i] = static_cast<int32_t>(h[i] & 0xFF);
  for (int i = 0; i < 32; i++) {
    zurkel_note& note = sfx.notes[i];
    int at = 8 + 5 * i;
    unsigned v[4];
    int fields = at <= n ? std::sscanf(line + at, "%02x%1x%1x%1x", &v[0], &v[1], &v[2], &v[3]) : 0;
    if (fields > 0) note.pitch = static_cast<int32_t>(v[0]);
    if (fields > 1) note.waveform = static_cast<int32_t>(v[1]);
    if (fields > 2) note.volume = static_cast<int32_t>(v[2]);
    if (fields > 3) note.effect = static_cast<int32_t>(v[3]);
    note.flags = ((note.waveform | note.effect) & 8) ? 0x80 : 0;
    note.waveform &= 7;
    note.volume &= 7;
    note.effect &= 7;
    note.pitch &= 0x3F;
  }
}

void read_music(zurkel_cart* cart, int p, const char* line, int n, int version) {
  const char* values = line;
  if (version > 2) {
    unsigned flags;
    if (std::sscanf(line, "%02x ", &flags) == 1) cart->music_flags[p] = static_cast<int32_t>(flags & 0xFF);
    values = n >= 3 ? line + 3 : line + n;
  }
  unsigned v[4];
  int got = std::sscanf(values, "%02x%02x%02x%02x", &v[0], &v[1], &v[2], &v[3]);
  for (int c = 0; c < got && c < 4; c++) {
    int value = static_cast<int>(v[c] & 0x7F);  // the channel keeps 7 bits
    if (version <= 3 && value == 0) value = 65;  // older files wrote silence as 0
    cart->music[p][c] = value;
  }
}

}  // namespace

zurkel_cart* brim_load_zurkel_cart_from_file(brim_stream* s, textcart_notes* notes) {
  textcart_future_version = false;
  if (notes) *notes = textcart_notes{};
  if (!s) return nullptr;
  std::unique_ptr<char[]> buf(new char[kLineSize]);
  char* line = buf.get();
  if (!brim_fgets_sensitive(line, kLineSize, s)) return nullptr;
  if (notes) notes->header = line;
  if (std::strncmp(line, "zurkel cartridge", 16) != 0) return nullptr;
  int version = 0;
  if (!brim_fgets_sensitive(line, kLineSize, s) || std::sscanf(line, "version %d", &version) != 1)
    version = 0;
  else if (notes)
    notes->version_line = true;
  if (version > ZURKEL_CART_VERSION) {
    textcart_future_version = true;
    return nullptr;
  }
  zurkel_cart* cart = brim_create_zurkel_cart();
  if (!cart || !cart->code || !cart->gfx || !cart->map) {
    brim_destroy_zurkel_cart(cart);
    return nullptr;
  }
  cart->version = version;
  reset_cart(cart);

  section current = NONE;
  int row[8] = {};  // rows read so far, per section
  int code_length = 0;
  int dropped = 0;  // code lines over the limit
  for (int line_number = 3;; line_number++) {
    if (!brim_fgets_sensitive(line, kLineSize, s)) break;
    // A line that reaches the end of the data is not used (see brim_feof).
    if (brim_feof(s)) break;
    section next = section_of(line);
    if (next != NONE) {
      current = next;
      continue;
    }
    if (notes && looks_like_section(line)) notes->unknown_sections.emplace_back(line_number, line);
    int n = static_cast<int>(std::strlen(line));
    int& r = row[current];
    switch (current) {
      case NONE:
        break;
      case CODE:
        if (n + code_length > kCodeLimit) {  // over-long code is dropped
          dropped++;
          break;
        }
        std::memcpy(cart->code + code_length, line, n);
        code_length += n;
        cart->code[code_length++] = '\n';
        cart->code[code_length] = 0;
        break;
      case GFX:
        if (r < 128) read_pixels(cart->gfx, r++, line, n);
        break;
      case LABEL:
        if (r < 128) {
          if (!cart->label) cart->label = brim_create_bitmap(128, 128, 8);
          if (cart->label) read_pixels(cart->label, r, line, n);
          r++;
        }
        break;
      case FLAGS:
        if (r < 2) {
          for (int i = 0; i < 128; i++)
            cart->sprite_flags[r * 128 + i] =
                version > 2 ? digit_at(line, n, 2 * i) * 16 + digit_at(line, n, 2 * i + 1)
                            : digit_at(line, n, i);
          r++;
        }
        break;
      case MAP:
        if (r < 64) {
          for (int x = 0; x < 128; x++)
            cart->map->line[r][x] =
                static_cast<uint8_t>(digit_at(line, n, 2 * x) * 16 + digit_at(line, n, 2 * x + 1));
          r++;
        }
        break;
      case SFX:
        if (r < 64) read_sfx(cart->sfx[r++], line, n);
        break;
      case MUSIC:
        if (r < 64) read_music(cart, r++, line, n, version);
        break;
    }
  }
  // The line feed added after the last code line is not part of the code.
  if (code_length > 0) cart->code[code_length - 1] = 0;
  // Dropped without a word the cart would run cut short and nobody would
  // know why; the console's own output stays as it was.
  if (dropped) {
    brim_debugf("code over %d chars: %d line(s) dropped\n", kCodeLimit, dropped);
    std::fprintf(stderr, "zurkel: code over %d chars: %d line(s) dropped\n", kCodeLimit, dropped);
  }
  return cart;
}

zurkel_cart* brim_load_zurkel_cart(const char* path, textcart_notes* notes) {
  brim_stream* s = brim_fopen(path, "r");
  if (!s) return nullptr;
  zurkel_cart* cart = brim_load_zurkel_cart_from_file(s, notes);
  brim_fclose(s);
  return cart;
}
