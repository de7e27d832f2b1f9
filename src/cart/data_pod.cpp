#include "cart/data_pod.h"

brim_pod* zurkel_data_pod = nullptr;

bool zurkel_load_data_pod(const char* path) {
  brim_pod* pod = brim_load_pod(path);
  if (!pod) return false;
  brim_destroy_pod(zurkel_data_pod);
  zurkel_data_pod = pod;
  return true;
}

void zurkel_free_data_pod() {
  brim_destroy_pod(zurkel_data_pod);
  zurkel_data_pod = nullptr;
}
