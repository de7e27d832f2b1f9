#include "capture/output_files.h"

#include <cstdio>

#include "gfx/video.h"
#include "settings/config.h"
#include "settings/folders.h"

std::string get_output_file_name_base() {
  const char* title = brim_window_title();
  std::string base = title && *title ? title : "ZURKEL";
  for (char& c : base)
    if (c == '/') c = '_';
  return base;
}

std::string capture_output_path(const char* count_format, const char* suffix) {
  std::string base = get_output_file_name_base();
  std::string fmt = std::string("%s_") + count_format + suffix;
  char name[BRIM_PATH_MAX];
  char path[BRIM_PATH_MAX];
  for (int count = 0; count < 100000; count++) {
    std::snprintf(name, sizeof name, fmt.c_str(), base.c_str(), count);
    brim_prefix_with_desktop_path(name, path);
    if (!brim_file_exists(path) && !brim_folder_exists(path)) return path;
  }
  return {};
}
