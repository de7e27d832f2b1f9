#include "gfx/png_encode.h"

bool brim_encode_png(const unsigned char* pixels, int w, int h, LodePNGColorType type,
                     std::vector<unsigned char>& out) {
  if (!pixels || w <= 0 || h <= 0) return false;
  lodepng::State state;
  state.encoder.auto_convert = 0;
  state.info_raw.colortype = type;
  state.info_raw.bitdepth = 8;
  state.info_png.color.colortype = type;
  state.info_png.color.bitdepth = 8;
  out.clear();
  return lodepng::encode(out, pixels, static_cast<unsigned>(w), static_cast<unsigned>(h), state) == 0;
}
