#include "input/buttons.h"

#include <cstdint>
#include <initializer_list>

#include "input/joystick.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "base/random.h"
#include "settings/config.h"
#include "settings/options.h"

zurkel_buttons zbuttons;

namespace {
// The repeat timing and the wheel movement waiting for the next read.
struct {
  int frame_rate = 30;
  bool menu_timing = false;
  int wheel_x = 0, wheel_y = 0;
} timing;

bool any_down(std::initializer_list<int> keys) {
  for (int k : keys)
    if (brim_get_key_state(k)) return true;
  return false;
}

// The built-in keys of an entry of the key map.
bool default_keys_down(int entry) {
  switch (entry) {
    case 0: return any_down({KEY_LEFT, KEY_KP_4});
    case 1: return any_down({KEY_RIGHT, KEY_KP_6});
    case 2: return any_down({KEY_UP, KEY_KP_8});
    case 3: return any_down({KEY_DOWN, KEY_KP_5});
    case 4: return any_down({KEY_Z, KEY_C, KEY_N, KEY_KP_MINUS, KEY_KP_1, KEY_INSERT});
    case 5:
      return any_down({KEY_X, KEY_V, KEY_8, KEY_KP_2, KEY_DELETE}) ||
             (any_down({KEY_M}) && !brim_get_key_state(KEY_ANY_CTRL));  // Ctrl+M is mute
    case 6: return any_down({KEY_S});
    case 7: return any_down({KEY_F});
    case 8: return any_down({KEY_E});
    case 9: return any_down({KEY_D});
    case 10: return any_down({KEY_LSHIFT, KEY_TAB, KEY_W});
    case 11: return any_down({KEY_A, KEY_Q});
    case 12: return any_down({KEY_P, KEY_RETURN});
  }
  return false;
}

// The key-map entry of a keyboard button, or -1.
int key_entry(int b, int p) {
  if (p == 0 && b >= 0 && b <= 5) return b;
  if (p == 1 && b >= 0 && b <= 5) return 6 + b;
  if (p == 0 && b == 6) return 12;
  return -1;
}

// Deflection of the left stick towards a direction, 0-255; 0 inside the
// circular dead zone of about half deflection.
int stick_strength(int b, int x, int y) {
  int64_t X = x, Y = y;
  if (Y * (Y / 2) + X * (X / 2) <= 0x8000000) return 0;
  X /= 128;
  Y /= 128;
  int64_t v = b == 0 ? -X : b == 1 ? X : b == 2 ? -Y : Y;
  return static_cast<int>(v < 0 ? 0 : v > 255 ? 255 : v);
}
}  // namespace

void buttons_set_timing(int fps, bool paused) {
  timing.frame_rate = fps > 0 ? fps : 30;
  timing.menu_timing = paused;
}

int buttons_initial_delay() { return timing.menu_timing ? 16 : timing.frame_rate * 15 / 30 + 1; }
int buttons_repeat_interval() { return timing.menu_timing ? 4 : 4 * timing.frame_rate / 30; }

void buttons_clear_masks() {
  for (int& m : zbuttons.mask) m = -1;
}

void buttons_set_mask(int player, int mask) {
  if (player >= 0 && player < 8) zbuttons.mask[player] = mask;
}

void buttons_add_wheel(int dx, int dy) {
  timing.wheel_x += dx;
  timing.wheel_y += dy;
}

int player_key(int b, int p) {
  if (b < 0 || b > 7 || p < 0 || p > 7) return 0;
  if (zbuttons.mask[p] != -1 && (zbuttons.mask[p] >> b & 1)) return 1;
  int entry = key_entry(b, p);
  if (entry < 0) return 0;
  int configured = console_config.button_keys[entry];
  if (configured) return brim_get_key_state(configured) ? 1 : 0;
  return default_keys_down(entry) ? 1 : 0;
}

int player_button(int b, int p) {
  if (p < 0 || p >= 8) return 0;
  int x = 0, y = 0, bits = 0;
  brim_get_joystick(p - console_config.joystick_index, &x, &y, &bits);
  auto down = [&](int pad) { return (bits >> pad & 1) != 0; };
  switch (b) {
    case 0:
    case 1:
    case 2:
    case 3: return stick_strength(b, x, y);
    case 4: return down(PAD_A) || down(PAD_Y) ? 255 : 0;
    case 5: return down(PAD_B) || down(PAD_X) ? 255 : 0;
    case 6: return down(PAD_START) ? 255 : 0;
  }
  return 0;
}

bool is_key_bound(int scancode) {
  if (scancode <= 0) return false;  // 0 is "default keys", not a key
  for (int i = 0; i < 6; i++)
    if (console_config.button_keys[i] == scancode) return true;
  return false;
}

void read_buttons() {
  for (int& h : zbuttons.held) h = 0;
  if (zopts.glitch_test) {
    for (int i = 0; i < 64; i++)
      if ((i & 7) <= 5) zbuttons.held[i] = static_cast<int>(brim_random(2));
    return;
  }
  for (int i = 0; i < 64; i++) {
    int b = i & 7, p = i >> 3;
    bool down = player_key(b, p) != 0 || player_button(b, p) > 128;
    if (!down) zbuttons.blocked[i] = 0;
    if (down && !zbuttons.blocked[i]) {
      zbuttons.held[i] = 1;
      if (!zbuttons.previous[i]) zbuttons.repeat = buttons_initial_delay();
    }
  }
  zbuttons.pressed[64] = timing.wheel_x;
  zbuttons.pressed[65] = timing.wheel_y;
  timing.wheel_x = timing.wheel_y = 0;
}

void update_buttons() {
  int r = zbuttons.repeat;
  for (int i = 0; i < 64; i++) {
    bool h = zbuttons.held[i] && !zbuttons.blocked[i];
    zbuttons.pressed[i] = r == 1 ? h : h && !zbuttons.previous[i];
    zbuttons.previous[i] = zbuttons.held[i];
  }
  if (zbuttons.repeat > 0 && --zbuttons.repeat == 0) zbuttons.repeat = buttons_repeat_interval();
}

void block_buttons() {
  for (int i = 0; i < 64; i++) {
    zbuttons.blocked[i] = 1;
    zbuttons.held[i] = 0;
  }
  zbuttons.repeat = buttons_initial_delay();
}

int button_pressed(int b, int p) {
  if (b < 0 || b > 7 || p < 0 || p > 7) return 0;
  int i = 8 * p + b;
  return zbuttons.blocked[i] && zbuttons.repeat != 1 ? 0 : zbuttons.held[i];
}

int button_pressed_nok(int b, int p) {
  return button_pressed(b, p) && player_button(b, p) > 128 ? 1 : 0;
}

int button_pressed_frame(int b, int p) {
  if (b < 0 || b > 7 || p < 0 || p > 7) return 0;
  return zbuttons.pressed[8 * p + b];
}
