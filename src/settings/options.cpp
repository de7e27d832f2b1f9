#include "settings/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/debug.h"
#include "base/startup_report.h"
#include "host/time.h"

zurkel_options zopts;

namespace {
enum option_parser { OP_ENGINE, OP_CONSOLE };

struct option_def {
  const char* name;       // without the leading '-'
  option_parser parser;
  bool takes_value;       // engine options always take one
  void (*apply)(const char* value);
  const char* help = nullptr;    // the usage line's text
  const char* value = nullptr;   // the value's name in the usage ("N" when null)
};

int num(const char* v) { return static_cast<int>(std::strtol(v, nullptr, 10)); }

void set_text(char* dst, size_t size, const char* v) { std::snprintf(dst, size, "%s", v); }

void set_draw_rect(const char* v) {
  int r[4] = {0, 0, 4096, 4096};
  std::sscanf(v, "%d,%d,%d,%d", &r[0], &r[1], &r[2], &r[3]);
  std::memcpy(cconfig.draw_rect, r, sizeof r);
}

void set_timeout(const char* v) {
  int t = num(v);
  cconfig.timeout = t < 1 ? 1 : t > 240 ? 240 : t;
}

const option_def options[] = {
    // The engine's options.
    {"width", OP_ENGINE, true, [](const char* v) { cconfig.window_w = num(v); },
     "window width in pixels"},
    {"height", OP_ENGINE, true, [](const char* v) { cconfig.window_h = num(v); },
     "window height in pixels"},
    {"show_fps", OP_ENGINE, true, [](const char* v) { cconfig.show_fps = num(v); },
     "1 draws frames per second in the corner", "0/1"},
    {"windowed", OP_ENGINE, true, [](const char* v) { cconfig.windowed = num(v); },
     "1 starts in a window, 0 full screen", "0/1"},
    {"window_x", OP_ENGINE, true, [](const char* v) { cconfig.window_x = num(v); },
     "window position (-1: the window manager decides)"},
    {"window_y", OP_ENGINE, true, [](const char* v) { cconfig.window_y = num(v); },
     "window position (-1: the window manager decides)"},
    {"frameless", OP_ENGINE, true, [](const char* v) { cconfig.frameless = num(v); },
     "1 for a window without a frame", "0/1"},
    {"fullscreen_method", OP_ENGINE, true,
     [](const char* v) { cconfig.fullscreen_method = num(v); },
     "0 maximized window, 1 borderless desktop-sized window, 2 fullscreen", "0-2"},
    {"foreground_sleep_ms", OP_ENGINE, true,
     [](const char* v) { cconfig.foreground_sleep_ms = num(v); },
     "milliseconds to sleep each frame (0-200)", "MS"},
    {"background_sleep_ms", OP_ENGINE, true,
     [](const char* v) { cconfig.background_sleep_ms = num(v); },
     "the same while the window is in the background", "MS"},
    {"sound_volume", OP_ENGINE, true, [](const char* v) { cconfig.sound_volume = num(v); },
     "sound effect volume (0 mutes)", "0-256"},
    {"sound", OP_ENGINE, true, [](const char* v) { cconfig.sound_volume = num(v); },
     "same as -sound_volume", "0-256"},
    {"music_volume", OP_ENGINE, true, [](const char* v) { cconfig.music_volume = num(v); },
     "music volume (0 mutes)", "0-256"},
    {"music", OP_ENGINE, true, [](const char* v) { cconfig.music_volume = num(v); },
     "same as -music_volume", "0-256"},
    {"mix_buffer_size", OP_ENGINE, true, [](const char* v) { cconfig.mix_buffer_size = num(v); },
     "audio buffer in samples (512-8192)"},
    {"software_blit", OP_ENGINE, true, [](const char* v) { cconfig.software_blit = num(v); },
     "1 draws the window without the renderer", "0/1"},
    {"pixel_perfect", OP_ENGINE, true, [](const char* v) { cconfig.pixel_perfect = num(v); },
     "1 scales the screen by whole numbers only", "0/1"},
    {"draw_rect", OP_ENGINE, true, set_draw_rect, "where in the window the screen is drawn",
     "X,Y,W,H"},
    {"home", OP_ENGINE, true,
     [](const char* v) { set_text(cconfig.home_path, sizeof cconfig.home_path, v); },
     "the per-user data folder (config.txt, carts/, cdata/, ...)", "DIR"},
    {"desktop", OP_ENGINE, true,
     [](const char* v) { set_text(cconfig.desktop_path, sizeof cconfig.desktop_path, v); },
     "the folder for screenshots and GIFs", "DIR"},
    {"timeout", OP_ENGINE, true, set_timeout, "download time-out in seconds (1-240)", "S"},
    {"headless", OP_ENGINE, true, [](const char*) { cconfig.headless = 1; },
     "no window, no video output", "1"},
    {"startup_report", OP_ENGINE, true, [](const char* v) { brim_startup_report_enable(num(v) != 0); },
     "1 writes each start-up part's time to standard error", "0/1"},

    // The console's options.
    {"joystick", OP_CONSOLE, true, [](const char* v) { console_config.joystick_index = num(v); },
     "the player the first controller plays (0-7)"},
    {"run", OP_CONSOLE, false, [](const char*) { zopts.run = 1; },
     "run the cart named on the command line after the boot"},
    {"splore", OP_CONSOLE, false, [](const char*) { zopts.splore = 1; },
     "boot into the cartridge browser"},
    {"board_url", OP_CONSOLE, true,
     [](const char* v) { set_text(console_config.board_url, sizeof console_config.board_url, v); },
     "the cartridge board the browser talks to (default http://127.0.0.1:8128)", "URL"},
    {"gif_len", OP_CONSOLE, true, [](const char* v) { console_config.gif_len = num(v); },
     "length of GIF recordings in seconds (1-120)", "S"},
    {"gui_theme", OP_CONSOLE, true, [](const char* v) { console_config.gui_theme = num(v); },
     "0 classic, 1 dark blue (kept in config.txt)"},
    {"screenshot_scale", OP_CONSOLE, true,
     [](const char* v) { console_config.screenshot_scale = num(v); },
     "screenshots are N times 128 pixels wide"},
    {"gif_scale", OP_CONSOLE, true, [](const char* v) { console_config.gif_scale = num(v); },
     "GIFs are N times 128 pixels wide"},
    {"gpio_base", OP_CONSOLE, true, [](const char* v) { console_config.gpio_base = num(v); },
     "base of the I/O pins"},
    {"glitch_test", OP_CONSOLE, true, [](const char* v) { zopts.glitch_test = num(v); },
     "glitch-test mode: reset effects and screenshots"},
    {"x", OP_CONSOLE, false, [](const char*) { zopts.exec = 1; },
     "execute mode: no window, run CART, exit when it stops"},
    {"exec", OP_CONSOLE, false, [](const char*) { zopts.exec = 1; }, "same as -x"},
    {"p", OP_CONSOLE, true,
     [](const char* v) {
       zopts.params_given = 1;
       set_text(zopts.params, sizeof zopts.params, v);
     },
     "parameters of the first run (stat(6))", "TEXT"},
    // Automation.
    {"frames", OP_CONSOLE, true,
     [](const char* v) {
       long long n = std::strtoll(v, nullptr, 10);
       zopts.frames = n < 0 ? 0 : n;
     },
     "end after N update steps"},
    {"fast", OP_CONSOLE, false, [](const char*) { zopts.fast = 1; },
     "virtual clock: no waiting, reproducible timing"},
    {"seed", OP_CONSOLE, true,
     [](const char* v) {
       zopts.seed_given = 1;
       zopts.seed = static_cast<uint32_t>(std::strtoll(v, nullptr, 0));
     },
     "every seed taken from the clock is S", "S"},
    {"dump_screen", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.dump_screen, sizeof zopts.dump_screen, v); },
     "at exit, write the screen as a 128 x 128 PNG", "FILE"},
    {"input", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.input_file, sizeof zopts.input_file, v); },
     "scripted buttons: lines \"STEP MASK0 MASK1 ...\" (hexadecimal masks)", "FILE"},
    {"dump_audio", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.dump_audio, sizeof zopts.dump_audio, v); },
     "at exit, write the mixed sound as a WAV", "FILE"},
    // The cart author's loop.
    {"watch", OP_CONSOLE, false, [](const char*) { zopts.watch = 1; },
     "run CART after the boot and again whenever its file changes"},
    {"record", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.record_file, sizeof zopts.record_file, v); },
     "at exit, write the session's buttons as an -input script", "FILE"},
    {"h", OP_CONSOLE, false, [](const char*) { zopts.help = 1; }, "print this usage and exit"},
    {"help", OP_CONSOLE, false, [](const char*) { zopts.help = 1; }, "same as -h"},
    {"-help", OP_CONSOLE, false, [](const char*) { zopts.help = 1; }, "same as -h"},
};

bool stops_reading(const char* a) { return a[0] == '&' || a[0] == '|' || a[0] == '>'; }
}  // namespace

uint32_t brim_clock_seed() {
  if (zopts.seed_given) return zopts.seed;
  return static_cast<uint32_t>(std::time(nullptr)) + static_cast<uint32_t>(host_ticks_ms());
}

void zurkel_options_default() {
  std::memset(&zopts, 0, sizeof zopts);
  zopts.frames = -1;
}

void brim_process_arguments(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    if (stops_reading(a)) break;
    if (a[0] != '-') continue;
    for (const option_def& o : options) {
      if (o.parser != OP_ENGINE || std::strncmp(a + 1, o.name, std::strlen(o.name)) != 0) continue;
      if (i + 1 < argc) o.apply(argv[++i]);
      break;
    }
  }
}

void print_usage(FILE* f) {
  std::fputs(
      "usage: zurkel [options]            boot into the head cartridge\n"
      "       zurkel CART -run [options]  boot, then run CART\n"
      "       zurkel -x CART [options]    execute mode: no window, exit when CART stops\n"
      "\noptions:\n",
      f);
  for (const option_def& o : options) {
    char head[64];
    const char* value = !o.takes_value ? "" : o.value ? o.value : "N";
    std::snprintf(head, sizeof head, "-%s%s%s", o.name, *value ? " " : "", value);
    std::fprintf(f, "  %-26s %s\n", head, o.help ? o.help : "");
  }
}

void process_arguments(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    if (stops_reading(a)) break;
    if (a[0] != '-') {
      set_text(zopts.auto_load_fn, sizeof zopts.auto_load_fn, a);
      brim_debugf("set auto_load_fn %s\n", zopts.auto_load_fn);
      continue;
    }
    const option_def* found = nullptr;
    for (const option_def& o : options)
      if (o.parser == OP_CONSOLE && std::strcmp(a + 1, o.name) == 0) found = &o;
    if (!found) {
      i++;  // an option of the engine's, or unknown: its value goes with it
      continue;
    }
    if (!found->takes_value) found->apply(nullptr);
    else if (i + 1 < argc) found->apply(argv[++i]);
  }
}

bool zurkel_option_is_flag(const char* name) {
  for (const option_def& o : options)
    if (o.parser == OP_CONSOLE && !o.takes_value && name && std::strcmp(name, o.name) == 0) return true;
  return false;
}
