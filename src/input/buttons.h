// Buttons per player (0 left, 1 right, 2 up, 3 down, 4 O, 5 X, 6 pause,
// 7 unused), sampled once per machine frame from the keyboard (players 0
// and 1), the joysticks (any player) and the per-player masks.
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

// Entries of the key map (console_config.button_keys): 0-5 player 0's
// left, right, up, down, O, X; 6-11 player 1's; 12 player 0's pause.
constexpr int BUTTON_KEY_ENTRIES = 13;

// Timing of the repeat: the machine's frame rate and whether the program is
// paused or the pause menu is open.
void buttons_set_timing(int fps, bool paused);
int buttons_initial_delay();
int buttons_repeat_interval();
// Every player's mask back to -1 (start of every frame).
void buttons_clear_masks();
void buttons_set_mask(int player, int mask);
// Mouse-wheel movement from the host, taken over by the next read_buttons.
void buttons_add_wheel(int dx, int dy);

// Samples every player's buttons into held.
void read_buttons();
// Derives pressed and previous from held; counts the repeat down.
void update_buttons();
// Every button reads up until released; the repeat restarts.
void block_buttons();

// Held, for console menus: 0 while blocked unless a repeat is due.
int button_pressed(int b, int p);
// As button_pressed, and only while a joystick reports the button too.
int button_pressed_nok(int b, int p);
// Reported by btnp this frame.
int button_pressed_frame(int b, int p);

// Non-zero while a key of button b of player p is down (players 0 and 1,
// or the player's mask).
int player_key(int b, int p);
// The joystick's strength for button b of player p, 0-255 (above 128 = held).
int player_button(int b, int p);
// The scancode is one of player 0's configured direction or O/X keys.
bool is_key_bound(int scancode);
