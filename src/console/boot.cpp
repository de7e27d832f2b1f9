#include "console/boot.h"

#include <vector>

#include "base/startup_report.h"
#include "cart/cart_files.h"
#include "gfx/png_decode.h"

#include <cstdio>
#include <cstring>

#include <lodepng.h>

#include <cstdlib>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "base/random.h"
#include "cart/embedded_carts.h"
#include "cart/pipeline.h"
#include "console/cart_watch.h"
#include "console/main_loop.h"
#include "console/screen.h"
#include "gfx/printer.h"
#include "gfx/video.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "lang/fixed.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "api/runner_api.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"


namespace {
// One console line: at most 32 characters, so it is printed whole.
constexpr const char* boot_notice = "a fantasy console for desktops.";

void px(zurkel_machine* m, int x, int y, int c) {
  if (x >= 0 && x < 128 && y >= 0 && y < 128) m->screen->line[y][x] = static_cast<uint8_t>(c);
}
int pixel(const zurkel_machine* m, int x, int y) { return m->screen->line[y][x]; }

void clear_screen(zurkel_machine* m) { std::memset(m->screen->data, 0, 128 * 128); }

int rnd(uint32_t n) { return static_cast<int>(brim_random(n)); }

// The small cross drawn into the loaded cart's sprite sheet at boot.
void loaded_cart_cross(zurkel_machine* m) {
  brim_bitmap* g = m->loaded.cart ? m->loaded.cart->gfx : nullptr;
  if (!g) return;
  for (int i = 0; i < 4; i++) {
    g->line[2 + i][2 + i] = 7;
    g->line[2 + i][5 - i] = 7;
  }
}

// "splash.png" as palette indices of the host palette, or null.
brim_bitmap* load_splash(const char* path) {
  std::vector<uint8_t> file, pixels;
  unsigned w = 0, h = 0;
  if (!cart_read_file(path, file, 64u << 20) ||
      brim_png_decode_rgba(file.data(), file.size(), 4096, 4096, pixels, w, h) != BRIM_PNG_OK)
    return nullptr;
  const unsigned char* rgba = pixels.data();
  brim_bitmap* pic32 = brim_create_bitmap(int(w), int(h), 32);
  brim_bitmap* pic8 = brim_create_bitmap(int(w), int(h), 8);
  if (pic32 && pic8) {
    for (unsigned y = 0; y < h; y++)
      for (unsigned x = 0; x < w; x++) {
        const unsigned char* p = rgba + 4 * (y * w + x);
        brim_line32(pic32, int(y))[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      }
    brim_convert_bitmap(pic32, pic8, brim_palette);
  } else {
    brim_destroy_bitmap(pic8);
    pic8 = nullptr;
  }
  brim_destroy_bitmap(pic32);
  return pic8;
}
}  // namespace

void boot_init(zurkel_machine* m) {
  m->mode = 2;
  m->frame_count = -15;
  reset_lua_machine(m);
  reset_runtime_state(m);
  zurkel_print_col(m, "", 6);
  m->draw[DS_PEN] = 7;
  clear_screen(m);
  if (m->display) std::memset(m->display->data, 0, 128 * 128);
  loaded_cart_cross(m);
  zurkel_srand(brim_clock_seed());
  cmusic_stop(0);
  brim_stop_all_sounds();
  brim_drain_keys();
}

void move_boot(zurkel_machine* m) {
  switch (m->frame_count) {
    case 11:
      for (int y = 0; y < 128; y++)
        for (int x = 2; x < 128; x += 8) px(m, x, y, y / 32 + rnd(4));
      break;
    case 14:
      for (int y = 0; y < 128; y += 2)
        for (int x = 0; x < 128; x += 4) px(m, x, y, ((x + y) / 8) % 8 + 6);
      break;
    case 17:
      for (int y = 0; y < 128; y += 3) {
        px(m, 2, y, 10 + rnd(4));
        for (int x = 6; x < 128; x += 4) px(m, x, y, 10 + rnd(4));
      }
      break;
    case 19:
      for (int y = 0; y < 128; y++)
        for (int x = 1; x < 127; x += 2) px(m, x, y, pixel(m, x + 1, y));
      break;
    case 22:
      for (int y = 1; y < 128; y++)
        if (y % 4) std::memset(m->screen->line[y], 0, 128);
      break;
    case 25: clear_screen(m); break;
    case 40:
      clear_screen(m);
      brim_play_boot_chime();
      zurkel_print_col(m, "", 6);
      zurkel_print_col(m, "", 6);
      m->draw[DS_PEN] = 6;
      break;
    case 45: {
      char text[40];
      std::snprintf(text, sizeof text, "zurkel %s", zurkel_version);
      zurkel_print_col(m, text, m->draw[DS_PEN] & 15);
      break;
    }
    case 50:
      zurkel_print_col(m, boot_notice, 13);
      zurkel_print_col(m, "", 6);
      zurkel_print_col(m, "booting cartridge..", 6);
      zurkel_print_col(m, "", 6);
      break;
    case 80:
      if (zopts.splore) {
        m->mode = 0;
        m->console_screen = 2;
        m->draw[DS_PEN] = 6;
      }
      break;
    case 90:
      if (m->mode == 2) {
        double t = brim_startup_now_ms();
        boot_embedded_cart(m);
        brim_startup_part("cart load", t);
        if ((zopts.run || zopts.watch) && zopts.auto_load_fn[0] && !zopts.exec)
          boot_command_line_cart(m);
      }
      break;
  }
}

// -run with a cartridge named on the command line: that cartridge runs
// after the boot sequence instead of the head cartridge (which stays
// mounted, so the cart can still load it). If it cannot be loaded the
// console says so and the head cartridge runs; under -watch the message
// stays until the file loads.
void boot_command_line_cart(zurkel_machine* m) {
  if (load_working_cart(m, zopts.auto_load_fn) != 0) {
    char line[1100];
    std::snprintf(line, sizeof line, "could not load %s", zopts.auto_load_fn);
    zurkel_print_col(m, line, 8);
    if (zopts.watch) {
      m->pending_command = 0;
      cart_watch_begin(zopts.auto_load_fn);
    }
    return;
  }
  if (zopts.watch) cart_watch_begin(m->loaded.name);
  m->mode = 0;
  m->pending_command = 1;
  if (zopts.params_given) std::snprintf(m->run_args, sizeof m->run_args, "%s", zopts.params);
}

void move_splash(zurkel_machine* m) {
  for (int k = 4; k < BRIM_KEY_COUNT; k++)
    if (k != 57 && brim_get_key_state(k)) {
      boot_init(m);
      return;
    }
  for (int b = 0; b <= 6; b++)
    if (button_pressed(b, 0)) {
      boot_init(m);
      return;
    }
}

bool load_splash_screen() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_program_path("splash.png", path);
  if (!brim_file_exists(path)) return false;
  zcon.splash = load_splash(path);
  return zcon.splash != nullptr;
}

void free_splash_screen() {
  brim_destroy_bitmap(zcon.splash);
  zcon.splash = nullptr;
}

void draw_splash_screen() {
  brim_bitmap* page = console_back_page();
  if (!page || !zcon.splash) return;
  for (int y = 0; y < zcon.splash->h && y < page->h; y++)
    std::memcpy(page->line[y], zcon.splash->line[y],
                static_cast<size_t>(zcon.splash->w < page->w ? zcon.splash->w : page->w));
}
