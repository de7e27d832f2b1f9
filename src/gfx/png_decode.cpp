#include "gfx/png_decode.h"

#include <lodepng.h>

#include <cstdlib>

brim_png_result brim_png_size(const uint8_t* data, size_t size, unsigned& w, unsigned& h) {
  w = h = 0;
  if (!data || size == 0) return BRIM_PNG_BAD;
  lodepng::State state;
  if (lodepng_inspect(&w, &h, &state, data, size) != 0 || w == 0 || h == 0) return BRIM_PNG_BAD;
  return BRIM_PNG_OK;
}

brim_png_result brim_png_decode_rgba(const uint8_t* data, size_t size, unsigned max_w,
                                     unsigned max_h, std::vector<uint8_t>& rgba, unsigned& w,
                                     unsigned& h) {
  rgba.clear();
  if (brim_png_size(data, size, w, h) != BRIM_PNG_OK) return BRIM_PNG_BAD;
  if (w > max_w || h > max_h) return BRIM_PNG_TOO_LARGE;
  lodepng::State state;
  state.info_raw.colortype = LCT_RGBA;
  state.info_raw.bitdepth = 8;
  state.decoder.read_text_chunks = 0;
  state.decoder.remember_unknown_chunks = 0;
  // The most any colour type needs: 8 bytes a pixel plus a filter byte a
  // row, for each of the seven interlace passes at worst.
  state.decoder.zlibsettings.max_output_size = static_cast<size_t>(h + 7) * (w * 8 + 8);
  unsigned char* out = nullptr;
  unsigned dw = 0, dh = 0;
  unsigned error = lodepng_decode(&out, &dw, &dh, &state, data, size);
  if (error == 0 && out && dw == w && dh == h)
    rgba.assign(out, out + static_cast<size_t>(w) * h * 4);
  std::free(out);
  return rgba.empty() ? BRIM_PNG_BAD : BRIM_PNG_OK;
}
