#include "host/events.h"

#include <SDL.h>

#include "gfx/video.h"
#include "input/buttons.h"
#include "console/keyconfig.h"
#include "input/keys.h"
#include "base/debug.h"
#include "host/time.h"
#include "platform/sdl_parts.h"

namespace {
bool quit_requested = false;
bool window_active = true;
bool inited = false;

void key_event(const SDL_KeyboardEvent& k) {
  // The modifiers as they were at this event (the pump may already have
  // read their release).
  Uint16 m = k.keysym.mod;
  brim_key_action a = brim_key_event(k.keysym.scancode, k.type == SDL_KEYDOWN, (m & KMOD_CTRL) != 0,
                                     (m & KMOD_ALT) != 0, (m & KMOD_SHIFT) != 0, k.repeat != 0);
  switch (a) {
    case BRIM_KEY_FULLSCREEN: brim_toggle_fullscreen(); break;
    case BRIM_KEY_SHOW_FPS: brim_toggle_show_fps(); break;
    case BRIM_KEY_QUIT: quit_requested = true; break;
    case BRIM_KEY_NONE: break;
  }
}
}  // namespace

bool host_init() {
  if (inited) return true;
  inited = SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
  if (!inited) brim_debugf("SDL_Init failed: %s\n", SDL_GetError());
  for (int i = 0; i < BRIM_SCANCODE_NAMES; i++)
    brim_set_scancode_name(i, SDL_GetScancodeName(static_cast<SDL_Scancode>(i)));
  return inited;
}

void host_exit() {
  if (inited) SDL_Quit();
  inited = false;
}

const char* host_platform_name() { return SDL_GetPlatform(); }

void host_pump_events() {
  if (!inited) return;
  // The host's key states as of the events read so far.
  uint8_t keys[BRIM_KEY_COUNT] = {};
  int n = 0;
  const Uint8* host_keys = SDL_GetKeyboardState(&n);
  for (int i = 0; i < n && i < BRIM_KEY_COUNT; i++) keys[i] = host_keys[i];
  brim_key_sample(host_ticks_ms(), keys);
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: key_event(e.key); break;
      case SDL_TEXTINPUT: brim_key_text(e.text.text); break;
      case SDL_MOUSEWHEEL: {
        int flip = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        buttons_add_wheel(flip * e.wheel.x, flip * e.wheel.y);
        break;
      }
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            brim_key_focus_gained();
            window_active = true;
            break;
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_MAXIMIZED: window_active = true; break;
          case SDL_WINDOWEVENT_HIDDEN:
          case SDL_WINDOWEVENT_MINIMIZED:
          case SDL_WINDOWEVENT_FOCUS_LOST: window_active = false; break;
          case SDL_WINDOWEVENT_CLOSE:
            brim_debugf("window closed (%d)\n", static_cast<int>(e.window.windowID));
            quit_requested = true;
            break;
        }
        break;
      case SDL_QUIT: quit_requested = true; break;
    }
  }
  brim_key_frame_end();
  plat_joystick_sample();
}

bool host_quit_requested() { return quit_requested; }
void host_request_quit() { quit_requested = true; }
bool host_window_active() { return window_active; }
void host_set_window_active(bool active) { window_active = active; }

