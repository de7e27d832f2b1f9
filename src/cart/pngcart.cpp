#include "cart/pngcart.h"

#include "gfx/png_decode.h"

#include <lodepng.h>

#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "cart/cart_image.h"
#include "cart/compress.h"
#include "gfx/font.h"
#include "gfx/png_encode.h"
#include "gfx/print.h"
#include "gfx/printer.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "machine/memory.h"
#include "pod/stream.h"
#include "cart/cart_record.h"

int zurkel_png_load_error = 0;

namespace {

constexpr int kPictureBytes = ZURKEL_PNG_W * ZURKEL_PNG_H * 4;  // 131,200
constexpr int kPayloadBytes = ZURKEL_PNG_PAYLOAD * 4;          // 131,092
constexpr int kMaxSide = 8192;
constexpr size_t kMaxFileSize = 64u << 20;
constexpr uint32_t kTitleColour = 0xFFF8F0;
constexpr uint32_t kCaptionColour = 0xA0A0A0;

// The 160 x 205 cartridge template of the graphics resources, or null.
const brim_bitmap* template_bitmap() {
  const brim_bitmap* b = gfx_resource_bitmap(GFX_RES_CART_TEMPLATE);
  return b && b->depth == 32 && b->w == ZURKEL_PNG_W && b->h == ZURKEL_PNG_H ? b : nullptr;
}

// Text in the console font once data.pod is read, else the engine's own,
// into a 32-bit bitmap, colour 0xRRGGBB.
void draw_text_rgb(brim_bitmap* bmp, const char* text, int x, int y, uint32_t rgb) {
  const brim_font* font = zurkel_console_font ? zurkel_console_font : brim_font1;
  if (font) brim_draw_text_ex(bmp, text, font, x, y, BRIM_TEXT_COLOUR, 0xFF000000u | rgb);
}

void put(brim_bitmap* b, int x, int y, uint32_t rgb, int alpha = 255) {
  uint8_t* p = b->line[y] + x * 4;
  p[0] = rgb & 0xFF;
  p[1] = (rgb >> 8) & 0xFF;
  p[2] = (rgb >> 16) & 0xFF;
  p[3] = static_cast<uint8_t>(alpha);
}

// Plain cartridge outline for a console whose resources lack the template.
void draw_fallback_template(brim_bitmap* b) {
  for (int y = 0; y < ZURKEL_PNG_H; y++)
    for (int x = 0; x < ZURKEL_PNG_W; x++) {
      bool body = x >= 4 && x < 156 && y >= 4 && y < 201;
      bool window = x >= 12 && x < 148 && y >= 20 && y < 156;
      put(b, x, y, window ? 0x101010 : 0x303038, body ? 255 : 0);
    }
}

// Text after "--" and one optional space, up to 31 characters of the line.
bool comment_line(const char* line, std::string& out) {
  if (std::strncmp(line, "--", 2) != 0) return false;
  const char* s = line + 2;
  if (*s == ' ') s++;
  out.clear();
  while (*s && *s != '\n' && out.size() < 31) out.push_back(*s++);
  return true;
}


brim_bitmap* label_from_rgba(const uint8_t* rgba) {
  brim_bitmap* label = brim_create_bitmap(128, 128, 8);
  if (!label) return nullptr;
  const uint8_t* pal = brim_palette;
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) {
      const uint8_t* p = rgba + ((24 + y) * ZURKEL_PNG_W + 16 + x) * 4;
      label->line[y][x] = static_cast<uint8_t>(nearest_colour(p[0], p[1], p[2], pal));
    }
  return label;
}

// Decodes a PNG into RGBA; 0, or the load error code. Pictures whose header
// already shows a size other than 160 x 205 are not decoded at all.
int decode_png(const uint8_t* data, size_t size, std::vector<uint8_t>& rgba, unsigned& w,
               unsigned& h) {
  if (brim_png_size(data, size, w, h) != BRIM_PNG_OK) return 1;
  if (w > kMaxSide || h > kMaxSide) return 1;
  if (w != ZURKEL_PNG_W || h != ZURKEL_PNG_H) return 2;
  if (brim_png_decode_rgba(data, size, ZURKEL_PNG_W, ZURKEL_PNG_H, rgba, w, h) != BRIM_PNG_OK) return 1;
  return 0;
}

}  // namespace

int nearest_colour(int r, int g, int b, const uint8_t* pal) {
  int best = 0, best_d = 1 << 30;
  for (int k = 0; k < 256; k++) {
    int dr = r - pal[k * 3], dg = g - pal[k * 3 + 1], db = b - pal[k * 3 + 2];
    int d = dr * dr + dg * dg + db * db;
    if (d < 192) return k;
    if (d < best_d) {
      best_d = d;
      best = k;
    }
  }
  return best;
}

bool cart_png_payload(zurkel_cart* cart, uint8_t* payload) {
  std::memset(payload, 0, ZURKEL_PNG_PAYLOAD);
  if (save_zurkel_cart_32k(cart, payload) != 0) return false;
  payload[0x8000] = ZURKEL_CART_VERSION;
  payload[0x8001] = 0;
  payload[0x8002] = 1;
  payload[0x8003] = 16;
  payload[0x8004] = 'm';
  return true;
}

brim_bitmap* cart_png_picture(const zurkel_cart* cart) {
  brim_bitmap* pic = brim_create_bitmap(ZURKEL_PNG_W, ZURKEL_PNG_H, 32);
  if (!pic) return nullptr;
  const brim_bitmap* tpl = template_bitmap();
  if (tpl && tpl->depth == 32 && tpl->w == ZURKEL_PNG_W && tpl->h == ZURKEL_PNG_H)
    std::memcpy(pic->data, tpl->data, kPictureBytes);
  else
    draw_fallback_template(pic);

  if (cart->label) {
    const uint8_t* pal = brim_palette;
    for (int y = 0; y < 128 && y < cart->label->h; y++)
      for (int x = 0; x < 128 && x < cart->label->w; x++) {
        const uint8_t* c = pal + (cart->label->line[y][x] & 0xFF) * 3;
        put(pic, 16 + x, 24 + y, c[0] << 16 | c[1] << 8 | c[2]);
      }
  }

  std::string line;
  const char* code = cart->code ? cart->code : "";
  if (comment_line(code, line)) draw_text_rgb(pic, line.c_str(), 18, 167, kTitleColour);
  const char* second = std::strchr(code, '\n');
  if (second && comment_line(second + 1, line))
    draw_text_rgb(pic, line.c_str(), 18, 175, kTitleColour);
  draw_text_rgb(pic, "zurkel cartridge", 18, 187, kCaptionColour);
  return pic;
}

void cart_png_hide(brim_bitmap* picture, const uint8_t* payload) {
  uint8_t* bytes = picture->data;
  for (int i = 0; i < kPictureBytes; i++) {
    bytes[i] &= 0xFC;
    if (i < kPayloadBytes) bytes[i] |= (payload[i / 4] >> (2 * (i % 4))) & 3;
  }
}

void cart_png_reveal(const uint8_t* rgba, uint8_t* payload) {
  for (int k = 0; k < ZURKEL_PNG_PAYLOAD; k++) {
    const uint8_t* p = rgba + k * 4;
    payload[k] = static_cast<uint8_t>((p[2] & 3) | (p[1] & 3) << 2 | (p[0] & 3) << 4 |
                                      (p[3] & 3) << 6);
  }
}

bool cart_png_encode(const brim_bitmap* picture, std::vector<uint8_t>& png) {
  std::vector<uint8_t> rgba(static_cast<size_t>(picture->w) * picture->h * 4);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    rgba[i] = picture->data[i + 2];
    rgba[i + 1] = picture->data[i + 1];
    rgba[i + 2] = picture->data[i];
    rgba[i + 3] = picture->data[i + 3];
  }
  png.clear();
  return brim_encode_png(rgba.data(), picture->w, picture->h, LCT_RGBA, png);
}

bool save_zurkel_cart_png_to_memory(zurkel_cart* cart, std::vector<uint8_t>& png) {
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD);
  if (!cart || !cart_png_payload(cart, payload.data())) return false;
  brim_bitmap* pic = cart_png_picture(cart);
  if (!pic) return false;
  cart_png_hide(pic, payload.data());
  bool ok = cart_png_encode(pic, png);
  brim_destroy_bitmap(pic);
  return ok;
}

int save_zurkel_cart_png(zurkel_cart* cart, const char* path) {
  std::vector<uint8_t> png;
  if (!save_zurkel_cart_png_to_memory(cart, png)) return 1;
  return cart_write_file(path, png.data(), png.size()) ? 0 : 1;
}

namespace {

zurkel_cart* load_png_bytes(zurkel_machine* m, const uint8_t* data, size_t size,
                            std::vector<uint8_t>& rgba) {
  unsigned w = 0, h = 0;
  zurkel_png_load_error = data ? decode_png(data, size, rgba, w, h) : 2;
  if (zurkel_png_load_error) return nullptr;
  std::vector<uint8_t> payload(ZURKEL_PNG_PAYLOAD);
  cart_png_reveal(rgba.data(), payload.data());
  int version = payload[0x8000];
  if (version > ZURKEL_CART_VERSION) {
    std::string msg = "future_version: " + std::to_string(version);
    zurkel_print_col(m, msg.c_str(), 6);
    zurkel_png_load_error = 3;
    return nullptr;
  }
  zurkel_cart* cart = brim_create_zurkel_cart();
  if (!cart) return nullptr;
  cart->version = version;
  load_zurkel_cart_32k(cart, payload.data());
  return cart;
}

}  // namespace

zurkel_cart* load_zurkel_cart_png_from_memory(const uint8_t* data, size_t size, zurkel_machine* m) {
  std::vector<uint8_t> rgba;
  return load_png_bytes(m, data, size, rgba);
}

zurkel_cart* load_zurkel_cart_png_from_file(brim_stream* s, zurkel_machine* m) {
  std::vector<uint8_t> data;
  if (!s) {
    zurkel_png_load_error = 2;
    return nullptr;
  }
  uint8_t chunk[65536];
  for (size_t n; (n = brim_fread(chunk, 1, sizeof chunk, s)) > 0;) {
    if (data.size() + n > kMaxFileSize) {
      zurkel_png_load_error = 1;
      return nullptr;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  return load_zurkel_cart_png_from_memory(data.data(), data.size(), m);
}

zurkel_cart* load_zurkel_cart_png(const char* path, zurkel_machine* m) {
  std::vector<uint8_t> file;
  if (!path || !cart_read_any(path, file)) {
    zurkel_png_load_error = 2;
    return nullptr;
  }
  std::vector<uint8_t> rgba;
  zurkel_cart* cart = load_png_bytes(m, file.data(), file.size(), rgba);
  if (!cart) return nullptr;
  // The label comes from the same picture.
  brim_destroy_bitmap(cart->label);
  cart->label = label_from_rgba(rgba.data());
  return cart;
}

brim_bitmap* create_label_from_file(const char* path) {
  if (!path || !std::strstr(path, ".png")) return nullptr;
  std::vector<uint8_t> file, rgba;
  if (!cart_read_any(path, file)) return nullptr;
  unsigned w = 0, h = 0;
  if (decode_png(file.data(), file.size(), rgba, w, h) != 0) return nullptr;
  return label_from_rgba(rgba.data());
}
