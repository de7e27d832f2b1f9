// The headless host: every host interface (src/host) without a window,
// audio device, controllers or clipboard, on the process's own clock. The
// unit tests and tools link it instead of the SDL host; the program keeps
// SDL (its -headless 1 option uses SDL without a window).
#include <chrono>
#include <string>
#include <thread>

#include "host/audio_device.h"
#include "host/clipboard.h"
#include "host/desktop.h"
#include "host/events.h"
#include "host/joystick.h"
#include "host/time.h"
#include "host/video.h"

namespace {
struct headless_host {
  bool virtual_on = false;
  uint64_t virtual_units = 0;  // 1/60 ms
  bool quit_requested = false;
  bool window_active = true;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
} host;
}  // namespace

// --- time
uint64_t host_ticks_ms() {
  if (host.virtual_on) return host.virtual_units / 60;
  auto since = std::chrono::steady_clock::now() - host.start;
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
void host_sleep_ms(int ms) {
  if (ms > 0 && !host.virtual_on) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
void host_use_virtual_clock(bool on) { host.virtual_on = on; }
bool host_virtual_clock() { return host.virtual_on; }
void host_advance_virtual_clock(uint64_t units) { host.virtual_units += units; }
uint64_t host_virtual_clock_units() { return host.virtual_units; }

// --- events
bool host_init() { return true; }
void host_exit() {}
const char* host_platform_name() { return "headless"; }
void host_pump_events() {}
bool host_quit_requested() { return host.quit_requested; }
void host_request_quit() { host.quit_requested = true; }
bool host_window_active() { return host.window_active; }
void host_set_window_active(bool active) { host.window_active = active; }

// --- clipboard and desktop: none
std::string host_clipboard_text() { return ""; }
bool brim_set_clipboard_text(const char*) { return false; }
void host_open_folder(const char*) {}
void host_offer_file(const char*) {}

// --- controllers: none
void brim_joystick_init() {}
void brim_joystick_exit() {}

// --- video: no window
int brim_set_screen_plat(int, int, int, int, int, int) { return 0; }
bool plat_video_init() { return false; }
void plat_video_shutdown() {}
void plat_desktop_size(int* w, int* h) { *w = *h = 0; }
void plat_set_title(const char*) {}
bool plat_has_renderer() { return false; }
bool plat_window_size(int* w, int* h) {
  *w = *h = 0;
  return false;
}
void plat_blit_renderer(const brim_bitmap*, const brim_bitmap*) {}
void plat_blit_software(const brim_bitmap*) {}
void plat_mouse_state(int* x, int* y, int* buttons) { *x = *y = *buttons = 0; }
bool plat_key_held(int) { return false; }

// --- audio: no device; the lock only nests
int brim_sound_inited = 0;
int brim_audio_is_locked = 0;
int brim_sound_init_plat(int flags, void*) { return flags == 16 ? 0 : 1; }
void brim_lock_audio_plat() { brim_audio_is_locked++; }
void brim_unlock_audio_plat() {
  if (brim_audio_is_locked > 0) brim_audio_is_locked--;
}
