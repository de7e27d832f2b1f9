// Buttons per player (0 left, 1 right, 2 up, 3 down, 4 O, 5 X, 6 pause),
// sampled once per machine frame from the keys and the per-player masks.
#pragma once

// Players 0-7, buttons 0-7: index 8p + b.
struct zurkel_buttons {
  int held[64];
  int previous[64];
  int blocked[64];
  int pressed[66];       // 64 and 65: mouse-wheel movement of the last frame
  int repeat;            // frames until the next auto-repeat, shared by all
  int mask[8];           // per-player held-button masks; -1 none
};
extern zurkel_buttons zbuttons;

// Timing of the repeat: the machine's frame rate and whether the program is
// paused or the pause menu is open.
void buttons_set_timing(int fps, bool paused);
// Every player's mask back to -1 (start of every frame).
void buttons_clear_masks();
void buttons_set_mask(int player, int mask);

void read_buttons();
void update_buttons();
void block_buttons();
// Held, for console menus: 0 while blocked unless a repeat is due.
int button_pressed(int b, int p);
// Reported by btnp this frame.
int button_pressed_frame(int b, int p);
