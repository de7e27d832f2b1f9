// The browser's own readers. The first byte picks one:
// - even: the rest as a favourites file; what is read must be written, and
//   the written file must read back to the same entries (writing it again
//   gives the same bytes);
// - odd: the rest as the text rows of a board list page (1024 x 544, eight
//   by four cells of 128 x 136, five rows of 128 characters under each
//   label), encoded as a real PNG so the decoder gets past the checksums,
//   then read as the browser reads a downloaded page.
#include <lodepng.h>

#include <cstdlib>
#include <vector>

#include "fuzz_files.h"
#include "splore/favourites.h"
#include "splore/list_page.h"

namespace {
std::string read_and_write(const std::string& from, const std::string& to) {
  splore_list l;
  populate_splore_list_from_text_file(l, from.c_str());
  if (!save_splore_list_to_file(l, to.c_str())) __builtin_trap();
  return fuzz_slurp(to);
}

void list_page(const std::string& in, const uint8_t* data, size_t size) {
  constexpr unsigned W = 1024, H = 544;
  std::vector<uint8_t> rgba(static_cast<size_t>(W) * H * 4, 0);
  for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  size_t k = 0;
  for (int cell = 0; cell < 32 && k < size; cell++)
    for (int row = 128; row < 133 && k < size; row++)
      for (int x = 0; x < 128 && k < size; x++) {
        size_t at = 4 * ((static_cast<size_t>((cell / 8) * 136 + row)) * W + (cell % 8) * 128 + x);
        rgba[at + 1] = data[k++];
      }
  unsigned char* png = nullptr;
  size_t png_size = 0;
  if (lodepng_encode32(&png, &png_size, rgba.data(), W, H) != 0) __builtin_trap();
  fuzz_spit(in, png, png_size);
  std::free(png);
  splore_list l;
  populate_splore_list_from_png_file(l, in.c_str(), false);
  populate_splore_list_from_png_file(l, in.c_str(), true);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const fuzz_paths& p = fuzz_temp_paths("fuzz_splore");
  if (data[0] & 1) {
    list_page(p.in, data + 1, size - 1);
    return 0;
  }
  fuzz_spit(p.in, data + 1, size - 1);
  std::string once = read_and_write(p.in, p.once);
  if (read_and_write(p.once, p.twice) != once) __builtin_trap();
  return 0;
}
