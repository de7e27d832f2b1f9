#include "machine/machine.h"

namespace {
void no_message(const char*, int) {}
void no_quit() {}
void no_poll(zurkel_machine*) {}
const char* no_paste() { return nullptr; }
void no_keyconfig(zurkel_machine*) {}
int no_draw_time() { return 0; }
bool no_typed_command(zurkel_machine*, const char*, const char*) { return false; }
void no_install(zurkel_machine*) {}
}  // namespace

const zurkel_machine_host zurkel_quiet_host = {
    .show_message = no_message,
    .quit = no_quit,
    .poll_buttons = no_poll,
    .paste_text = no_paste,
    .open_keyconfig = no_keyconfig,
    .last_draw_ms = no_draw_time,
    .typed_command = no_typed_command,
    .install_games = no_install,
};
