#include "input/controller_mappings.h"

#include <cstdio>
#include <cstring>

#include "base/debug.h"
#include "settings/config.h"
#include "settings/folders.h"
#include "base/line_reader.h"

const char* const brim_builtin_mappings[] = {nullptr};
const int brim_builtin_mapping_count = 0;

namespace {
constexpr const char* FILE_NAME = "sdl_controllers.txt";
constexpr const char* USER_FILE_TEXT = "// add SDL2 game controller mappings to this file\n";

char* trim(char* s) {
  while (*s == ' ' || *s == '\t' || *s == '\r') s++;
  size_t n = std::strlen(s);
  while (n && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r')) s[--n] = 0;
  return s;
}
}  // namespace

bool brim_read_controller_file(const char* path, brim_add_mapping_fn add) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  brim_debugf("Reading controller mappings: %s\n", path);
  char line[BRIM_MAPPING_LINE_MAX + 1];
  while (brim_read_line(f, line, BRIM_MAPPING_LINE_MAX)) {
    char* m = trim(line);
    if (!*m || *m == '/') continue;
    int r = add ? add(m) : -1;
    if (r == 1) brim_debugf(" added controller mapping: %s\n", m);
    else if (r == 0) brim_debugf(" updated controller mapping: %s\n", m);
    else brim_debugf(" failed to add controller mapping: %s\n", m);
  }
  std::fclose(f);
  return true;
}

void brim_add_controller_files(const char* program_file, const char* user_file,
                               brim_add_mapping_fn add) {
  // Run from inside the data folder, both names are one file: read it once.
  if (std::strcmp(program_file, user_file) != 0) brim_read_controller_file(program_file, add);
  if (!brim_file_exists(user_file)) {
    if (FILE* f = std::fopen(user_file, "wb")) {
      std::fputs(USER_FILE_TEXT, f);
      std::fclose(f);
    }
  }
  brim_read_controller_file(user_file, add);
}

void add_sdl_controllers_with(brim_add_mapping_fn add) {
  char program_file[BRIM_PATH_MAX], user_file[BRIM_PATH_MAX];
  brim_prefix_with_program_path(FILE_NAME, program_file);
  brim_prefix_with_appdata_path(FILE_NAME, user_file);
  brim_add_controller_files(program_file, user_file, add);
}
