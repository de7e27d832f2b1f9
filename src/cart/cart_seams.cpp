#include "cart/cart_seams.h"

#include <cstdlib>

#include "lang/tabs.h"
#include "machine/debug.h"
#include "pod/data_pod.h"
#include "pod/pod.h"
#include "platform/clipboard.h"
#include "platform/host_events.h"
#include "runner/links.h"
#include "shell/config.h"
#include "shell/folders.h"
#include "shell/printer.h"
#include "shell/shell_state.h"

namespace {
constexpr int kTemplateItem = 145;  // in the graphics pod
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
  prog_show_message(text, ms);
}

std::string cart_data_folder() {
  if (!data_override.empty()) return data_override;
  return brim_appdata_folder();
}

std::string cart_current_folder() {
  if (!current_override.empty()) return current_override;
  return std::string(console_config.root_path) + shell_current_folder();
}

void cart_set_folders(const std::string& data_folder, const std::string& current_folder) {
  data_override = data_folder;
  current_override = current_folder;
}

const uint8_t* cart_palette_rgb() { return kPalette.rgb; }
const brim_bitmap* cart_template_bitmap() {
  // The graphics pod is data.pod item 1; read once per data.pod.
  static const brim_pod* read_from = nullptr;
  static brim_pod* gfx = nullptr;
  if (zurkel_data_pod != read_from) {
    brim_destroy_pod(gfx);
    gfx = zurkel_data_pod ? cpod_load_nested(zurkel_data_pod, DATA_POD_GFX) : nullptr;
    read_from = zurkel_data_pod;
  }
  const brim_bitmap* b = gfx ? cpod_get_bitmap(gfx, kTemplateItem) : nullptr;
  return b && b->depth == 32 && b->w == 160 && b->h == 205 ? b : nullptr;
}
void cart_draw_text_rgb(brim_bitmap*, const char*, int, int, uint32_t) {}

bool cart_clipboard_get(std::string& text) {
  text = host_clipboard_text();
  return !text.empty();
}
bool cart_clipboard_set(const std::string& text) { return brim_set_clipboard_text(text.c_str()); }

void cart_split_tabs(const zurkel_cart* cart) { split_code_to_tabs(cart); }
size_t cart_merge_tabs(zurkel_cart* cart) { return merge_code_from_tabs(cart); }
void cart_reset_editing_state() { reset_code_tab_selection(); }
