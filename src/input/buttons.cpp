#include "input/buttons.h"

#include <cstring>
#include <initializer_list>

#include "input/keys.h"
#include "input/scancodes.h"

zurkel_buttons zbuttons;

namespace {
int frame_rate = 30;
bool menu_timing = false;

int initial_delay() { return menu_timing ? 16 : frame_rate * 15 / 30 + 1; }
int repeat_interval() { return menu_timing ? 4 : 4 * frame_rate / 30; }

bool any_down(std::initializer_list<int> keys) {
  for (int k : keys)
    if (brim_get_key_state(k)) return true;
  return false;
}

// The built-in keys of players 0 and 1.
bool player_key(int b, int p) {
  if (p >= 0 && p < 8 && zbuttons.mask[p] != -1 && (zbuttons.mask[p] >> b & 1)) return true;
  if (p == 0) {
    switch (b) {
      case 0: return any_down({KEY_LEFT});
      case 1: return any_down({KEY_RIGHT});
      case 2: return any_down({KEY_UP});
      case 3: return any_down({KEY_DOWN});
      case 4: return any_down({KEY_Z, KEY_C, KEY_N});
      case 5: return any_down({KEY_X, KEY_V}) || (!brim_get_key_state(KEY_ANY_CTRL) && any_down({KEY_M}));
      case 6: return any_down({KEY_P, KEY_RETURN});
    }
  }
  return false;
}
}  // namespace

void buttons_set_timing(int fps, bool paused) {
  frame_rate = fps > 0 ? fps : 30;
  menu_timing = paused;
}

void buttons_clear_masks() {
  for (int& m : zbuttons.mask) m = -1;
}

void buttons_set_mask(int player, int mask) {
  if (player >= 0 && player < 8) zbuttons.mask[player] = mask;
}

void read_buttons() {
  for (int i = 0; i < 64; i++) {
    bool down = player_key(i & 7, i >> 3);
    zbuttons.held[i] = 0;
    if (!down) zbuttons.blocked[i] = 0;
    if (down && !zbuttons.blocked[i]) {
      zbuttons.held[i] = 1;
      if (!zbuttons.previous[i]) zbuttons.repeat = initial_delay();
    }
  }
}

void update_buttons() {
  int r = zbuttons.repeat;
  for (int i = 0; i < 64; i++) {
    bool h = zbuttons.held[i] && !zbuttons.blocked[i];
    zbuttons.pressed[i] = r == 1 ? h : h && !zbuttons.previous[i];
    zbuttons.previous[i] = zbuttons.held[i];
  }
  if (zbuttons.repeat > 0 && --zbuttons.repeat == 0) zbuttons.repeat = repeat_interval();
}

void block_buttons() {
  for (int i = 0; i < 64; i++) {
    zbuttons.blocked[i] = 1;
    zbuttons.held[i] = 0;
  }
  zbuttons.repeat = initial_delay();
}

int button_pressed(int b, int p) {
  if (b < 0 || b > 7 || p < 0 || p > 7) return 0;
  int i = 8 * p + b;
  return zbuttons.blocked[i] && zbuttons.repeat != 1 ? 0 : zbuttons.held[i];
}

int button_pressed_frame(int b, int p) {
  if (b < 0 || b > 7 || p < 0 || p > 7) return 0;
  return zbuttons.pressed[8 * p + b];
}
