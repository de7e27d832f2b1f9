// Forwarders to the neighbouring subsystems. Where a subsystem has not been
// joined to the console yet, its forwarder does the least that keeps the
// loop sound.
#include "machine/console_links.h"

#include <cstdio>
#include <cstring>

#include "api/cartdata.h"
#include "audio/audio.h"
#include "cart/textcart.h"
#include "gfx/bitmap.h"
#include "machine/main_loop.h"
#include "machine/memory.h"
#include "machine/pstate.h"
#include "pod/data_pod.h"
#include "pod/embedded_carts.h"
#include "runner/cpu.h"
#include "runner/runner.h"
#include "shell/options.h"
#include "shell/printer.h"

namespace {
brim_bitmap* back_page = nullptr;
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
  // Loading the returned-to cart comes with the load pipeline.
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
  return true;
}
void link_boot_embedded_cart() {
  embedded_cart_print = [](const char* text) { zurkel_print_col(text, 6); };
  boot_embedded_cart();
}
void link_new_loaded_cart() {}
bool link_load_cart_file(const char*) { return false; }
void link_quick_load() {}
void link_quick_save() {}
bool link_loaded_cart_unsaved() { return false; }
void link_save_backup() {}
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
  if (!back_page) back_page = brim_create_bitmap(128, 128, 8);
  return back_page;
}
void link_set_back_page_size(int w, int h) {
  if (back_page && back_page->w == w && back_page->h == h) return;
  brim_destroy_bitmap(back_page);
  back_page = brim_create_bitmap(w, h, 8);
}
void link_present_screen() {
  if (!pstate || !pstate->screen || !pstate->display) return;
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) {
      int v = pstate->screen->line[y][x] & 15;
      pstate->display->line[y][x] = static_cast<uint8_t>(pstate->draw[0x10 + v] & 15);
    }
}
void link_blit_back_page() {}
void link_draw_text(brim_bitmap*, const char*, int, int, int) {}
void link_draw_tinted_rect(brim_bitmap* b, int x0, int y0, int x1, int y1) {
  if (!b) return;
  for (int y = y0 < b->ct ? b->ct : y0; y <= y1 && y < b->cb; y++)
    for (int x = x0 < b->cl ? b->cl : x0; x <= x1 && x < b->cr; x++) b->line[y][x] = 1;
}
brim_bitmap* link_load_splash(const char*) { return nullptr; }
bool link_video_init(bool) { return true; }
void link_video_exit() {
  brim_destroy_bitmap(back_page);
  back_page = nullptr;
}
void link_text_init() {}
void link_text_exit() {}

// --- sound
int link_sound_init() {
  // An audio dump drives the mixer from the main loop: no device, and
  // fades follow emulated time.
  if (zopts.dump_audio[0]) {
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
void link_keyconfig_update() {}
void link_keyconfig_draw() {}
bool link_save_screenshot() { return false; }
void link_set_video_start() {}
bool link_save_video() { return false; }
void link_capture_frame() {}
void link_close_io_pins() { gpio_reset(); }
void link_seed_machine_rng(uint32_t) {}
void link_loaded_cart_cross() {}
const uint8_t* link_palette() {
  static uint8_t grey[768];
  for (int i = 0; i < 256; i++) grey[3 * i] = grey[3 * i + 1] = grey[3 * i + 2] = static_cast<uint8_t>(i * 16);
  return grey;
}
