#include "web_gamepad.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

#include "base/debug.h"
#include "host/joystick.h"
#include "input/joystick.h"

namespace {
// Controller buttons A, B, X, Y, back, guide, start, left stick, right
// stick, left and right shoulder, pad up, down, left, right: their numbers
// in the standard layout.
constexpr int kStandardButton[BRIM_JOY_BUTTONS] = {0, 1, 2, 3, 8, 16, 9, 10, 11, 4, 5, 12, 13, 14, 15};
constexpr int kLeftTrigger = 6, kRightTrigger = 7;  // standard buttons read as axes 4 and 5

int axis_value(double v) { return static_cast<int>(std::clamp(v, -1.0, 1.0) * 32767.0); }

void read_pad(brim_joystick_device& d, const EmscriptenGamepadEvent& g) {
  d.controller = std::strcmp(g.mapping, "standard") == 0;
  std::fill(std::begin(d.axes), std::end(d.axes), 0);
  std::fill(std::begin(d.buttons), std::end(d.buttons), 0);
  if (d.controller) {
    for (int a = 0; a < 4 && a < g.numAxes; a++) d.axes[a] = axis_value(g.axis[a]);
    if (g.numButtons > kRightTrigger) {
      d.axes[4] = axis_value(g.analogButton[kLeftTrigger]);
      d.axes[5] = axis_value(g.analogButton[kRightTrigger]);
    }
    for (int b = 0; b < BRIM_JOY_BUTTONS; b++)
      d.buttons[b] = kStandardButton[b] < g.numButtons && g.digitalButton[kStandardButton[b]];
    return;
  }
  for (int a = 0; a < BRIM_JOY_AXES && a < g.numAxes; a++) d.axes[a] = axis_value(g.axis[a]);
  for (int b = 0; b < BRIM_JOY_BUTTONS && b < g.numButtons; b++) d.buttons[b] = g.digitalButton[b] != 0;
}
}  // namespace

int web_gamepad_standard_button(int b) { return b >= 0 && b < BRIM_JOY_BUTTONS ? kStandardButton[b] : -1; }

void brim_joystick_init() {
  if (brim_joysticks.inited) return;
  brim_debug(">searching for joysticks\n");
  brim_debug("found 0 joysticks\n");  // the browser shows pads after their first press
  brim_debug("<ok\n");
  brim_joysticks.inited = true;
  brim_joysticks.count = 0;
}

void brim_joystick_exit() {
  brim_joysticks.inited = false;
  brim_joysticks.count = 0;
}

void web_gamepad_sample() {
  if (!brim_joysticks.inited || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
  int n = std::min(emscripten_get_num_gamepads(), BRIM_MAX_JOYSTICKS);
  for (int i = 0; i < BRIM_MAX_JOYSTICKS; i++) {
    brim_joystick_device& d = brim_joysticks.dev[i];
    EmscriptenGamepadEvent g{};
    bool here = i < n && emscripten_get_gamepad_status(i, &g) == EMSCRIPTEN_RESULT_SUCCESS && g.connected;
    if (here && !d.attached) {
      brim_debugf("Controller %d: %s (%s)\n", i, g.id, g.mapping[0] ? g.mapping : "no mapping");
      brim_joystick_clear_validation(i);
      if (i >= brim_joysticks.count) brim_joysticks.count = i + 1;
    }
    d.attached = here;
    if (here) read_pad(d, g);
  }
}
