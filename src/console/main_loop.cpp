#include "console/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/bitmap.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "console/boot.h"
#include "console/console_links.h"
#include "console/automation.h"
#include "console/pause_menu.h"
#include "machine/machine.h"
#include "console/reset_effect.h"
#include "host/time.h"
#include "host/events.h"
#include "settings/config.h"
#include "settings/options.h"

zurkel_console zcon;
volatile int brim_quit = 0;

namespace {
int engine_paused = 0;
int skip_frame = 0;

constexpr int32_t STEP = 0x10000;

bool menu_or_paused() { return engine_paused || zcon.menu_open; }

void poll_buttons() { zurkel_poll_buttons(); }

bool ctrl_held() { return brim_get_key_state(KEY_ANY_CTRL) != 0; }
bool alt_held() { return brim_get_key_state(KEY_ANY_ALT) != 0; }
bool pressed(int key) { return brim_get_key_state(key) == 3; }

void toggle_sound() {
  bool on = cconfig.sound_volume == 0 && cconfig.music_volume == 0;
  cconfig.sound_volume = cconfig.music_volume = on ? 256 : 0;
  link_set_volumes(cconfig.sound_volume, cconfig.music_volume);
  show_message(on ? "sound on" : "sound off", 1400);
}

void glitch_test_frame() {
  if (!zopts.glitch_test) return;
  if (pstate->mode == 1 && ++zcon.glitch_frames == 11) zurkel_start_reset_effect();
  if (pstate->pending_command == 1) {
    link_save_screenshot();
    if (++zcon.glitch_shots >= 48) brim_quit = 1;
  }
}

void capture_keys() {
  if (alt_held()) return;
  bool ctrl = ctrl_held();
  if (pressed(KEY_F6) || pressed(KEY_F1) || (ctrl && pressed(KEY_6))) {
    if (link_save_screenshot()) show_message("saved screenshot to desktop", 1400);
    else show_message("** failed to save screenshot", 1900);
  }
  if (pressed(KEY_F8) || pressed(KEY_F3) || (ctrl && pressed(KEY_8))) {
    link_set_video_start();
    show_message("set video starting point", 1400);
  }
  if (pressed(KEY_F9) || pressed(KEY_F4) || (ctrl && pressed(KEY_9))) {
    if (link_save_video()) show_message("saved video to desktop", 1400);
    else show_message("** failed to save video", 1900);
  }
}

// One update step at the owed rate.
void take_step() {
  if (pstate->mode != 1) {
    poll_buttons();
    if (pstate->console_screen == 1) link_keyconfig_update();
    else if (pstate->console_screen == 2) link_browser_update();
    pstate->disk_pause = 0;
  } else if (pstate->disk_pause > 0) {
    pstate->disk_pause--;
  } else {
    process_running_keypresses();
    if (link_mainloop_exists() < 2) poll_buttons();
    if (pstate->reset_glitch <= 2 && pstate->mode == 1) {
      link_run_slice();
      if (pstate->mode == 1 && pstate->hold_frame) link_note_frame_held();
    }
  }
  if (pstate->mode == 2) move_boot();
  else if (pstate->mode == 3) move_splash();
}

void end_step() {
  update_reset_glitch();
  pstate->frame_accumulator -= STEP;
  pstate->frame_count++;
  zcon.browser_frames++;
  zcon.frame_flipper ^= 1;
  if (menu_or_paused() || pstate->fps_target == 30 || zcon.frame_flipper) link_capture_frame();
}

void count_step(int rate) {
  automation_step_end(rate);
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
    link_draw_icon(b, 20, 0, y - 8);
    link_draw_text(b, line, 16, y + 1, 1);
    return;
  }
  fill(b, 0, y, 127, 127, 8);
  link_draw_text(b, line, 1, y + 1, zcon.message_colour);
}
}  // namespace

void brim_skip_frame() { skip_frame = 1; }
void brim_clear_skip_frame() { skip_frame = 0; }
int brim_frame_skipped() { return skip_frame; }
void brim_set_paused(int flag) {
  engine_paused = flag;
  link_set_engine_paused(flag != 0);
}
int brim_is_paused() { return engine_paused; }

void zurkel_poll_buttons() {
  buttons_set_timing(pstate ? pstate->fps_target : 30, menu_or_paused());
  update_buttons();
  read_buttons();
}

uint64_t brim_get_time() { return host_ticks_ms(); }

uint32_t brim_clock_seed() {
  if (zopts.seed_given) return zopts.seed;
  return static_cast<uint32_t>(std::time(nullptr)) + static_cast<uint32_t>(brim_get_time());
}

int brim_configured_sleep_ms() {
  return brim_window_active() ? cconfig.foreground_sleep_ms : cconfig.background_sleep_ms;
}
bool brim_window_active() { return host_window_active(); }

bool zurkel_running() { return pstate && pstate->mode == 1; }
bool zurkel_exec_mode() { return zopts.exec != 0; }

void show_message(const char* text, int ms) {
  std::snprintf(zcon.message, sizeof zcon.message, "%s", text ? text : "");
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

void process_command() {
  int cmd = pstate->pending_command;
  if (!cmd) return;
  pstate->reset_glitch = 0;
  if (pstate->pending_command & 1) {
    pstate->pending_command &= ~1;
    link_run_cart();
    if (zopts.exec && pstate->mode != 1 && !(pstate->pending_command & 1)) {
      // Refused or failed to compile: execute mode ends as if it stopped.
      automation_set_exit_status(2);
      brim_quit = 1;
    }
  }
  if (pstate->pending_command & 2) {
    pstate->pending_command &= ~2;
    link_suspend_program();
  }
  if (pstate->pending_command & 4) {
    pstate->pending_command &= ~4;
    link_show_runtime_error();
    if (zopts.exec) automation_set_exit_status(2);
  }
  pstate->pending_command = 0;
}

void brim_main_update() {
  glitch_test_frame();
  if (ctrl_held() && pressed(KEY_M)) toggle_sound();
  buttons_clear_masks();
  process_command();
  if (pstate->mode != 1) {
    zcon.menu_open = false;
    if (engine_paused) brim_set_paused(0);
    pstate->fps_target = 30;
  }

  int rate = menu_or_paused() ? 30 : pstate->fps_target;
  if (rate <= 0) rate = 30;
  uint64_t now = brim_get_time();
  if (zopts.fast) {
    // The virtual clock moves exactly one update period per iteration.
    host_advance_virtual_clock(static_cast<uint64_t>(60000 / rate));
    now = brim_get_time();
    pstate->frame_accumulator += STEP;
    if (pstate->frame_accumulator > ZURKEL_MAX_OWED_STEPS)
      pstate->frame_accumulator = ZURKEL_MAX_OWED_STEPS;
  } else {
    int64_t elapsed = zcon.clock_started ? static_cast<int64_t>(now - zcon.last_update_ms) : 0;
    pstate->frame_accumulator = zurkel_pace(pstate->frame_accumulator, rate, elapsed);
  }
  zcon.last_update_ms = now;
  zcon.clock_started = true;
  if (zopts.glitch_test) pstate->frame_accumulator = STEP;

  if (pstate->frame_accumulator >= STEP) {
    automation_step_begin(zcon.steps);
    if (menu_or_paused()) {
      poll_buttons();
      process_running_keypresses();
      process_paused_keypresses();
      pstate->frame_accumulator -= STEP;
      link_capture_frame();
    } else {
      take_step();
      end_step();
    }
    count_step(rate);
  }

  if (pstate->mode == 1 && pressed(KEY_ESCAPE)) {
    if (zcon.menu_open) close_paused_menu();
    else open_paused_menu();
    block_buttons();
  }
  capture_keys();
  determine_audio_pause_state();
}

void brim_main_draw() {
  if (pstate->pending_command) return;
  uint64_t t0 = brim_get_time();
  brim_bitmap* page = link_back_page();
  if (pstate->mode == 3 && zcon.splash) {
    link_set_back_page_size(zcon.splash->w, zcon.splash->h);
    page = link_back_page();
    draw_splash_screen();
    return;
  }
  link_set_back_page_size(128, 128);
  page = link_back_page();
  if (!page) return;
  std::memset(page->data, 0, static_cast<size_t>(page->w) * page->h);
  if (pstate->console_screen == 0 || pstate->mode != 0) {
    if (pstate->mode == 0) link_draw_command_string();
  } else if (pstate->console_screen == 1) {
    link_keyconfig_draw();
  } else {
    link_browser_draw();
  }
  if (!pstate->disk_pause && !(pstate->mode == 1 && pstate->hold_frame)) link_present_screen();
  copy_bitmap(pstate->display, page);
  draw_paused_menu(page);
  if (pstate->disk_pause > 0 && pstate->mode == 1 && link_program_started())
    link_draw_icon(page, 8 + (pstate->frame_count / 2 % 12 + 12) % 12, 3, 3);
  copy_bitmap(page, pstate->capture);
  draw_banner(page);
  zcon.last_draw_ms = static_cast<int>(brim_get_time() - t0);
}
