// The console loop's calls into neighbouring subsystems (runner, cartridge
// files and archives, drawing, sound). Each is a thin forwarder, so the loop
// itself can be tested without the rest of the machine.
#pragma once
#include <cstdint>

struct brim_bitmap;

// --- runner
void link_run_cart();
void link_run_slice();
void link_suspend_program();
void link_reset_lua_machine();
void link_reset_runtime_state();
void link_show_runtime_error();   // stop, fresh machine, empty line and the error text
bool link_program_started();
int link_mainloop_exists();        // 2 or more: the program polls buttons itself
void link_note_frame_held();       // the slice ended before the frame was finished
void link_reuse_run_params();      // run_args = the current parameters
void link_print(const char* text, int colour);
void link_draw_command_string();   // the prompt, while no program runs
// The run chain's top entry; label "" when the chain is empty.
const char* link_run_chain_label();
void link_run_chain_return();      // load its cart with its parameters, pop it
// Custom pause-menu entries the program set with menuitem (slots 1-5).
const char* link_menu_label(int slot);
void link_mark_menu_selected(int slot);

// --- cartridges and data.pod
bool link_load_data_pod(const char* path);
void link_boot_embedded_cart();
void link_new_loaded_cart();
bool link_load_cart_file(const char* path);   // execute mode, -run
void link_quick_load();
void link_quick_save();
bool link_loaded_cart_unsaved();
void link_save_backup();
int link_peek(int address);
void link_poke(int address, int value);
void link_memcpy(int dest, int src, int count);
void link_memset(int dest, int value, int count);
void link_save_cartdata();
bool link_cartdata_dirty();

// --- drawing
brim_bitmap* link_back_page();                 // the engine's back page
void link_set_back_page_size(int w, int h);
void link_present_screen();                    // screen -> display bitmap
void link_blit_back_page();                    // back page -> window
void link_draw_text(brim_bitmap* b, const char* text, int x, int y, int colour);
void link_draw_tinted_rect(brim_bitmap* b, int x0, int y0, int x1, int y1);
// An 8-bit icon of the graphics resources (colour 0 transparent).
void link_draw_icon(brim_bitmap* b, int item, int x, int y);
bool link_has_icon(int item);
brim_bitmap* link_load_splash(const char* path);  // palette indices, or null
bool link_video_init(bool headless);
void link_video_exit();
void link_text_init();
void link_text_exit();

// --- sound
int link_sound_init();
void link_sound_exit();
void link_play_boot_chime();
void link_stop_all_sound();
void link_music_stop();
void link_update_music_fading();
void link_set_volumes(int sound, int music);
void link_set_engine_paused(bool paused);
void link_set_audio_pause(int state);
int link_get_audio_pause();
// Mixes count samples (the audio dump); false when there is no mixer.
bool link_mix_samples(int16_t* out, int count);

// --- browser, capture, pins
void link_browser_init();
void link_browser_update();
void link_browser_draw();
void link_keyconfig_update();
void link_keyconfig_draw();
bool link_save_screenshot();
void link_set_video_start();
bool link_save_video();
void link_capture_frame();
void link_close_io_pins();
void link_seed_machine_rng(uint32_t seed);
void link_loaded_cart_cross();       // the small cross drawn into the loaded cart at boot
// The host palette: 256 RGB entries (768 bytes).
const uint8_t* link_palette();
