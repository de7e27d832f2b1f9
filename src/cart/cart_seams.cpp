#include "cart/cart_seams.h"

#include <cstdlib>

#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/video.h"
#include "lang/tabs.h"
#include "base/debug.h"
#include "cart/data_pod.h"
#include "pod/pod.h"
#include "host/clipboard.h"
#include "host/events.h"
#include "runner/links.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "gfx/printer.h"
#include "settings/shell_state.h"

namespace {
constexpr int kTemplateItem = 145;  // in the graphics pod
cart_banner_fn banner_hook = nullptr;
std::string data_override, current_override;

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

const uint8_t* cart_palette_rgb() { return brim_palette; }
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
void cart_draw_text_rgb(brim_bitmap* bmp, const char* text, int x, int y, uint32_t rgb) {
  // The console font once data.pod is read, else the engine's own.
  const brim_font* font = zurkel_console_font ? zurkel_console_font : brim_font1;
  if (font) brim_draw_text_ex(bmp, text, font, x, y, BRIM_TEXT_COLOUR, 0xFF000000u | rgb);
}

bool cart_clipboard_get(std::string& text) {
  text = host_clipboard_text();
  return !text.empty();
}
bool cart_clipboard_set(const std::string& text) { return brim_set_clipboard_text(text.c_str()); }

void cart_split_tabs(const zurkel_cart* cart) { split_code_to_tabs(cart); }
size_t cart_merge_tabs(zurkel_cart* cart) { return merge_code_from_tabs(cart); }
void cart_reset_editing_state() { reset_code_tab_selection(); }
