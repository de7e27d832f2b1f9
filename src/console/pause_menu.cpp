#include "console/pause_menu.h"

#include <cstdio>
#include <cstring>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "cart/pipeline.h"
#include "console/main_loop.h"
#include "console/reset_effect.h"
#include "console/screen.h"
#include "gfx/resources.h"
#include "gfx/shapes.h"
#include "host/clipboard.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "machine/memory.h"

namespace {
enum menu_action {
  MENU_CONTINUE = 0,
  MENU_RESET = 1,
  MENU_EXIT_TO_SPLORE = 3,
  MENU_RUN_CHAIN = 5,
  MENU_QUIT = 6,
  MENU_FAVOURITE = 7,   // a cart the browser started
  MENU_CUSTOM = 256,   // + slot 1-5
};

bool started_program_runs(const zurkel_machine* m) { return m->mode == 1 && m->run.program_started; }

int peek(zurkel_machine* m, int address) { return zurkel_peek(m, m->cart, address); }

// The run chain's top entry: its cart is loaded with its parameters and
// the entry is dropped.
void run_chain_return(zurkel_machine* m) {
  const char* file = get_run_chain_filename(m);
  if (file && *file) load_working_cart(m, file);
  const char* params = get_run_chain_param_str(m);
  std::snprintf(m->run_args, sizeof m->run_args, "%s", params ? params : "");
  pop_run_chain(m);
}

void carry_out(zurkel_machine* m, int action) {
  switch (action) {
    case MENU_CONTINUE: close_paused_menu(); break;
    case MENU_RESET:
      close_paused_menu();
      zurkel_start_reset_effect(m);
      break;
    case MENU_EXIT_TO_SPLORE:
      close_paused_menu();
      m->run.finished_notice = 2;
      m->pending_command = 2;
      m->console_screen = 2;
      break;
    case MENU_RUN_CHAIN:
      run_chain_return(m);
      m->disk_pause = 20;
      m->pending_command = 1;
      close_paused_menu();
      break;
    case MENU_QUIT: brim_quit = 1; break;
    case MENU_FAVOURITE:
      close_paused_menu();
      if (const zurkel_browser_calls* b = console_browser(); b && b->toggle_running_favourite)
        b->toggle_running_favourite(m);
      break;
    default:
      if (action > MENU_CUSTOM && action <= MENU_CUSTOM + 5) {
        m->run.menu_selected[action - MENU_CUSTOM] = 1;
        close_paused_menu();
      }
  }
}

void icon_arrow(brim_bitmap* b, int x, int y, int colour) {
  // A 7 x 7 right-pointing arrow.
  for (int j = 0; j < 7; j++) {
    int w = j < 4 ? j + 1 : 7 - j;
    for (int i = 0; i < w; i++) {
      int px = x + 1 + i, py = y + j;
      if (px >= b->cl && px < b->cr && py >= b->ct && py < b->cb) b->line[py][px] = colour;
    }
  }
}

void put(brim_bitmap* b, int x, int y, int c) {
  if (x >= b->cl && x < b->cr && y >= b->ct && y < b->cb) b->line[y][x] = static_cast<uint8_t>(c);
}
}  // namespace

void add_paused_menu_item(const char* label, int action) {
  if (zcon.menu_count >= 16) return;
  zurkel_menu_item& it = zcon.menu[zcon.menu_count++];
  std::memset(it.label, 0, sizeof it.label);
  std::snprintf(it.label, 17, "%s", label ? label : "");
  it.action = action;
}

void build_paused_menu(const zurkel_machine* m) {
  zcon.menu_count = 0;
  zcon.menu_selected = 0;
  add_paused_menu_item("continue", MENU_CONTINUE);
  for (int i = 1; i <= 5; i++)
    if (m->run.menu_labels[i][0]) add_paused_menu_item(m->run.menu_labels[i], MENU_CUSTOM + i);
  add_paused_menu_item("reset cart", MENU_RESET);
  const char* chain = get_run_chain_label(m);
  if (chain && chain[0]) add_paused_menu_item(chain, MENU_RUN_CHAIN);
  const zurkel_browser_calls* browser = console_browser();
  int fav = browser && browser->running_favourite ? browser->running_favourite(m) : -1;
  if (fav >= 0) add_paused_menu_item(fav ? "remove favourite" : "favourite", MENU_FAVOURITE);
  add_paused_menu_item("quit", MENU_QUIT);
  if (m->console_screen == 2) add_paused_menu_item("exit to splore", MENU_EXIT_TO_SPLORE);
}

void open_paused_menu(const zurkel_machine* m) {
  build_paused_menu(m);
  zcon.menu_open = true;
  block_buttons();
}

void close_paused_menu() { zcon.menu_open = false; }

void process_running_keypresses(zurkel_machine* m) {
  while (brim_get_key_state(KEY_ANY_CTRL) && brim_keypressed()) {
    int k = brim_readkey_nowait();
    if (k == 'r') {
      uint64_t now = brim_get_time();
      if (m->reset_glitch == 0 && (!zcon.reset_seen || now - zcon.last_reset_ms > 500)) {
        do_quick_load(m);
        m->reset_glitch = 1;
        zcon.last_reset_ms = now;
        zcon.reset_seen = true;
        brim_drain_keys();
      }
    } else if (k == 's') {
      do_quick_save(m);
    } else if (k == 'v') {
      std::snprintf(zcon.clipboard, sizeof zcon.clipboard, "%s", host_clipboard_text().c_str());
      zcon.clipboard_set = true;
    }
  }
  if (started_program_runs(m) && button_pressed_frame(6, 0) && !zcon.menu_open) {
    if (peek(m, 0x5F30) == 1) {
      zurkel_poke(m, m->cart, 0x5F30, 0);
      return;
    }
    open_paused_menu(m);
  }
}

void process_paused_keypresses(zurkel_machine* m) {
  if (zcon.menu_open && zcon.menu_count > 0) {
    if (button_pressed_frame(2, 0))
      zcon.menu_selected = (zcon.menu_selected + zcon.menu_count - 1) % zcon.menu_count;
    if (button_pressed_frame(3, 0)) zcon.menu_selected = (zcon.menu_selected + 1) % zcon.menu_count;
    if (button_pressed_frame(4, 0) || button_pressed_frame(5, 0) || button_pressed_frame(6, 0)) {
      for (int b = 4; b <= 6; b++) {
        zbuttons.pressed[b] = 0;
        zbuttons.held[b] = 0;
        zbuttons.previous[b] = 1;
        zbuttons.blocked[b] = 1;
      }
      carry_out(m, zcon.menu[zcon.menu_selected].action);
    }
  }
  if (!brim_is_paused() && !zcon.menu_open) block_buttons();
}

void draw_paused_menu(brim_bitmap* b) {
  if (!b || !zcon.menu_open) return;
  int h = 8 * zcon.menu_count + 8;
  int y0 = 64 - h / 2, y1 = y0 + h - 1;
  draw_tinted_rect_adaptive(b, 23, y0, 105, y1, 1);
  for (int x = 24; x <= 104; x++) {
    put(b, x, y0, 7);
    put(b, x, y1, 7);
  }
  for (int y = y0; y <= y1; y++) {
    put(b, 24, y, 7);
    put(b, 104, y, 7);
  }
  for (int i = 0; i < zcon.menu_count; i++) {
    int y = y0 + 5 + 8 * i;
    bool sel = i == zcon.menu_selected;
    console_text(b, zcon.menu[i].label, 34 + (sel ? 1 : 0), y, 7);
    if (sel && gfx_resource_bitmap(GFX_RES_MENU_ARROW)) gfx_draw_icon(b, GFX_RES_MENU_ARROW, 25, y - 1);
    else if (sel) icon_arrow(b, 25, y - 1, 7);
  }
}

void determine_audio_pause_state(zurkel_machine* m) {
  bool running = m->mode == 1;
  int hold = running ? peek(m, 0x5F2F) : 0;
  int state = zurkel_get_audio_pause();
  if (running && !zcon.menu_open && hold == 1) state = 1;
  else if (running && zcon.menu_open && hold != 2) state = 1;
  else if (state >= 1 && state <= 4) state++;
  else state = 0;
  zurkel_set_audio_pause(state);
}
