#include "console/boot.h"

#include <cstdio>
#include <cstring>

#include "base/bitmap.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "console/console_links.h"
#include "console/main_loop.h"
#include "machine/machine.h"
#include "base/random.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"


namespace {
constexpr const char* boot_notice = "a fantasy console for the desk";

void px(int x, int y, int c) {
  if (x >= 0 && x < 128 && y >= 0 && y < 128) pstate->screen->line[y][x] = static_cast<uint8_t>(c);
}
int pixel(int x, int y) { return pstate->screen->line[y][x]; }

void clear_screen() { std::memset(pstate->screen->data, 0, 128 * 128); }

int rnd(uint32_t n) { return static_cast<int>(brim_random(n)); }
}  // namespace

void boot_init() {
  pstate->mode = 2;
  pstate->frame_count = -15;
  link_reset_lua_machine();
  link_reset_runtime_state();
  link_print("", 6);
  pstate->draw[DS_PEN] = 7;
  clear_screen();
  if (pstate->display) std::memset(pstate->display->data, 0, 128 * 128);
  link_loaded_cart_cross();
  link_seed_machine_rng(brim_clock_seed());
  link_stop_all_sound();
  brim_drain_keys();
}

void move_boot() {
  switch (pstate->frame_count) {
    case 11:
      for (int y = 0; y < 128; y++)
        for (int x = 2; x < 128; x += 8) px(x, y, y / 32 + rnd(4));
      break;
    case 14:
      for (int y = 0; y < 128; y += 2)
        for (int x = 0; x < 128; x += 4) px(x, y, ((x + y) / 8) % 8 + 6);
      break;
    case 17:
      for (int y = 0; y < 128; y += 3) {
        px(2, y, 10 + rnd(4));
        for (int x = 6; x < 128; x += 4) px(x, y, 10 + rnd(4));
      }
      break;
    case 19:
      for (int y = 0; y < 128; y++)
        for (int x = 1; x < 127; x += 2) px(x, y, pixel(x + 1, y));
      break;
    case 22:
      for (int y = 1; y < 128; y++)
        if (y % 4) std::memset(pstate->screen->line[y], 0, 128);
      break;
    case 25: clear_screen(); break;
    case 40:
      clear_screen();
      link_play_boot_chime();
      link_print("", 6);
      link_print("", 6);
      pstate->draw[DS_PEN] = 6;
      break;
    case 45: {
      char text[40];
      std::snprintf(text, sizeof text, "zurkel %s", zurkel_version);
      link_print(text, pstate->draw[DS_PEN] & 15);
      break;
    }
    case 50:
      link_print(boot_notice, 13);
      link_print("", 6);
      link_print("booting cartridge..", 6);
      link_print("", 6);
      break;
    case 80:
      if (zopts.splore) {
        pstate->mode = 0;
        pstate->console_screen = 2;
        pstate->draw[DS_PEN] = 6;
      }
      break;
    case 90:
      if (pstate->mode == 2) {
        link_boot_embedded_cart();
        if (zopts.run && zopts.auto_load_fn[0] && !zopts.exec) boot_command_line_cart();
      }
      break;
  }
}

// -run with a cartridge named on the command line: that cartridge runs
// after the boot sequence instead of the head cartridge (which stays
// mounted, so the cart can still load it). If it cannot be loaded the
// console says so and the head cartridge runs.
void boot_command_line_cart() {
  if (!link_load_cart_file(zopts.auto_load_fn)) {
    char line[1100];
    std::snprintf(line, sizeof line, "could not load %s", zopts.auto_load_fn);
    link_print(line, 8);
    return;
  }
  pstate->mode = 0;
  pstate->pending_command = 1;
  if (zopts.params_given) std::snprintf(pstate->run_args, sizeof pstate->run_args, "%s", zopts.params);
}

void move_splash() {
  for (int k = 4; k < BRIM_KEY_COUNT; k++)
    if (k != 57 && brim_get_key_state(k)) {
      boot_init();
      return;
    }
  for (int b = 0; b <= 6; b++)
    if (button_pressed(b, 0)) {
      boot_init();
      return;
    }
}

bool load_splash_screen() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_program_path("splash.png", path);
  if (!brim_file_exists(path)) return false;
  zcon.splash = link_load_splash(path);
  return zcon.splash != nullptr;
}

void free_splash_screen() {
  brim_destroy_bitmap(zcon.splash);
  zcon.splash = nullptr;
}

void draw_splash_screen() {
  brim_bitmap* page = link_back_page();
  if (!page || !zcon.splash) return;
  for (int y = 0; y < zcon.splash->h && y < page->h; y++)
    std::memcpy(page->line[y], zcon.splash->line[y],
                static_cast<size_t>(zcon.splash->w < page->w ? zcon.splash->w : page->w));
}
