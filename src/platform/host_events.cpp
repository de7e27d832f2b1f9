#include "platform/host_events.h"

#include <SDL.h>

#include "gfx/video.h"
#include "input/keys.h"
#include "machine/debug.h"

namespace {
bool quit_requested = false;
bool window_active = true;
bool inited = false;
}  // namespace

bool host_init() {
  if (inited) return true;
  inited = SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
  if (!inited) brim_debugf("SDL_Init failed: %s\n", SDL_GetError());
  return inited;
}

void host_exit() {
  if (inited) SDL_Quit();
  inited = false;
}

const char* host_platform_name() { return SDL_GetPlatform(); }

void host_pump_events() {
  if (!inited) return;
  brim_key_frame();
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        SDL_Keymod m = SDL_GetModState();
        brim_key_event(e.key.keysym.scancode, e.type == SDL_KEYDOWN, (m & KMOD_CTRL) != 0,
                       (m & KMOD_ALT) != 0, (m & KMOD_SHIFT) != 0);
        if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_F4 && (m & KMOD_ALT))
          quit_requested = true;
        // Display shortcuts, once per press.
        if (e.type == SDL_KEYDOWN && !e.key.repeat) {
          SDL_Scancode sc = e.key.keysym.scancode;
          if (sc == SDL_SCANCODE_F11 ||
              ((sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (m & KMOD_ALT))) {
            brim_toggle_fullscreen();
            brim_key_block(sc);  // the console does not see the key that toggled
          }
          else if (sc == SDL_SCANCODE_1 && (m & KMOD_CTRL))
            brim_toggle_show_fps();
        }
        break;
      }
      case SDL_TEXTINPUT: brim_key_text(e.text.text); break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_MAXIMIZED:
          case SDL_WINDOWEVENT_FOCUS_GAINED: window_active = true; break;
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
}

bool host_quit_requested() { return quit_requested; }
void host_request_quit() { quit_requested = true; }
bool host_window_active() { return window_active; }
void host_set_window_active(bool active) { window_active = active; }

std::string host_clipboard_text() {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return "";
  char* t = SDL_GetClipboardText();
  std::string s = t ? t : "";
  SDL_free(t);
  return s;
}
