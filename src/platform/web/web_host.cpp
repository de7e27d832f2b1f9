// The web host: time, events, clipboard, desktop and video of the host
// interface (src/host) on the page. Keys, the mouse and focus arrive as
// browser events between two loop iterations; they are queued and handed to
// the key layer when the console pumps its events, as the desktop host
// hands over SDL's queue. The page shows the back page on its canvas.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "console/keyconfig.h"
#include "host/clipboard.h"
#include "host/desktop.h"
#include "host/events.h"
#include "host/time.h"
#include "host/video.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "gfx/video.h"
#include "web_audio.h"
#include "web_gamepad.h"
#include "web_keys.h"
#include "web_page.h"

namespace {

struct key_event {
  int scancode;
  bool down, ctrl, alt, shift, repeat;
  char text[8];  // the character typed, if any
};

struct web_host {
  double start_ms = 0;
  bool virtual_on = false;
  uint64_t virtual_units = 0;  // 1/60 ms
  bool quit_requested = false;
  bool window_active = true;
  bool focus_gained = false;
  uint8_t keys[BRIM_KEY_COUNT] = {};
  std::vector<key_event> queue;
  int mouse_x = 0, mouse_y = 0, mouse_buttons = 0;
  int wheel_y = 0;
  std::string clipboard;
  std::vector<uint32_t> rgba;
} host;

// Keys the browser keeps for itself: reload, full screen, developer tools.
bool browser_key(const EmscriptenKeyboardEvent* e) {
  return e->metaKey || !std::strcmp(e->code, "F5") || !std::strcmp(e->code, "F11") ||
         !std::strcmp(e->code, "F12");
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* e, void*) {
  int sc = web_scancode(e->code);
  if (!sc || sc >= BRIM_KEY_COUNT) return EM_FALSE;
  key_event k{sc, type == EMSCRIPTEN_EVENT_KEYDOWN, e->ctrlKey != 0, e->altKey != 0,
              e->shiftKey != 0, e->repeat != 0, {}};
  // A printable character of one byte (the key layer queues single bytes).
  if (k.down && !e->ctrlKey && !e->metaKey && std::strlen(e->key) == 1)
    std::memcpy(k.text, e->key, 2);
  host.queue.push_back(k);
  web_audio_user_gesture();
  return browser_key(e) ? EM_FALSE : EM_TRUE;
}

// A lost focus gives no key-ups: every key is let go.
EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*) {
  bool gained = type == EMSCRIPTEN_EVENT_FOCUS;
  if (!gained) {
    for (int i = 0; i < BRIM_KEY_COUNT; i++)
      if (host.keys[i]) host.queue.push_back({i, false, false, false, false, false, {}});
  } else {
    host.focus_gained = true;
  }
  host.window_active = gained;
  return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* e, void*) {
  host.window_active = !e->hidden;
  if (e->hidden) web_page_sync_storage();
  return EM_FALSE;
}

// Mouse positions in the canvas's own pixels (the back page's). A button
// let go anywhere in the window counts; its position is not the canvas's.
EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void*) {
  double w = 0, h = 0;
  emscripten_get_element_css_size("#canvas", &w, &h);
  int cw = 0, ch = 0;
  web_page_canvas_size(&cw, &ch);
  if (w > 0 && h > 0 && type != EMSCRIPTEN_EVENT_MOUSEUP) {
    host.mouse_x = static_cast<int>(e->targetX * cw / w);
    host.mouse_y = static_cast<int>(e->targetY * ch / h);
  }
  host.mouse_buttons = e->buttons & 7;
  if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) web_audio_user_gesture();
  return type == EMSCRIPTEN_EVENT_MOUSEMOVE ? EM_FALSE : EM_TRUE;
}

EM_BOOL on_wheel(int, const EmscriptenWheelEvent* e, void*) {
  if (e->deltaY != 0) host.wheel_y += e->deltaY < 0 ? 1 : -1;
  return EM_TRUE;
}

EM_BOOL on_touch(int, const EmscriptenTouchEvent*, void*) {
  web_audio_user_gesture();
  return EM_FALSE;
}

}  // namespace

// --- time
uint64_t host_ticks_ms() {
  if (host.virtual_on) return host.virtual_units / 60;
  return static_cast<uint64_t>(emscripten_get_now() - host.start_ms);
}
// The page never blocks: the loop's sleep is the browser's frame wait.
void host_sleep_ms(int) {}
void host_use_virtual_clock(bool on) { host.virtual_on = on; }
bool host_virtual_clock() { return host.virtual_on; }
void host_advance_virtual_clock(uint64_t units) { host.virtual_units += units; }
uint64_t host_virtual_clock_units() { return host.virtual_units; }

// --- events
bool host_init() {
  static bool inited = false;
  if (inited) return true;
  inited = true;
  host.start_ms = emscripten_get_now();
  for (int i = 0; i < BRIM_SCANCODE_NAMES; i++) brim_set_scancode_name(i, web_scancode_name(i));
  const char* win = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(win, nullptr, true, on_key);
  emscripten_set_keyup_callback(win, nullptr, true, on_key);
  emscripten_set_focus_callback(win, nullptr, true, on_focus);
  emscripten_set_blur_callback(win, nullptr, true, on_focus);
  emscripten_set_visibilitychange_callback(nullptr, true, on_visibility);
  emscripten_set_mousedown_callback("#canvas", nullptr, true, on_mouse);
  emscripten_set_mouseup_callback(win, nullptr, true, on_mouse);
  emscripten_set_mousemove_callback("#canvas", nullptr, true, on_mouse);
  emscripten_set_wheel_callback("#canvas", nullptr, true, on_wheel);
  emscripten_set_touchstart_callback("#canvas", nullptr, true, on_touch);
  return true;
}
void host_exit() {}
const char* host_platform_name() { return "Web"; }

void host_pump_events() {
  brim_key_sample(host_ticks_ms(), host.keys);
  if (host.focus_gained) brim_key_focus_gained();
  host.focus_gained = false;
  for (const key_event& k : host.queue) {
    host.keys[k.scancode] = k.down;
    switch (brim_key_event(k.scancode, k.down, k.ctrl, k.alt, k.shift, k.repeat)) {
      case BRIM_KEY_FULLSCREEN: web_page_toggle_fullscreen(); break;
      case BRIM_KEY_SHOW_FPS: brim_toggle_show_fps(); break;
      case BRIM_KEY_QUIT:  // a page is closed by the browser, not by a key
      case BRIM_KEY_NONE: break;
    }
    if (k.text[0]) brim_key_text(k.text);
  }
  host.queue.clear();
  if (host.wheel_y) buttons_add_wheel(0, host.wheel_y);
  host.wheel_y = 0;
  brim_key_frame_end();
  web_gamepad_sample();
  web_audio_pump();
}

bool host_quit_requested() { return host.quit_requested; }
void host_request_quit() { host.quit_requested = true; }
bool host_window_active() { return host.window_active; }
void host_set_window_active(bool active) { host.window_active = active; }

// --- clipboard: what the page pasted last (paste events), else what the
// console copied; copies also go to the browser's clipboard when it lets us.
std::string host_clipboard_text() { return web_page_pasted_text(host.clipboard); }
bool brim_set_clipboard_text(const char* text) {
  host.clipboard = text ? text : "";
  web_page_copy_text(host.clipboard.c_str());
  return true;
}

// --- desktop: saved screenshots and recordings are offered as downloads
void host_open_folder(const char*) {}
void host_offer_file(const char* path) { web_page_offer_download(path); }

// --- video: the canvas
bool plat_video_init() { return true; }
void plat_video_shutdown() {}
int brim_set_screen_plat(int, int, int texture_w, int texture_h, int, int) {
  web_page_set_canvas_size(texture_w, texture_h);
  return 0;
}
void plat_desktop_size(int* w, int* h) { web_page_screen_size(w, h); }
void plat_set_title(const char* title) { web_page_set_title(title); }
bool plat_has_renderer() { return false; }
bool plat_window_size(int* w, int* h) {
  web_page_canvas_size(w, h);
  return *w > 0 && *h > 0;
}
void plat_blit_renderer(const brim_bitmap* page32, const brim_bitmap*) { plat_blit_software(page32); }
// The page's 0xAARRGGBB words as the canvas's bytes R, G, B, A.
void plat_blit_software(const brim_bitmap* page32) {
  if (!page32 || page32->depth != 32) return;
  host.rgba.resize(static_cast<size_t>(page32->w) * page32->h);
  for (int y = 0; y < page32->h; y++) {
    const uint32_t* s = brim_line32(const_cast<brim_bitmap*>(page32), y);
    uint32_t* d = &host.rgba[static_cast<size_t>(y) * page32->w];
    for (int x = 0; x < page32->w; x++) {
      uint32_t p = s[x];
      d[x] = 0xFF000000u | (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
    }
  }
  web_page_present(host.rgba.data(), page32->w, page32->h);
}
void plat_mouse_state(int* x, int* y, int* buttons) {
  *x = host.mouse_x;
  *y = host.mouse_y;
  *buttons = host.mouse_buttons;
}
bool plat_key_held(int scancode) {
  return scancode > 0 && scancode < BRIM_KEY_COUNT && host.keys[scancode];
}
