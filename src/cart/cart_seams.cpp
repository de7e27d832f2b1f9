#include "cart/cart_seams.h"

#include <cstdlib>

#include "shell/config.h"
#include "shell/folders.h"
#include "shell/printer.h"

#include "machine/debug.h"

// Interim wiring: until the console printer, banner, configuration, palette,
// font and clipboard are reachable from here, messages go to the log and the
// folders follow the documented defaults.

namespace {
cart_banner_fn banner_hook = nullptr;
std::string data_override, current_override;

struct default_palette {
  uint8_t rgb[768];
  default_palette() {
    // Stand-in console colours until the display palette is reachable.
    static const uint32_t base[16] = {0x000000, 0x202a5c, 0x7a2a58, 0x10804c,
                                      0xa4553a, 0x5a5450, 0xbcbcc4, 0xf8f0e4,
                                      0xf41850, 0xf8a010, 0xf4e430, 0x20d840,
                                      0x30a8f8, 0x807498, 0xf880a8, 0xf8c8a4};
    for (int i = 0; i < 256; i++) {
      uint32_t c = i < 16 ? base[i] : static_cast<uint32_t>(i * 0x010101);
      rgb[i * 3] = c >> 16;
      rgb[i * 3 + 1] = (c >> 8) & 0xFF;
      rgb[i * 3 + 2] = c & 0xFF;
    }
  }
};
const default_palette kPalette;
}  // namespace

void cart_set_banner_hook(cart_banner_fn fn) { banner_hook = fn; }

void cart_print(const char* text, int colour) { zurkel_print_col(text, colour); }

void cart_banner(const char* text, int ms) {
  if (banner_hook) return banner_hook(text, ms);
  brim_debugf("banner (%d ms): %s\n", ms, text);
}

std::string cart_data_folder() {
  if (!data_override.empty()) return data_override;
  return brim_appdata_folder();
}

std::string cart_current_folder() {
  if (!current_override.empty()) return current_override;
  return console_config.root_path;
}

void cart_set_folders(const std::string& data_folder, const std::string& current_folder) {
  data_override = data_folder;
  current_override = current_folder;
}

const uint8_t* cart_palette_rgb() { return kPalette.rgb; }
const brim_bitmap* cart_template_bitmap() { return nullptr; }
void cart_draw_text_rgb(brim_bitmap*, const char*, int, int, uint32_t) {}

bool cart_clipboard_get(std::string&) { return false; }
bool cart_clipboard_set(const std::string&) { return false; }

void cart_merge_tabs() {}
void cart_split_tabs() {}
void cart_reset_editing_state() {}
