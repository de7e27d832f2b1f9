#include "console/brim_main.h"

#include <cstdio>
#include <cstring>

#include "api/cartdata.h"
#include "base/bitmap.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "console/boot.h"
#include "machine/cart.h"
#include "console/console_links.h"
#include "base/debug.h"
#include "console/main_loop.h"
#include "console/automation.h"
#include "machine/machine.h"
#include "base/random.h"
#include "host/time.h"
#include "runner/runner.h"
#include "host/events.h"
#include "host/joystick.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "settings/options.h"

namespace {
char program_name[513];
int arg_count = 0;
char** arg_values = nullptr;
bool engine_inited = false;
bool headless = false;

void log_step(const char* name) { brim_debugf("%s\n", name); }

// Opens "log.txt" in the per-user folder afresh for this session.
void open_log() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("log.txt", path);
  if (FILE* f = std::fopen(path, "w")) std::fclose(f);
  brim_debug_open(path);
}

// A configured folder that exists is kept; otherwise the default under the
// per-user data folder.
void settle_folder(char* configured, const char* fallback) {
  if (configured[0] && brim_folder_has_entries(configured)) return;
  brim_prefix_with_appdata_path(fallback, configured);
}

bool wants_exec(int argc, char** argv) {
  zurkel_options saved = zopts;
  process_arguments(argc, argv);
  bool exec = zopts.exec != 0;
  zopts = saved;
  return exec;
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
  host_init();
  log_step("brim_reset_timer");
  log_step("brim_gui_init");
  log_step("brim_keys_init");
  brim_keys_reset();
  log_step("brim_text_init");
  link_text_init();
  log_step("brim_video_init");
  link_video_init(headless);
  log_step("brim_mouse_init");
  log_step("brim_joystick_init");
  brim_joystick_init();
  brim_srand(0);
  brim_debug("<ok\n");
  engine_inited = true;
}

void brim_exit() {
  if (!engine_inited) return;
  brim_debug(">brim_exit\n");
  log_step("cmusic_stop");
  link_music_stop();
  log_step("brim_main_exit");
  brim_main_exit();
  log_step("brim_config_save");
  brim_config_save();
  log_step("brim_sound_exit");
  link_sound_exit();
  log_step("brim_video_exit");
  link_video_exit();
  log_step("brim_joystick_exit");
  brim_joystick_exit();
  log_step("brim_system_exit");
  link_text_exit();
  brim_keys_reset();
  host_exit();
  brim_debugf("brim_items_created: %d\n", 0);
  brim_debug("<ok\n");
  brim_debug_close();
  engine_inited = false;
}

int brim_main_init() {
  std::memset(&zcon, 0, sizeof zcon);
  zurkel_config_default();
  zurkel_options_default();
  brim_set_load_config_func(zurkel_load_config);
  brim_set_save_config_func(zurkel_save_config);
  delete pstate;
  pstate = new zurkel_machine();

  brim_init();
  process_arguments(arg_count, arg_values);
  if (zopts.fast) host_use_virtual_clock(true);
  cartdata_program_started = [] { return zrun.program_started; };
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
  settle_folder(console_config.root_path, "carts/");
  settle_folder(console_config.cdata_path, "cdata/");
  link_set_volumes(cconfig.sound_volume, cconfig.music_volume);

  pstate->cart = brim_create_zurkel_cart();
  char pod[BRIM_PATH_MAX];
  brim_prefix_with_program_path("data.pod", pod);
  if (!link_load_data_pod(pod)) {
    std::printf("couldn't load %s\n", pod);
    std::fflush(stdout);
    return 0;
  }
  pstate->screen = brim_create_bitmap(128, 128, 8);
  pstate->display = brim_create_bitmap(128, 128, 8);
  pstate->capture = brim_create_bitmap(128, 128, 8);
  for (int i = 0; i < 16; i++) {
    pstate->draw[DS_PAL + i] = i;
    pstate->draw[DS_SCREEN_PAL + i] = i;
  }
  pstate->draw[DS_CLIP_RIGHT] = pstate->draw[DS_CLIP_BOTTOM] = 128;
  link_new_loaded_cart();
  if (load_splash_screen()) pstate->mode = 3;
  else boot_init();
  link_sound_init();
  link_browser_init();

  if (zopts.exec) {
    if (!link_load_cart_file(zopts.auto_load_fn)) {
      std::printf("could not load %s\n", zopts.auto_load_fn);
      std::fflush(stdout);
      return 1;
    }
    pstate->mode = 0;
    pstate->pending_command = 1;
    if (zopts.params_given) std::snprintf(pstate->run_args, sizeof pstate->run_args, "%s", zopts.params);
  }
  return -1;
}

void brim_main_exit() {
  save_cdata();
  if (link_loaded_cart_unsaved()) {
    link_save_backup();
    if (console_config.show_backup_messages) {
      show_message("backing up unsaved changes", 0);
      brim_main_draw();
      link_blit_back_page();
      host_sleep_ms(800);
    }
  }
  automation_finish();
  link_close_io_pins();
}

void brim_handle_system_messages() {
  int sleep = brim_configured_sleep_ms();
  if (sleep > 200) sleep = 200;
  if (sleep >= 1 && !zopts.fast) host_sleep_ms(sleep);
  host_pump_events();
}

void brim_handle_messages() {
  host_pump_events();
  link_update_music_fading();
}

int brim_main(int argc, char** argv) {
  std::snprintf(program_name, sizeof program_name, "%s", argc > 0 && argv[0] ? argv[0] : "");
  arg_count = argc;
  arg_values = argv;
  brim_set_program_path(program_name);
  brim_quit = 0;

  int early = brim_main_init();
  if (early >= 0) {
    // Fatal start-up failures leave without the shut-down steps.
    brim_debug_close();
    return early;
  }
  while (!brim_quit) {
    brim_clear_skip_frame();
    brim_main_update();
    brim_main_draw();
    link_blit_back_page();
    brim_handle_system_messages();
    if (host_quit_requested()) break;
    link_update_music_fading();
  }
  brim_exit();
  if (zopts.exec) {
    int r = zrun.end_reason;
    if (r == ZK_END_SYNTAX_ERROR || r == ZK_END_SIZE_LIMIT || r == ZK_END_RUNTIME_ERROR ||
        r == ZK_END_OUT_OF_MEMORY)
      automation_set_exit_status(2);
  }
  return automation_exit_status();
}
