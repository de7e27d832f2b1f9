// The host loop's console side: the update and draw callbacks, frame
// pacing, the banner, and the engine flags the loop keeps.
#pragma once
#include <cstdint>

#include "machine/machine_host.h"

struct brim_bitmap;
struct zurkel_machine;

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

// Banner: text for ms milliseconds (plus 400 ms for the slide).
void show_message(const char* text, int ms);

// Samples the buttons once (update, then read) at the machine's rate.
void zurkel_poll_buttons(zurkel_machine* m);
// The text taken with Ctrl+V, or null before any paste.
const char* zurkel_paste_buffer();

// What the console does for the layers below it (machine/machine_host.h);
// brim_main_init hangs it on the machine.
extern const zurkel_machine_host zurkel_console_host;

// The cartridge browser (src/splore) plugs in here: the program's entry
// hands the console its calls before start-up. Without them console screen
// 2 updates and draws nothing (the boot sequence still enters it at frame
// 80 with -splore, and the pause menu offers "exit to splore" there).
struct zurkel_browser_calls {
  void (*init)(zurkel_machine* m);    // once at start-up, after the sound engine
  void (*update)(zurkel_machine* m);  // each update step on console screen 2
  void (*draw)(zurkel_machine* m);    // each frame on console screen 2, into the machine screen
  // The pause menu of a cart the browser started: -1 when none runs, else
  // 1 if it is a favourite, 0 if not; and its toggle.
  int (*running_favourite)(const zurkel_machine* m);
  void (*toggle_running_favourite)(zurkel_machine* m);
  // install_games(): the sample games into the board carts and favourites.
  void (*install_games)(zurkel_machine* m);
  // Leaving the browser for the console: its greeting on the screen.
  void (*exit_message)(zurkel_machine* m);
};
void console_set_browser(const zurkel_browser_calls* calls);
const zurkel_browser_calls* console_browser();

// Frame pacing: adds rate * elapsed to the 16.16 count of owed steps and
// clamps it to 0..four steps.
int32_t zurkel_pace(int32_t accumulator, int rate, int64_t elapsed_ms);

void brim_main_update(zurkel_machine* m);
void brim_main_draw(zurkel_machine* m);
void process_command(zurkel_machine* m);
