// The host loop's console side: the update and draw callbacks, frame
// pacing, the banner, and the engine flags the loop keeps.
#pragma once
#include <cstdint>

struct brim_bitmap;

constexpr int ZURKEL_MAX_OWED_STEPS = 0x40000;   // 16.16: four update steps

struct zurkel_menu_item {
  char label[72];   // at most 16 characters shown
  int action;
};

// The console's state record (the parts the loop, the pause menu and the
// reset effect share).
struct zurkel_console {
  // Banner.
  char message[256];
  uint64_t message_start, message_end;
  int message_colour;
  // Pause menu.
  bool menu_open;
  int menu_selected;
  int menu_count;
  zurkel_menu_item menu[16];
  // Running keys.
  uint64_t last_reset_ms;
  bool reset_seen;
  char clipboard[1024];
  bool clipboard_set;
  // Loop.
  uint64_t last_update_ms;
  bool clock_started;
  int frame_flipper;
  int64_t steps;                 // update steps taken since start-up
  int browser_frames;
  bool frame_held_noted;
  int glitch_frames, glitch_shots;
  brim_bitmap* splash;
  int last_draw_ms;
};

extern zurkel_console zcon;

// Engine flags.
extern volatile int brim_quit;
void brim_skip_frame();
void brim_clear_skip_frame();
int brim_frame_skipped();
void brim_set_paused(int flag);
int brim_is_paused();

// The engine clock in milliseconds (virtual under -fast).
uint64_t brim_get_time();
// The seed every clock-taken seed uses: -seed S, else time of day plus the
// millisecond clock.
uint32_t brim_clock_seed();
// The configured sleep for this frame (foreground or background).
int brim_configured_sleep_ms();
bool brim_window_active();

// Banner: text for ms milliseconds (plus 400 ms for the slide).
void show_message(const char* text, int ms);

// Samples the buttons once (update, then read) at the machine's rate.
void zurkel_poll_buttons();
// The text taken with Ctrl+V, or null before any paste.
const char* zurkel_paste_buffer();

// Frame pacing: adds rate * elapsed to the 16.16 count of owed steps and
// clamps it to 0..four steps.
int32_t zurkel_pace(int32_t accumulator, int rate, int64_t elapsed_ms);

void brim_main_update();
void brim_main_draw();
void process_command();
void blit_zurkel_back_page_to_zurkel_screen_if_shown();

// Whether the machine runs a program (mode 1).
bool zurkel_running();
bool zurkel_exec_mode();
