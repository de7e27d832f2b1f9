#include "cart/data_pod.h"

#include <unistd.h>

#include <climits>
#include <cstring>

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

const char* zurkel_program_folder() {
  static char folder[PATH_MAX + 2];
  ssize_t n = readlink("/proc/self/exe", folder, PATH_MAX);
  if (n <= 0) return "./";
  folder[n] = 0;
  char* slash = std::strrchr(folder, '/');
  if (!slash) return "./";
  slash[1] = 0;
  return folder;
}
