// PNG encoding with the stored colour type fixed: the encoder would
// otherwise choose the smallest type that holds the pixels (a plain screen
// became a 1-bit grey file), which readers of our files do not expect.
#pragma once
#include <vector>

#include <lodepng.h>

// Encodes w x h pixels (8 bits per channel; type LCT_RGB or LCT_RGBA) into
// out as a PNG of exactly that colour type. False on an encoder error.
bool brim_encode_png(const unsigned char* pixels, int w, int h, LodePNGColorType type,
                     std::vector<unsigned char>& out);
