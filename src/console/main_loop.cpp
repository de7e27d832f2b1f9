#include "console/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "base/debug.h"
#include "capture/gif_save.h"
#include "capture/screenshot.h"
#include "capture/video_clip.h"
#include "console/author_keys.h"
#include "console/automation.h"
#include "console/boot.h"
#include "console/cart_watch.h"
#include "console/keyconfig.h"
#include "console/pause_menu.h"
#include "console/prompt.h"
#include "console/reset_effect.h"
#include "console/screen.h"
#include "gfx/display.h"
#include "gfx/resources.h"
#include "host/time.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/cpu.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/options.h"

zurkel_console zcon;
volatile int brim_quit = 0;

namespace {
int engine_paused = 0;
int skip_frame = 0;
const zurkel_browser_calls* browser = nullptr;

constexpr int32_t STEP = 0x10000;

bool menu_or_paused() { return engine_paused || zcon.menu_open; }

bool ctrl_held() { return brim_get_key_state(KEY_ANY_CTRL) != 0; }
bool alt_held() { return brim_get_key_state(KEY_ANY_ALT) != 0; }
bool pressed(int key) { return brim_get_key_state(key) == 3; }

void toggle_sound() {
  bool on = cconfig.sound_volume == 0 && cconfig.music_volume == 0;
  cconfig.sound_volume = cconfig.music_volume = on ? 256 : 0;
  brim_set_sound_volume(cconfig.sound_volume);
  brim_set_music_volume(cconfig.music_volume);
  show_message(on ? "sound on" : "sound off", 1400);
}

bool save_screenshot(zurkel_machine* m) { return save_png_screenshot(m->display) == 0; }

void glitch_test_frame(zurkel_machine* m) {
  if (!zopts.glitch_test) return;
  if (m->mode == 1 && ++zcon.glitch_frames == 11) zurkel_start_reset_effect(m);
  if (m->pending_command == 1) {
    save_screenshot(m);
    if (++zcon.glitch_shots >= 48) brim_quit = 1;
  }
}

void capture_keys(zurkel_machine* m) {
  if (alt_held()) return;
  bool ctrl = ctrl_held();
  if (pressed(KEY_F6) || pressed(KEY_F1) || (ctrl && pressed(KEY_6))) {
    if (save_screenshot(m)) show_message("saved screenshot to desktop", 1400);
    else show_message("** failed to save screenshot", 1900);
  }
  if (pressed(KEY_F8) || pressed(KEY_F3) || (ctrl && pressed(KEY_8))) {
    reset_video();
    show_message("set video starting point", 1400);
  }
  if (pressed(KEY_F9) || pressed(KEY_F4) || (ctrl && pressed(KEY_9))) {
    if (save_gif() == 0) show_message("saved video to desktop", 1400);
    else show_message("** failed to save video", 1900);
  }
}

void capture_frame(zurkel_machine* m) { record_video_frame(m->capture, brim_get_time()); }

// One update step at the owed rate.
void take_step(zurkel_machine* m) {
  if (m->mode != 1) {
    zurkel_poll_buttons(m);
    if (m->console_screen == 1) keyconfig_step(m);
    else if (m->console_screen == 2 && browser && browser->update) browser->update(m);
    m->disk_pause = 0;
  } else if (m->disk_pause > 0) {
    m->disk_pause--;
  } else {
    process_running_keypresses(m);
    if (m->run.mainloop_exists < 2) zurkel_poll_buttons(m);
    if (m->reset_glitch <= 2 && m->mode == 1) {
      run_slice(m);
      if (m->mode == 1 && m->hold_frame) m->cpu.frame_held = true;
    }
  }
  if (m->mode == 2) move_boot(m);
  else if (m->mode == 3) move_splash(m);
}

void end_step(zurkel_machine* m) {
  update_reset_glitch(m);
  m->frame_accumulator -= STEP;
  m->frame_count++;
  zcon.browser_frames++;
  zcon.frame_flipper ^= 1;
  if (menu_or_paused() || m->fps_target == 30 || zcon.frame_flipper) capture_frame(m);
}

void count_step(zurkel_machine* m, int rate) {
  automation_step_end(m, rate);
  zcon.steps++;
  if (zopts.frames >= 0 && zcon.steps >= zopts.frames) brim_quit = 1;
}

void copy_bitmap(const brim_bitmap* src, brim_bitmap* dst) {
  if (!src || !dst) return;
  for (int y = 0; y < src->h && y < dst->h; y++)
    std::memcpy(dst->line[y], src->line[y], static_cast<size_t>(src->w < dst->w ? src->w : dst->w));
}

void fill(brim_bitmap* b, int x0, int y0, int x1, int y1, int c) {
  for (int y = y0 < b->ct ? b->ct : y0; y <= y1 && y < b->cb; y++)
    for (int x = x0 < b->cl ? b->cl : x0; x <= x1 && x < b->cr; x++)
      b->line[y][x] = static_cast<uint8_t>(c);
}

void draw_banner(brim_bitmap* b) {
  uint64_t now = brim_get_time();
  if (!zcon.message[0] || now >= zcon.message_end) return;
  uint64_t since = now - zcon.message_start, left = zcon.message_end - now;
  int off = 0;
  if (since < 200) off = static_cast<int>((200 - since) / 20);
  else if (left < 200) off = static_cast<int>((200 - left) / 20);
  int y = 121 + off;
  char line[33] = {};
  std::memcpy(line, zcon.message, strnlen(zcon.message, 32));
  if (std::strcmp(zcon.message, "devkit mouse enabled") == 0) {
    fill(b, 0, y - 1, 101, 127, 0);
    fill(b, 1, y, 100, 127, 6);
    gfx_draw_icon(b, 20, 0, y - 8);
    console_text(b, line, 16, y + 1, 1);
    return;
  }
  fill(b, 0, y, 127, 127, 8);
  console_text(b, line, 1, y + 1, zcon.message_colour);
}
}  // namespace

void brim_skip_frame() { skip_frame = 1; }
void brim_clear_skip_frame() { skip_frame = 0; }
int brim_frame_skipped() { return skip_frame; }
void brim_set_paused(int flag) {
  engine_paused = flag;
  brim_audio_set_engine_paused(flag != 0 ? 1 : 0);
}
int brim_is_paused() { return engine_paused; }

void zurkel_poll_buttons(zurkel_machine* m) {
  buttons_set_timing(m->fps_target, menu_or_paused());
  update_buttons();
  read_buttons();
}

uint64_t brim_get_time() { return host_ticks_ms(); }

void console_set_browser(const zurkel_browser_calls* calls) { browser = calls; }
const zurkel_browser_calls* console_browser() { return browser; }

void show_message(const char* text, int ms) {
  std::snprintf(zcon.message, sizeof zcon.message, "%s", text ? text : "");
  brim_debugf("message: %s\n", zcon.message);
  zcon.message_start = brim_get_time();
  zcon.message_end = zcon.message_start + static_cast<uint64_t>(ms < 0 ? 0 : ms) + 400;
  zcon.message_colour = zcon.message_colour == 15 ? 7 : 15;
}

const char* zurkel_paste_buffer() { return zcon.clipboard_set ? zcon.clipboard : nullptr; }

int32_t zurkel_pace(int32_t acc, int rate, int64_t elapsed_ms) {
  if (elapsed_ms < 0) elapsed_ms = 0;
  if (elapsed_ms > 1000000) elapsed_ms = 1000000;   // keeps the sum in range
  int64_t a = acc + static_cast<int64_t>(rate) * ((elapsed_ms * 65536) / 1000);
  if (a < 0) a = 0;
  if (a > ZURKEL_MAX_OWED_STEPS) a = ZURKEL_MAX_OWED_STEPS;
  return static_cast<int32_t>(a);
}

void process_command(zurkel_machine* m) {
  int cmd = m->pending_command;
  if (!cmd) return;
  m->reset_glitch = 0;
  if (m->pending_command & 1) {
    m->pending_command &= ~1;
    run_cart(m);
    if (zopts.exec && m->mode != 1 && !(m->pending_command & 1)) {
      // Refused or failed to compile: execute mode ends as if it stopped.
      automation_set_exit_status(2);
      brim_quit = 1;
    }
  }
  if (m->pending_command & 2) {
    m->pending_command &= ~2;
    suspend_program(m);
  }
  if (m->pending_command & 4) {
    m->pending_command &= ~4;
    zurkel_show_runtime_error(m);
    if (zopts.exec) automation_set_exit_status(2);
  }
  m->pending_command = 0;
}

void brim_main_update(zurkel_machine* m) {
  glitch_test_frame(m);
  if (ctrl_held() && pressed(KEY_M)) toggle_sound();
  buttons_clear_masks();
  cart_watch_poll(m);
  process_command(m);
  if (m->mode != 1) {
    zcon.menu_open = false;
    if (engine_paused) brim_set_paused(0);
    m->fps_target = 30;
  }

  int rate = menu_or_paused() ? 30 : m->fps_target;
  if (rate <= 0) rate = 30;
  uint64_t now = brim_get_time();
  if (zopts.fast) {
    // The virtual clock moves exactly one update period per iteration.
    host_advance_virtual_clock(static_cast<uint64_t>(60000 / rate));
    now = brim_get_time();
    m->frame_accumulator += STEP;
    if (m->frame_accumulator > ZURKEL_MAX_OWED_STEPS) m->frame_accumulator = ZURKEL_MAX_OWED_STEPS;
  } else {
    int64_t elapsed = zcon.clock_started ? static_cast<int64_t>(now - zcon.last_update_ms) : 0;
    m->frame_accumulator = zurkel_pace(m->frame_accumulator, rate, elapsed);
  }
  zcon.last_update_ms = now;
  zcon.clock_started = true;
  if (zopts.glitch_test) m->frame_accumulator = STEP;

  if (m->frame_accumulator >= STEP) {
    automation_step_begin(zcon.steps);
    if (menu_or_paused()) {
      zurkel_poll_buttons(m);
      process_running_keypresses(m);
      process_paused_keypresses(m);
      m->frame_accumulator -= STEP;
      capture_frame(m);
    } else {
      take_step(m);
      end_step(m);
    }
    count_step(m, rate);
  }

  prompt_update(m);
  if (m->mode == 1 && pressed(KEY_ESCAPE)) {
    if (zcon.menu_open) close_paused_menu();
    else open_paused_menu(m);
    block_buttons();
  }
  capture_keys(m);
  author_keys(m);
  determine_audio_pause_state(m);
}

void brim_main_draw(zurkel_machine* m) {
  if (m->pending_command) return;
  uint64_t t0 = brim_get_time();
  if (m->mode == 3 && zcon.splash) {
    console_set_back_page_size(zcon.splash->w, zcon.splash->h);
    draw_splash_screen();
    return;
  }
  console_set_back_page_size(128, 128);
  brim_bitmap* page = console_back_page();
  if (!page) return;
  std::memset(page->data, 0, static_cast<size_t>(page->w) * page->h);
  if (m->console_screen == 1 && m->mode == 0) keyconfig_draw(m);
  else if (m->console_screen == 2 && m->mode == 0 && browser && browser->draw) browser->draw(m);
  else if (m->console_screen == 0 && m->mode == 0) draw_command_string(m, true, true);
  // A typed line is no cart: the stopped cart's screen mode stays off.
  bool cart_runs = m->mode == 1 && !m->run.typed_command;
  if (!m->disk_pause && !(m->mode == 1 && m->hold_frame)) gfx_present_screen(m, cart_runs);
  copy_bitmap(m->display, page);
  draw_paused_menu(page);
  if (m->disk_pause > 0 && m->mode == 1 && m->run.program_started)
    gfx_draw_icon(page, 8 + (m->frame_count / 2 % 12 + 12) % 12, 3, 3);
  copy_bitmap(page, m->capture);
  draw_banner(page);
  zcon.last_draw_ms = static_cast<int>(brim_get_time() - t0);
}

namespace {
void quit_after_frame() { brim_quit = 1; }
int last_draw_ms() { return zcon.last_draw_ms; }
void install_games(zurkel_machine* m) {
  if (browser && browser->install_games) browser->install_games(m);
}
}  // namespace

const zurkel_machine_host zurkel_console_host = {
    .show_message = show_message,
    .quit = quit_after_frame,
    .poll_buttons = zurkel_poll_buttons,
    .paste_text = zurkel_paste_buffer,
    .open_keyconfig = keyconfig_enter,
    .last_draw_ms = last_draw_ms,
    .typed_command = prompt_typed_command,
    .install_games = install_games,
};
