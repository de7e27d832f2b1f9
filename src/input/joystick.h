// Game controllers and joysticks as the buttons see them. The host layer
// opens the devices and copies their raw state into `brim_joysticks` once
// per host frame; reads here add the validation rules, so a stick or button
// that is already deflected or down when the device is opened is ignored
// until it has once read as centred or up.
#pragma once
#include <cstdint>

constexpr int BRIM_MAX_JOYSTICKS = 8;
constexpr int BRIM_JOY_AXES = 32;
constexpr int BRIM_JOY_BUTTONS = 15;

// Controller button numbers (the host's game-controller layout).
enum brim_pad_button {
  PAD_A = 0, PAD_B = 1, PAD_X = 2, PAD_Y = 3, PAD_BACK = 4, PAD_GUIDE = 5, PAD_START = 6,
};

struct brim_joystick_device {
  bool attached = false;       // open and still connected
  bool controller = false;     // opened through a mapping as a game controller
  int axes[BRIM_JOY_AXES] = {};           // -32768..32767; 0 and 1 the left stick
  uint8_t buttons[BRIM_JOY_BUTTONS] = {};  // non-zero = down
  // Validation, cleared when the device is opened.
  bool axis_ok[BRIM_JOY_AXES] = {};
  bool button_ok[BRIM_JOY_BUTTONS] = {};
};

struct brim_joystick_set {
  bool inited = false;
  int count = 0;               // devices in use, at most 8
  brim_joystick_device dev[BRIM_MAX_JOYSTICKS];
};
extern brim_joystick_set brim_joysticks;

// A device was opened: nothing is validated yet.
void brim_joystick_clear_validation(int index);
// Forgets every device and the once-per-run message marks (tests).
void brim_joysticks_reset();

// Left stick and buttons 0-14 (bit k = button k). All zero unless the
// joysticks are initialised and 0 <= index < count; returns 1 when read.
int brim_get_joystick(int index, int* x, int* y, int* buttons);
// Two axes of a device, validated.
int brim_get_joystick_axes(int index, int axis_x, int axis_y, int* x, int* y);
