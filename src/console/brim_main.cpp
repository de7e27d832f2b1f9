#include "console/brim_main.h"

#include <cstdio>
#include <cstring>

#include <lodepng.h>

#include <cstdlib>
#include <vector>

#include "api/cartdata.h"
#include "audio/audio.h"
#include "base/bitmap.h"
#include "base/debug.h"
#include "base/lost_writes.h"
#include "base/safe_write.h"
#include "base/random.h"
#include "base/startup_report.h"
#include "cart/data_pod.h"
#include "cart/embedded_carts.h"
#include "cart/pipeline.h"
#include "cart/textcart.h"
#include "console/automation.h"
#include "console/boot.h"
#include "console/main_loop.h"
#include "console/screen.h"
#include "gfx/font.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "host/events.h"
#include "host/joystick.h"
#include "host/time.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "runner/runner.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"
#include "cart/cart_record.h"

namespace {
char program_name[513];
int arg_count = 0;
char** arg_values = nullptr;
bool engine_inited = false;
bool headless = false;
std::vector<uint8_t> standalone_pod;  // set by a standalone program: stands for data.pod

void log_step(const char* name) { brim_debugf("%s\n", name); }

// Opens "log.txt" in the per-user folder afresh for this session.
void open_log() {
  // A -home folder too long to use has no log: one in the working folder
  // would be the very misplaced file the start then refuses to make.
  if (cconfig.home_path[0] && !brim_appdata_folder()[0]) return;
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("log.txt", path);
  if (FILE* f = std::fopen(path, "w")) std::fclose(f);
  brim_debug_open(path);
}

// A configured folder that exists is kept; otherwise the default under the
// per-user data folder.
// The file system's root is no cartridge folder: carts may write anywhere
// inside theirs.
void settle_folder(char* configured, const char* fallback, const char* key) {
  bool usable = std::strcmp(configured, "/") != 0;
  if (configured[0] && usable && brim_folder_has_entries(configured)) return;
  if (configured[0] && !usable) brim_debugf("config: %s %s unusable; default kept\n", key, configured);
  brim_prefix_with_appdata_path(fallback, configured);
}

bool wants_exec(int argc, char** argv) {
  zurkel_options saved = zopts;
  process_arguments(argc, argv);
  bool exec = zopts.exec != 0;
  zopts = saved;
  return exec;
}

// The window, set up from the configuration; the run-time toggles keep
// their state in the configuration too (gfx/video.h).
void video_init(bool headless_video) {
  brim_video.headless = headless_video;
  brim_video.window_w = cconfig.window_w;
  brim_video.window_h = cconfig.window_h;
  brim_video.window_x = cconfig.window_x;
  brim_video.window_y = cconfig.window_y;
  brim_video.frameless = cconfig.frameless != 0;
  brim_video.windowed = cconfig.windowed != 0;
  brim_video.fullscreen_method = cconfig.fullscreen_method;
  brim_video.software_blit = cconfig.software_blit != 0;
  brim_video.pixel_perfect = cconfig.pixel_perfect;
  brim_video.draw_rect = brim_rect{cconfig.draw_rect[0], cconfig.draw_rect[1], cconfig.draw_rect[2], cconfig.draw_rect[3]};
  brim_video.show_fps = cconfig.show_fps != 0;
  brim_video.rmb_key = cconfig.rmb_key;
  brim_video_init();
}

zurkel_cart* system_sounds_cart = nullptr;  // data.pod item 0, kept for the run

// data.pod: the console's sounds, graphics and font, then the window for a
// 128 x 128 page. False when it cannot be read.
bool load_data_pod(const char* path) {
  double t = brim_startup_now_ms();
  bool loaded = standalone_pod.empty()
                    ? zurkel_load_data_pod(path)
                    : zurkel_load_data_pod_memory(standalone_pod.data(), standalone_pod.size());
  if (!loaded) return false;
  // Item 0 is a text cart whose sound effects are the console's own sounds.
  const brim_stream* item = cpod_get_file(zurkel_data_pod, DATA_POD_SYSTEM_CART);
  brim_stream* view = item ? brim_open_buffer_view(item) : nullptr;
  zurkel_cart* sounds = view ? brim_load_zurkel_cart_from_file(view) : nullptr;
  brim_fclose(view);
  if (sounds) {
    brim_destroy_zurkel_cart(system_sounds_cart);
    system_sounds_cart = sounds;
    brim_set_system_sounds(sounds);
  }
  brim_startup_part("data.pod", t);
  t = brim_startup_now_ms();
  // Items 1 and 2: palette, title, icon, icons and the console font.
  brim_pod* gfx_pod = cpod_load_nested(zurkel_data_pod, DATA_POD_GFX);
  brim_pod* font_pod = cpod_load_nested(zurkel_data_pod, DATA_POD_FONT);
  gfx_load_resources(gfx_pod, font_pod);
  brim_destroy_pod(gfx_pod);
  brim_destroy_pod(font_pod);
  brim_startup_part("font", t);
  t = brim_startup_now_ms();
  brim_set_screen(128, 128, 8, 0x100);
  brim_startup_part("window", t);
  return true;
}

// A start-up that ends early (no data.pod, a cart that does not load) frees
// what it made, as the shut-down would.
void release_start_up(zurkel_machine* m) {
  for (brim_bitmap** b : {&m->screen, &m->display, &m->capture}) {
    brim_destroy_bitmap(*b);
    *b = nullptr;
  }
  brim_destroy_zurkel_cart(m->cart);
  m->cart = nullptr;
  brim_destroy_zurkel_cart(m->loaded.cart);
  m->loaded.cart = nullptr;
  brim_set_system_sounds(nullptr);
  brim_destroy_zurkel_cart(system_sounds_cart);
  system_sounds_cart = nullptr;
  gfx_free_resources();
  zurkel_free_data_pod();
}

// Null, or why the per-user data folder cannot hold the console's files: a
// path too long for the path buffers (files would land in the working
// folder instead), or a folder that could not be made.
const char* unusable_data_folder() {
  static char why[BRIM_PATH_MAX + 64];
  const char* folder = brim_appdata_folder();
  if (!folder[0] && cconfig.home_path[0]) {
    std::snprintf(why, sizeof why, "home folder path too long: %.900s", cconfig.home_path);
    return why;
  }
  if (folder[0] && !brim_folder_exists(folder)) {
    std::snprintf(why, sizeof why, "could not make home folder %.900s", folder);
    return why;
  }
  return nullptr;
}

// An audio dump or the virtual clock drives the mixer from the main loop:
// no device, and channels and fades follow emulated time.
void sound_init(const zurkel_machine* m) {
  if (zopts.dump_audio[0] || zopts.fast) {
    brim_audio_use_sample_clock();
    brim_sound_init(m, 0);
    return;
  }
  brim_sound_init(m, 16);
}
}  // namespace

void brim_init() {
  if (engine_inited) return;
  brim_config_default();
  brim_process_arguments(arg_count, arg_values);
  brim_init_appdata_folder(cconfig.home_path);
  open_log();
  brim_debug(">brim_init\n");
  brim_debugf("platform: %s\n", host_platform_name());
  brim_config_load();
  cconfig.sessions++;
  brim_process_arguments(arg_count, arg_values);
  brim_init_desktop_folder(cconfig.desktop_path);
  headless = cconfig.headless || wants_exec(arg_count, arg_values);
  log_step("brim_system_init");
  double t = brim_startup_now_ms();
  host_init();
  brim_startup_part("system", t);
  log_step("brim_reset_timer");
  log_step("brim_gui_init");
  log_step("brim_keys_init");
  brim_keys_reset();
  log_step("brim_text_init");
  brim_text_init();
  log_step("brim_video_init");
  t = brim_startup_now_ms();
  video_init(headless);
  brim_startup_part("video", t);
  log_step("brim_mouse_init");
  log_step("brim_joystick_init");
  brim_joystick_init();
  brim_srand(0);
  brim_debug("<ok\n");
  engine_inited = true;
}

void brim_exit(zurkel_machine* m) {
  if (!engine_inited) return;
  brim_debug(">brim_exit\n");
  log_step("cmusic_stop");
  cmusic_stop(0);
  log_step("brim_main_exit");
  brim_main_exit(m);
  log_step("brim_config_save");
  if (!brim_config_save()) {
    char path[BRIM_PATH_MAX];
    brim_prefix_with_appdata_path("config.txt", path);
    brim_report_lost_write(path);
  }
  log_step("brim_sound_exit");
  brim_sound_exit();
  log_step("brim_video_exit");
  gfx_free_resources();
  brim_video_exit();
  log_step("brim_joystick_exit");
  brim_joystick_exit();
  log_step("brim_system_exit");
  brim_text_exit();
  brim_keys_reset();
  host_exit();
  brim_debugf("brim_items_created: %d\n", 0);
  brim_debug("<ok\n");
  brim_debug_close();
  engine_inited = false;
}

int brim_main_init(zurkel_machine* m) {
  std::memset(&zcon, 0, sizeof zcon);
  zurkel_config_default();
  zurkel_options_default();
  *m = zurkel_machine();
  m->host = &zurkel_console_host;

  brim_init();
  process_arguments(arg_count, arg_values);
  if (const char* bad = unusable_data_folder()) {
    std::printf("%s\n", bad);
    std::fprintf(stderr, "zurkel: %s\n", bad);
    std::fflush(stdout);
    return 1;
  }
  if (zopts.fast) host_use_virtual_clock(true);
  if (!automation_init()) return 1;

  for (const char* f : {"carts/", "backup/", "cdata/", "cstore/", "plates/", "bbs/", "bbs/carts/",
                        "bbs/labels/"}) {
    char path[BRIM_PATH_MAX];
    brim_prefix_with_appdata_path(f, path);
    brim_make_folder(path);
  }
  if (cconfig.screen_w < 32 || cconfig.screen_h < 32) {
    cconfig.screen_w = 580;
    cconfig.screen_h = 540;
  }
  settle_folder(console_config.root_path, "carts/", "root_path");
  settle_folder(console_config.cdata_path, "cdata/", "cdata_path");
  // Writes interrupted by a crash or a kill leave their temporary files.
  brim_clean_stale_temp_files(brim_appdata_folder(), 2);
  brim_clean_stale_temp_files(console_config.root_path, 3);
  brim_clean_stale_temp_files(console_config.cdata_path, 0);
  brim_set_sound_volume(cconfig.sound_volume);
  brim_set_music_volume(cconfig.music_volume);

  m->cart = brim_create_zurkel_cart();
  char pod[BRIM_PATH_MAX];
  brim_prefix_with_program_path("data.pod", pod);
  if (!load_data_pod(pod)) {
    std::printf("couldn't load %s\n", pod);
    std::fflush(stdout);
    // Execute mode was asked to run a cart and cannot: that is a failure.
    if (zopts.exec) std::fprintf(stderr, "zurkel: couldn't load %s\n", pod);
    release_start_up(m);
    return zopts.exec ? 1 : 0;
  }
  m->screen = brim_create_bitmap(128, 128, 8);
  m->display = brim_create_bitmap(128, 128, 8);
  m->capture = brim_create_bitmap(128, 128, 8);
  for (int i = 0; i < 16; i++) {
    m->draw[DS_PAL + i] = i;
    m->draw[DS_SCREEN_PAL + i] = i;
  }
  m->draw[DS_CLIP_RIGHT] = m->draw[DS_CLIP_BOTTOM] = 128;
  prepare_loaded_cart(m, brim_create_zurkel_cart(), "");
  if (!standalone_pod.empty()) {
    // A standalone program skips the boot sequence: its cart runs at once.
    boot_init(m);
    boot_embedded_cart(m);
  } else if (load_splash_screen()) {
    m->mode = 3;
  } else {
    boot_init(m);
  }
  double t = brim_startup_now_ms();
  sound_init(m);
  brim_startup_part("audio", t);
  if (const zurkel_browser_calls* b = console_browser(); b && b->init) b->init(m);

  if (zopts.exec) {
    if (load_working_cart(m, zopts.auto_load_fn) != 0) {
      std::printf("could not load %s\n", zopts.auto_load_fn);
      std::fflush(stdout);
      brim_sound_exit();
      release_start_up(m);
      return 1;
    }
    m->mode = 0;
    m->pending_command = 1;
    if (zopts.params_given) std::snprintf(m->run_args, sizeof m->run_args, "%s", zopts.params);
  }
  return -1;
}

void brim_main_exit(zurkel_machine* m) {
  save_cdata(m);
  automation_finish(m);
  gpio_reset(m);
}

void brim_handle_system_messages() {
  int sleep = brim_configured_sleep_ms();
  if (sleep > 200) sleep = 200;
  if (sleep >= 1 && !zopts.fast) host_sleep_ms(sleep);
  host_pump_events();
}

void brim_handle_messages() {
  host_pump_events();
  brim_update_music_fading();
}

namespace {
// The one machine; the console owns it for the whole run.
zurkel_machine machine;
}  // namespace

int brim_main_begin(int argc, char** argv) {
  std::snprintf(program_name, sizeof program_name, "%s", argc > 0 && argv[0] ? argv[0] : "");
  arg_count = argc;
  arg_values = argv;
  brim_set_program_path(program_name);
  brim_quit = 0;
  // -h and --help answer before anything starts or touches the disk.
  zurkel_options_default();
  process_arguments(argc, argv);
  if (zopts.help) {
    print_usage(stdout);
    return 0;
  }
  int early = brim_main_init(&machine);
  // Fatal start-up failures leave without the shut-down steps.
  if (early >= 0) brim_debug_close();
  return early;
}

bool brim_main_iterate() {
  zurkel_machine* m = &machine;
  if (brim_quit) return false;
  brim_clear_skip_frame();
  brim_main_update(m);
  brim_main_draw(m);
  brim_blit_back_page();
  brim_startup_moment("first_frame");
  if (m->mode == 1) {  // the first frame of a running cart ends start-up
    brim_startup_moment("cart_frame");
    brim_startup_report_enable(false);
  }
  brim_handle_system_messages();
  if (host_quit_requested()) return false;
  brim_update_music_fading();
  return !brim_quit;
}

int brim_main_end() {
  zurkel_machine* m = &machine;
  brim_exit(m);
  // A run that could not keep its files did not do its job.
  if (brim_lost_writes() > 0) automation_set_exit_status(3);
  if (zopts.exec) {
    int r = m->run.end_reason;
    if (r == ZK_END_SYNTAX_ERROR || r == ZK_END_SIZE_LIMIT || r == ZK_END_RUNTIME_ERROR ||
        r == ZK_END_OUT_OF_MEMORY)
      automation_set_exit_status(2);
  }
  return automation_exit_status();
}

const zurkel_machine* brim_main_machine() { return &machine; }

void brim_set_standalone_pod(std::vector<uint8_t> pod) { standalone_pod = std::move(pod); }

int brim_main(int argc, char** argv) {
  int early = brim_main_begin(argc, argv);
  if (early >= 0) return early;
  while (brim_main_iterate()) {
  }
  return brim_main_end();
}
