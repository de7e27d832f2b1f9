// The zurkel executable: everything lives in the system library. A
// standalone program (zkcart export-bin) is this executable with a pod
// appended, which then stands for data.pod and runs its cart at once.
#include "cart/standalone.h"
#include "console/brim_main.h"

int main(int argc, char** argv) {
  std::vector<uint8_t> pod = standalone_read_appended("/proc/self/exe");
  if (!pod.empty()) brim_set_standalone_pod(std::move(pod));
  return brim_main(argc, argv);
}
