#include "cart/data_pod.h"

brim_pod* zurkel_data_pod = nullptr;

bool zurkel_load_data_pod(const char* path) {
  brim_pod* pod = brim_load_pod(path);
  if (!pod) return false;
  brim_destroy_pod(zurkel_data_pod);
  zurkel_data_pod = pod;
  return true;
}

bool zurkel_load_data_pod_memory(const uint8_t* data, size_t size) {
  if (!data || size == 0 || size > static_cast<size_t>(BRIM_BUFFER_MAX)) return false;
  brim_stream* s = brim_open_memory(data, static_cast<int>(size));
  brim_pod* pod = s ? brim_load_pod_file("data.pod", s) : nullptr;
  brim_fclose(s);
  if (!pod) return false;
  brim_destroy_pod(zurkel_data_pod);
  zurkel_data_pod = pod;
  return true;
}

void zurkel_free_data_pod() {
  brim_destroy_pod(zurkel_data_pod);
  zurkel_data_pod = nullptr;
}
