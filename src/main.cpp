// The zurkel executable: the console with the cartridge browser plugged in.
// A standalone program (zkcart export-bin) is this executable with a pod
// appended, which then stands for data.pod and runs its cart at once.
#include "cart/standalone.h"
#include "console/brim_main.h"
#include "console/main_loop.h"
#include "splore/splore.h"

int main(int argc, char** argv) {
  std::vector<uint8_t> pod = standalone_read_appended("/proc/self/exe");
  if (!pod.empty()) brim_set_standalone_pod(std::move(pod));
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
