#include "input/joystick.h"

#include <cstdio>
#include <cstring>

brim_joystick_set brim_joysticks;

namespace {
// Problems are printed once per run.
struct {
  bool detached[BRIM_MAX_JOYSTICKS];
  bool axis[BRIM_MAX_JOYSTICKS][BRIM_JOY_AXES];
  bool button[BRIM_MAX_JOYSTICKS][BRIM_JOY_BUTTONS];
} said;

bool in_use(int index) {
  return brim_joysticks.inited && index >= 0 && index < brim_joysticks.count &&
         index < BRIM_MAX_JOYSTICKS;
}

int read_axis(int index, int axis, const char* which) {
  if (axis < 0 || axis >= BRIM_JOY_AXES) return 0;
  brim_joystick_device& d = brim_joysticks.dev[index];
  int v = d.axes[axis];
  if (!d.axis_ok[axis]) {
    if (v >= -16383 && v <= 16383) {
      d.axis_ok[axis] = true;
    } else {
      if (!said.axis[index][axis]) {
        std::printf("** %s axis %d not validated on joystick %d\n", which, axis, index);
        said.axis[index][axis] = true;
      }
      v = 0;
    }
  }
  return v;
}
}  // namespace

void brim_joystick_clear_validation(int index) {
  if (index < 0 || index >= BRIM_MAX_JOYSTICKS) return;
  brim_joystick_device& d = brim_joysticks.dev[index];
  std::memset(d.axis_ok, 0, sizeof d.axis_ok);
  std::memset(d.button_ok, 0, sizeof d.button_ok);
}

void brim_joysticks_reset() {
  brim_joysticks = brim_joystick_set{};
  std::memset(said.detached, 0, sizeof said.detached);
  std::memset(said.axis, 0, sizeof said.axis);
  std::memset(said.button, 0, sizeof said.button);
}

int brim_get_joystick_axes(int index, int axis_x, int axis_y, int* x, int* y) {
  *x = *y = 0;
  if (!in_use(index)) return 0;
  if (!brim_joysticks.dev[index].attached) {
    if (!said.detached[index]) {
      std::printf("** could not read joystick %d (not attached)\n", index);
      said.detached[index] = true;
    }
    return 0;
  }
  *x = read_axis(index, axis_x, "x");
  *y = read_axis(index, axis_y, "y");
  return 1;
}

int brim_get_joystick(int index, int* x, int* y, int* buttons) {
  *x = *y = *buttons = 0;
  if (!in_use(index)) return 0;
  brim_get_joystick_axes(index, 0, 1, x, y);
  brim_joystick_device& d = brim_joysticks.dev[index];
  if (!d.attached) return 1;
  for (int b = 0; b < BRIM_JOY_BUTTONS; b++) {
    if (!d.buttons[b]) {
      d.button_ok[b] = true;
    } else if (d.button_ok[b]) {
      *buttons |= 1 << b;
    } else if (!said.button[index][b]) {
      std::printf("** button %d not validated on joystick %d\n", b, index);
      said.button[index][b] = true;
    }
  }
  return 1;
}
