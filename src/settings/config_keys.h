// The one table of config.txt keys: the readers and the writers of both
// sections walk it, so every key written is read back under the same name.
#pragma once
#include <cstddef>

enum config_kind {
  CK_INT,        // " %d"
  CK_INT2,       // " %d %d"
  CK_INT13,      // 13 numbers, written each as "%d "
  CK_TRIMMED,    // text after the name, spaces trimmed
  CK_FOLDER,     // text after "name ", cut after its last '/' or '\\'
  CK_VIDEO_MODE, // width height: sets both the window and the screen size
  CK_VERSION     // written only: the version text
};

enum config_section { CS_ENGINE, CS_CONSOLE };

enum config_source {
  CW_LIVE,    // written from the live settings
  CW_LOADED,  // written from the as-loaded copy
  CW_NEVER    // read, never written
};

struct config_key {
  const char* name;
  config_section section;
  config_kind kind;
  config_source source;
  size_t offset;       // into brim_config (engine) or zurkel_console_config
  const char* before;  // text written before "name "
  const char* after;   // text written after the value
};

extern const config_key config_keys[];
extern const int config_key_count;
