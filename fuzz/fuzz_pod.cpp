// Any bytes as a row of pods; every pod that loads must save again and read
// back with the same item count.
#include <cstdint>

#include "pod/pod.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  brim_pod* pods[256];
  brim_load_pod_set_from_memory(data, static_cast<int>(size), pods);
  for (brim_pod* pod : pods) {
    if (!pod) continue;
    brim_stream* out = brim_create_buffer(0);
    brim_save_pod_file(pod->name, pod, out);
    brim_fseek(out, 0, SEEK_SET);
    brim_pod* back = brim_load_pod_file("", out);
    if (!back || back->count != pod->count) __builtin_trap();
    brim_destroy_pod(back);
    brim_destroy_buffer(out);
    brim_destroy_pod(pod);
  }
  return 0;
}
