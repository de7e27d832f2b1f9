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
    {"width", OP_ENGINE, true, [](const char* v) { cconfig.window_w = num(v); }},
    {"height", OP_ENGINE, true, [](const char* v) { cconfig.window_h = num(v); }},
    {"show_fps", OP_ENGINE, true, [](const char* v) { cconfig.show_fps = num(v); }},
    {"windowed", OP_ENGINE, true, [](const char* v) { cconfig.windowed = num(v); }},
    {"window_x", OP_ENGINE, true, [](const char* v) { cconfig.window_x = num(v); }},
    {"window_y", OP_ENGINE, true, [](const char* v) { cconfig.window_y = num(v); }},
    {"frameless", OP_ENGINE, true, [](const char* v) { cconfig.frameless = num(v); }},
    {"fullscreen_method", OP_ENGINE, true, [](const char* v) { cconfig.fullscreen_method = num(v); }},
    {"foreground_sleep_ms", OP_ENGINE, true,
     [](const char* v) { cconfig.foreground_sleep_ms = num(v); }},
    {"background_sleep_ms", OP_ENGINE, true,
     [](const char* v) { cconfig.background_sleep_ms = num(v); }},
    {"sound_volume", OP_ENGINE, true, [](const char* v) { cconfig.sound_volume = num(v); }},
    {"sound", OP_ENGINE, true, [](const char* v) { cconfig.sound_volume = num(v); }},
    {"music_volume", OP_ENGINE, true, [](const char* v) { cconfig.music_volume = num(v); }},
    {"music", OP_ENGINE, true, [](const char* v) { cconfig.music_volume = num(v); }},
    {"mix_buffer_size", OP_ENGINE, true, [](const char* v) { cconfig.mix_buffer_size = num(v); }},
    {"software_blit", OP_ENGINE, true, [](const char* v) { cconfig.software_blit = num(v); }},
    {"pixel_perfect", OP_ENGINE, true, [](const char* v) { cconfig.pixel_perfect = num(v); }},
    {"draw_rect", OP_ENGINE, true, set_draw_rect},
    {"home", OP_ENGINE, true,
     [](const char* v) { set_text(cconfig.home_path, sizeof cconfig.home_path, v); }},
    {"desktop", OP_ENGINE, true,
     [](const char* v) { set_text(cconfig.desktop_path, sizeof cconfig.desktop_path, v); }},
    {"timeout", OP_ENGINE, true, set_timeout},
    {"headless", OP_ENGINE, true, [](const char*) { cconfig.headless = 1; }},
    {"startup_report", OP_ENGINE, true, [](const char* v) { brim_startup_report_enable(num(v) != 0); }},

    // The console's options.
    {"joystick", OP_CONSOLE, true, [](const char* v) { console_config.joystick_index = num(v); }},
    {"run", OP_CONSOLE, false, [](const char*) { zopts.run = 1; }},
    {"splore", OP_CONSOLE, false, [](const char*) { zopts.splore = 1; }},
    {"gif_len", OP_CONSOLE, true, [](const char* v) { console_config.gif_len = num(v); }},
    {"gui_theme", OP_CONSOLE, true, [](const char* v) { console_config.gui_theme = num(v); }},
    {"screenshot_scale", OP_CONSOLE, true,
     [](const char* v) { console_config.screenshot_scale = num(v); }},
    {"gif_scale", OP_CONSOLE, true, [](const char* v) { console_config.gif_scale = num(v); }},
    {"gpio_base", OP_CONSOLE, true, [](const char* v) { console_config.gpio_base = num(v); }},
    {"glitch_test", OP_CONSOLE, true, [](const char* v) { zopts.glitch_test = num(v); }},
    {"x", OP_CONSOLE, false, [](const char*) { zopts.exec = 1; }},
    {"exec", OP_CONSOLE, false, [](const char*) { zopts.exec = 1; }},
    {"p", OP_CONSOLE, true,
     [](const char* v) {
       zopts.params_given = 1;
       set_text(zopts.params, sizeof zopts.params, v);
     }},
    // Automation.
    {"frames", OP_CONSOLE, true,
     [](const char* v) {
       long long n = std::strtoll(v, nullptr, 10);
       zopts.frames = n < 0 ? 0 : n;
     }},
    {"fast", OP_CONSOLE, false, [](const char*) { zopts.fast = 1; }},
    {"seed", OP_CONSOLE, true,
     [](const char* v) {
       zopts.seed_given = 1;
       zopts.seed = static_cast<uint32_t>(std::strtoll(v, nullptr, 0));
     }},
    {"dump_screen", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.dump_screen, sizeof zopts.dump_screen, v); }},
    {"input", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.input_file, sizeof zopts.input_file, v); }},
    {"dump_audio", OP_CONSOLE, true,
     [](const char* v) { set_text(zopts.dump_audio, sizeof zopts.dump_audio, v); }},
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
