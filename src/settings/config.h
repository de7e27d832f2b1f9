// Settings: the engine's (window, timing, audio) and the console's (folders,
// input, capture), read from config.txt at start and written back at exit.
#pragma once
#include <cstdio>

constexpr int BRIM_PATH_MAX = 1024;  // paths hold at most 1,023 characters

// The engine's settings. `cconfig` is live; `cconfig0` is the copy taken
// right after config.txt was read (several keys are written back from it,
// so options and run-time changes to them are not saved).
struct brim_config {
  int window_w, window_h;
  int screen_w, screen_h;
  int show_fps;
  int windowed;               // live: the video layer keeps it current
  int window_x, window_y;
  int frameless;
  int fullscreen_method;
  int foreground_sleep_ms, background_sleep_ms;
  int sessions;
  int rmb_key;
  char desktop_path[BRIM_PATH_MAX];
  int sound_volume, music_volume;
  int mix_buffer_size;
  // Read but never written.
  int windib, opengl_blit, large_window;
  // Options only.
  int software_blit;
  int pixel_perfect;          // -1: the video layer decides
  int draw_rect[4];           // x, y, w, h; used when w and h are above 0
  int timeout;                // download time-out in seconds, 1-240
  int headless;               // no window, no video output
  char home_path[BRIM_PATH_MAX];   // -home: the per-user data folder
  int loaded;                 // config.txt has been read
};

// The console's settings.
struct zurkel_console_config {
  char root_path[BRIM_PATH_MAX];
  char cdata_path[BRIM_PATH_MAX];
  int joystick_index;
  int button_keys[13];
  int live_notes, cursor_snap, gui_theme, shift_glyphs;
  int gif_len, screenshot_scale, gif_scale;
  int show_backup_messages;
  int host_framerate_control;
  int gpio_base;
  char board_url[BRIM_PATH_MAX];   // the browser's board: scheme, host, port
};

extern brim_config cconfig;
extern brim_config cconfig0;
extern zurkel_console_config console_config;

// Engine side.
void brim_config_default();
// Reads config.txt (per-user folder, then the program's folder), clamps,
// adds the session and takes the as-loaded copy. Returns false without a file.
bool brim_config_load();
// Writes config.txt in the per-user folder through a temp file; false when
// it could not be written (skipped silently otherwise).
bool brim_config_save();
// Both steps on an explicit path (tests and tools).
bool brim_config_load_file(const char* path);
bool brim_config_save_file(const char* path);

// Console side: the loader gets each line the engine did not take, cut to
// 255 characters; the writer adds the console's section after the engine's.
void zurkel_config_default();
void zurkel_load_config(const char* line);
void zurkel_save_config(FILE* stream);

// The configured sleep for this frame: foreground_sleep_ms while the window
// is active, else background_sleep_ms.
int brim_configured_sleep_ms();

// The version text written into config.txt and shown at boot.
extern const char* const zurkel_version;
