// Forwarders to the neighbouring subsystems. Where a subsystem has not been
// joined to the console yet, its forwarder does the least that keeps the
// loop sound.
#include "console/console_links.h"

#include <cstdio>
#include <cstring>

#include "api/cartdata.h"
#include "audio/audio.h"
#include "capture/gif_save.h"
#include "capture/screenshot.h"
#include "capture/video_clip.h"
#include "cart/pipeline.h"
#include "cart/textcart.h"
#include "base/bitmap.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/resources.h"
#include "gfx/shapes.h"
#include "gfx/video.h"
#include "console/keyconfig.h"
#include "lang/fixed.h"
#include "settings/config.h"
#include <lodepng.h>
#include <cstdlib>
#include "machine/loaded_cart.h"
#include "console/main_loop.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include "cart/data_pod.h"
#include "cart/embedded_carts.h"
#include "runner/cpu.h"
#include "runner/runner.h"
#include "settings/options.h"
#include "gfx/printer.h"

namespace {
int audio_pause = 0;
zurkel_cart* system_sounds_cart = nullptr;  // data.pod item 0, kept for the run
}  // namespace

// --- runner
void link_run_cart() { run_cart(); }
void link_run_slice() { run_slice(); }
void link_suspend_program() { suspend_program(); }
void link_show_runtime_error() { zurkel_show_runtime_error(); }
void link_reset_lua_machine() { reset_lua_machine(); }
void link_reset_runtime_state() { reset_runtime_state(); }
bool link_program_started() { return zrun.program_started; }
int link_mainloop_exists() { return zrun.mainloop_exists; }
void link_note_frame_held() { zcpu.frame_held = true; }
void link_reuse_run_params() {
  if (pstate) std::snprintf(pstate->run_args, sizeof pstate->run_args, "%s", zrun.current_params);
}
void link_print(const char* text, int colour) { zurkel_print_col(text, colour); }
void link_draw_command_string() {}
const char* link_run_chain_label() {
  const char* l = get_run_chain_label();
  return l ? l : "";
}
void link_run_chain_return() {
  const char* file = get_run_chain_filename();
  if (file && *file) load_working_cart(file);
  const char* params = get_run_chain_param_str();
  if (pstate) std::snprintf(pstate->run_args, sizeof pstate->run_args, "%s", params ? params : "");
  pop_run_chain();
}
const char* link_menu_label(int slot) { return slot >= 1 && slot <= 5 ? zrun.menu_labels[slot] : ""; }
void link_mark_menu_selected(int slot) {
  if (slot >= 1 && slot <= 5) zrun.menu_selected[slot] = 1;
}

// --- cartridges and data.pod
bool link_load_data_pod(const char* path) {
  if (!zurkel_load_data_pod(path)) return false;
  // Item 0 is a text cart whose sound effects are the console's own sounds.
  const brim_stream* item = cpod_get_file(zurkel_data_pod, DATA_POD_SYSTEM_CART);
  brim_stream* view = item ? brim_open_buffer_view(item) : nullptr;
  zurkel_cart* sounds = view ? brim_load_zurkel_cart_from_file(view) : nullptr;
  brim_fclose(view);
  if (sounds) {
    brim_destroy_zurkel_cart(system_sounds_cart);
    system_sounds_cart = sounds;
    brim_set_system_sounds(sounds);
  }
  // Items 1 and 2: palette, title, icon, icons and the console font; then
  // the window for a 128 x 128 page.
  brim_pod* gfx_pod = cpod_load_nested(zurkel_data_pod, DATA_POD_GFX);
  brim_pod* font_pod = cpod_load_nested(zurkel_data_pod, DATA_POD_FONT);
  gfx_load_resources(gfx_pod, font_pod);
  brim_destroy_pod(gfx_pod);
  brim_destroy_pod(font_pod);
  brim_set_screen(128, 128, 8, 0x100);
  return true;
}
void link_boot_embedded_cart() {
  embedded_cart_print = [](const char* text) { zurkel_print_col(text, 6); };
  boot_embedded_cart();
}
void link_new_loaded_cart() { prepare_loaded_cart(brim_create_zurkel_cart(), ""); }
bool link_load_cart_file(const char* path) { return load_working_cart(path) == 0; }
void link_quick_load() { do_quick_load(); }
void link_quick_save() { do_quick_save(); }
bool link_loaded_cart_unsaved() { return false; }
void link_save_backup() { save_backup(loaded_cart_name, 0); }
int link_peek(int address) { return zurkel_peek(pstate, pstate ? pstate->cart : nullptr, address); }
void link_poke(int address, int value) {
  zurkel_poke(pstate, pstate ? pstate->cart : nullptr, address, value);
}
void link_memcpy(int dest, int src, int count) {
  zurkel_memcpy(pstate, pstate ? pstate->cart : nullptr, dest, src, count);
}
void link_memset(int dest, int value, int count) {
  zurkel_memset(pstate, pstate ? pstate->cart : nullptr, dest, value, count);
}
void link_save_cartdata() { save_cdata(); }
bool link_cartdata_dirty() { return pstate && pstate->cartdata_dirty; }

// --- drawing
brim_bitmap* link_back_page() {
  if (!brim_back_page) brim_back_page = brim_create_bitmap(128, 128, 8);
  return brim_back_page;
}
void link_set_back_page_size(int w, int h) {
  if (brim_back_page && brim_back_page->w == w && brim_back_page->h == h) return;
  brim_destroy_bitmap(brim_back_page);
  brim_back_page = brim_create_bitmap(w, h, 8);
}
void link_present_screen() { blit_zurkel_back_page_to_zurkel_screen(); }
void link_blit_back_page() { brim_blit_back_page(); }
void link_draw_text(brim_bitmap* b, const char* text, int x, int y, int colour) {
  if (b) brim_draw_text_ex(b, text, zurkel_console_font, x, y, BRIM_TEXT_COLOUR, static_cast<uint32_t>(colour));
}
void link_draw_icon(brim_bitmap* b, int item, int x, int y) {
  if (b) gfx_draw_icon(b, item, x, y);
}
bool link_has_icon(int item) { return gfx_resource_bitmap(item) != nullptr; }
void link_draw_tinted_rect(brim_bitmap* b, int x0, int y0, int x1, int y1) {
  if (b) draw_tinted_rect_adaptive(b, x0, y0, x1, y1, 1);
}
brim_bitmap* link_load_splash(const char* path) {
  unsigned char* rgba = nullptr;
  unsigned w = 0, h = 0;
  if (lodepng_decode32_file(&rgba, &w, &h, path) != 0 || w == 0 || h == 0 || w > 4096 || h > 4096) {
    std::free(rgba);
    return nullptr;
  }
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
  std::free(rgba);
  return pic8;
}
bool link_video_init(bool headless) {
  brim_video.headless = headless;
  brim_video.window_w = cconfig.window_w;
  brim_video.window_h = cconfig.window_h;
  brim_video.window_x = cconfig.window_x;
  brim_video.window_y = cconfig.window_y;
  brim_video.frameless = cconfig.frameless != 0;
  brim_video.windowed = cconfig.windowed != 0;
  brim_video.fullscreen_method = cconfig.fullscreen_method;
  brim_video.software_blit = cconfig.software_blit != 0;
  brim_video.pixel_perfect = cconfig.pixel_perfect;
  brim_video.draw_rect = brim_rect{cconfig.draw_rect[0], cconfig.draw_rect[1], cconfig.draw_rect[2], cconfig.draw_rect[3]};
  brim_video.show_fps = cconfig.show_fps != 0;
  brim_video.rmb_key = cconfig.rmb_key;
  brim_video_settings_changed = [] {
    cconfig.windowed = brim_video.fullscreen ? 0 : 1;
    cconfig.show_fps = brim_video.show_fps ? 1 : 0;
  };
  brim_video_init();
  return true;
}
void link_video_exit() {
  gfx_free_resources();
  brim_video_exit();
}
void link_text_init() { brim_text_init(); }
void link_text_exit() { brim_text_exit(); }

// --- sound
int link_sound_init() {
  // An audio dump or the virtual clock drives the mixer from the main loop:
  // no device, and channels and fades follow emulated time.
  if (zopts.dump_audio[0] || zopts.fast) {
    brim_audio_use_sample_clock();
    brim_sound_init(0);
    return 0;
  }
  return brim_sound_init(16);
}
void link_sound_exit() { brim_sound_exit(); }
void link_play_boot_chime() { brim_play_boot_chime(); }
void link_stop_all_sound() {
  cmusic_stop(0);
  brim_stop_all_sounds();
}
void link_music_stop() { cmusic_stop(0); }
void link_update_music_fading() { brim_update_music_fading(); }
void link_set_volumes(int sound, int music) {
  brim_set_sound_volume(sound);
  brim_set_music_volume(music);
}
void link_set_engine_paused(bool paused) { brim_audio_set_engine_paused(paused ? 1 : 0); }
void link_set_audio_pause(int state) {
  audio_pause = state;
  zurkel_set_audio_pause(state);
}
int link_get_audio_pause() { return audio_pause; }
bool link_mix_samples(int16_t* out, int n) {
  brim_mix_samples(out, n);
  return true;
}

// --- browser, capture, pins
void link_browser_init() {}
void link_browser_update() {}
void link_browser_draw() {}
void link_keyconfig_update() { keyconfig_step(); }
void link_keyconfig_draw() { keyconfig_draw(); }
bool link_save_screenshot() { return save_png_screenshot(pstate->display) == 0; }
void link_set_video_start() { reset_video(); }
bool link_save_video() { return save_gif() == 0; }
void link_capture_frame() { record_video_frame(pstate->capture, brim_get_time()); }
void link_close_io_pins() { gpio_reset(); }
// The script machine's generator (rnd): seeded at boot and at each run.
void link_seed_machine_rng(uint32_t seed) { zurkel_srand(seed); }
void link_loaded_cart_cross() {
  brim_bitmap* g = loaded_cart ? loaded_cart->gfx : nullptr;
  if (!g) return;
  for (int i = 0; i < 4; i++) {
    g->line[2 + i][2 + i] = 7;
    g->line[2 + i][5 - i] = 7;
  }
}
const uint8_t* link_palette() { return brim_palette; }
