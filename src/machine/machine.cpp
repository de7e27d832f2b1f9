#include "machine/machine.h"

namespace {
void no_message(const char*, int) {}
void no_quit() {}
void no_poll(zurkel_machine*) {}
const char* no_paste() { return nullptr; }
void no_keyconfig(zurkel_machine*) {}
int no_draw_time() { return 0; }
}  // namespace

const zurkel_machine_host zurkel_quiet_host = {no_message, no_quit, no_poll, no_paste,
                                               no_keyconfig, no_draw_time};
