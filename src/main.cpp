// The zurkel executable: the console with the cartridge browser plugged in.
#include "console/brim_main.h"
#include "console/main_loop.h"
#include "splore/splore.h"

int main(int argc, char** argv) {
  static const zurkel_browser_calls browser = {
      .init = splore_init,
      .update = splore_update,
      .draw = splore_draw,
      .running_favourite = splore_running_favourite,
      .toggle_running_favourite = splore_toggle_running_favourite,
      .install_games = splore_install_games,
      .exit_message = print_splore_exit_message,
  };
  console_set_browser(&browser);
  return brim_main(argc, argv);
}
