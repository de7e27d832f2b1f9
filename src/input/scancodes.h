// Host key codes (USB usage numbers, as the SDL layer reports them).
#pragma once

enum brim_scancode {
  KEY_A = 4, KEY_C = 6, KEY_D = 7, KEY_E = 8, KEY_F = 9, KEY_K = 14, KEY_M = 16, KEY_N = 17,
  KEY_P = 19, KEY_Q = 20, KEY_R = 21, KEY_S = 22, KEY_V = 25, KEY_W = 26, KEY_X = 27,
  KEY_Z = 29,
  KEY_1 = 30, KEY_6 = 35, KEY_8 = 37, KEY_9 = 38,
  KEY_RETURN = 40, KEY_ESCAPE = 41, KEY_BACKSPACE = 42, KEY_TAB = 43,
  KEY_CAPSLOCK = 57,
  KEY_F1 = 58, KEY_F3 = 60, KEY_F4 = 61, KEY_F6 = 63, KEY_F7 = 64, KEY_F8 = 65, KEY_F9 = 66,
  KEY_F11 = 68,
  KEY_INSERT = 73, KEY_DELETE = 76,
  KEY_RIGHT = 79, KEY_LEFT = 80, KEY_DOWN = 81, KEY_UP = 82,
  KEY_KP_MINUS = 86, KEY_KP_ENTER = 88, KEY_KP_1 = 89, KEY_KP_2 = 90, KEY_KP_4 = 92,
  KEY_KP_5 = 93, KEY_KP_6 = 94, KEY_KP_8 = 96,
  KEY_LCTRL = 224, KEY_LSHIFT = 225, KEY_LALT = 226,
  KEY_RCTRL = 228, KEY_RSHIFT = 229, KEY_RALT = 230,
};

// Pseudo codes for brim_get_key_state: either modifier key.
constexpr int KEY_ANY_ALT = -4;
constexpr int KEY_ANY_CTRL = -5;
constexpr int KEY_ANY_SHIFT = -6;
