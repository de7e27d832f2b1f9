// data.pod: the console's own resources, read once at start-up from beside
// the executable. Items: 0 the system cartridge (text cart; its sound
// effects are the console's sounds, 0 the boot chime), 1 the graphics pod
// (item 1 the host palette, 4 the window title, 6 the window icon, 145 the
// PNG cart template, further items icons), 2 the console font pod, 3 the
// head cartridge as a 32 KiB image, 4-15 further cartridges as 32 KiB
// images, 16 the sample-games pod.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pod/pod.h"

enum zurkel_data_pod_item {
  DATA_POD_SYSTEM_CART = 0,
  DATA_POD_GFX = 1,
  DATA_POD_FONT = 2,
  DATA_POD_HEAD_CART = 3,
  DATA_POD_LAST_DEMO = 15,  // items 4-15: the demo carts
  DATA_POD_SAMPLE_GAMES = 16,
};

extern brim_pod* zurkel_data_pod;  // null until loaded

// Loads the pod at path into zurkel_data_pod (replacing any earlier one).
// False when it cannot be read.
bool zurkel_load_data_pod(const char* path);
// The same from a pod in memory (a standalone program's own).
bool zurkel_load_data_pod_memory(const uint8_t* data, size_t size);
void zurkel_free_data_pod();

