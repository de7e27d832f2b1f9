#include "host/joystick.h"
#include "platform/sdl_parts.h"

#include <SDL.h>

#include "input/controller_mappings.h"
#include "input/joystick.h"
#include "base/debug.h"

namespace {
SDL_GameController* pads[BRIM_MAX_JOYSTICKS];
SDL_Joystick* sticks[BRIM_MAX_JOYSTICKS];   // raw joysticks (no mapping)

int add_mapping(const char* m) { return SDL_GameControllerAddMapping(m); }

void log_counts(SDL_Joystick* j) {
  brim_debugf("Number of Axes: %d\n", SDL_JoystickNumAxes(j));
  brim_debugf("Number of Buttons: %d\n", SDL_JoystickNumButtons(j));
  brim_debugf("Number of Balls: %d\n", SDL_JoystickNumBalls(j));
}

void open_device(int i) {
  if (SDL_IsGameController(i)) {
    pads[i] = SDL_GameControllerOpen(i);
    if (pads[i]) {
      brim_debugf("Controller %d: %s\n", i, SDL_GameControllerName(pads[i]) ? SDL_GameControllerName(pads[i]) : "?");
      log_counts(SDL_GameControllerGetJoystick(pads[i]));
      char* mapping = SDL_GameControllerMapping(pads[i]);
      brim_debugf("Mapping: %s\n", mapping ? mapping : "");
      SDL_free(mapping);
    }
  } else {
    sticks[i] = SDL_JoystickOpen(i);
    if (sticks[i]) {
      brim_debugf("Unmapped Joystick %d: %s\n", i, SDL_JoystickName(sticks[i]) ? SDL_JoystickName(sticks[i]) : "?");
      log_counts(sticks[i]);
    }
  }
  brim_joystick_clear_validation(i);
}
}  // namespace

void add_sdl_controllers() { add_sdl_controllers_with(add_mapping); }

void brim_joystick_init() {
  if (brim_joysticks.inited) return;
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0) {
    brim_debugf("could not start joysticks: %s\n", SDL_GetError());
    return;
  }
  for (int i = 0; i < brim_builtin_mapping_count; i++) SDL_GameControllerAddMapping(brim_builtin_mappings[i]);
  add_sdl_controllers();
  brim_debug(">searching for joysticks\n");
  int found = SDL_NumJoysticks();
  if (found < 0) found = 0;
  brim_debugf("found %d joysticks\n", found);
  int n = found < BRIM_MAX_JOYSTICKS ? found : BRIM_MAX_JOYSTICKS;
  for (int i = 0; i < n; i++) open_device(i);
  brim_debug("<ok\n");
  brim_joysticks.count = n;
  brim_joysticks.inited = true;
  plat_joystick_sample();
}

void brim_joystick_exit() {
  if (!brim_joysticks.inited) return;
  for (int i = 0; i < BRIM_MAX_JOYSTICKS; i++) {
    if (pads[i]) SDL_GameControllerClose(pads[i]);
    if (sticks[i]) SDL_JoystickClose(sticks[i]);
    pads[i] = nullptr;
    sticks[i] = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
  brim_joysticks.inited = false;
  brim_joysticks.count = 0;
}

void plat_joystick_sample() {
  if (!brim_joysticks.inited) return;
  for (int i = 0; i < brim_joysticks.count; i++) {
    brim_joystick_device& d = brim_joysticks.dev[i];
    if (pads[i] && SDL_GameControllerGetAttached(pads[i])) {
      d.attached = d.controller = true;
      for (int a = 0; a < BRIM_JOY_AXES; a++)
        d.axes[a] = a < SDL_CONTROLLER_AXIS_MAX
                        ? SDL_GameControllerGetAxis(pads[i], static_cast<SDL_GameControllerAxis>(a))
                        : 0;
      for (int b = 0; b < BRIM_JOY_BUTTONS; b++)
        d.buttons[b] = SDL_GameControllerGetButton(pads[i], static_cast<SDL_GameControllerButton>(b));
    } else if (sticks[i] && SDL_JoystickGetAttached(sticks[i])) {
      d.attached = true;
      d.controller = false;
      int axes = SDL_JoystickNumAxes(sticks[i]), buttons = SDL_JoystickNumButtons(sticks[i]);
      for (int a = 0; a < BRIM_JOY_AXES; a++) d.axes[a] = a < axes ? SDL_JoystickGetAxis(sticks[i], a) : 0;
      for (int b = 0; b < BRIM_JOY_BUTTONS; b++)
        d.buttons[b] = b < buttons ? SDL_JoystickGetButton(sticks[i], b) : 0;
    } else {
      d.attached = false;
    }
  }
}
