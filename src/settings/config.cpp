#include "settings/config.h"

#include <cstdio>
#include <cstring>

#include "base/debug.h"
#include "host/events.h"
#include "settings/config_keys.h"
#include "settings/folders.h"
#include "base/line_reader.h"
#include "base/safe_write.h"

brim_config cconfig;
brim_config cconfig0;
zurkel_console_config console_config;

const char* const zurkel_version = "0.1.11c";

namespace {
constexpr int LINE_MAX_CHARS = 254;

int* int_field(void* base, const config_key& k) {
  return reinterpret_cast<int*>(static_cast<char*>(base) + k.offset);
}
char* text_field(void* base, const config_key& k) {
  return static_cast<char*>(base) + k.offset;
}

void copy_path(char* dst, const char* src, size_t n) {
  if (n > BRIM_PATH_MAX - 1) n = BRIM_PATH_MAX - 1;
  std::memcpy(dst, src, n);
  dst[n] = 0;
}

// Applies the value part of a line (the text right after the key's name).
void apply_value(const config_key& k, void* base, const char* v) {
  switch (k.kind) {
    case CK_INT: {
      int a;
      if (std::sscanf(v, " %d", &a) == 1) *int_field(base, k) = a;
      break;
    }
    case CK_INT2: {
      int a, b;
      if (std::sscanf(v, " %d %d", &a, &b) == 2) {
        int_field(base, k)[0] = a;
        int_field(base, k)[1] = b;
      }
      break;
    }
    case CK_VIDEO_MODE: {
      int a, b;
      auto* c = static_cast<brim_config*>(base);
      if (std::sscanf(v, " %d %d", &a, &b) == 2) {
        c->window_w = c->screen_w = a;
        c->window_h = c->screen_h = b;
      }
      break;
    }
    case CK_INT13: {
      int* f = int_field(base, k);
      for (int i = 0; i < 13; i++) {
        int a, used = 0;
        if (std::sscanf(v, " %d%n", &a, &used) != 1) break;
        f[i] = a;
        v += used;
      }
      break;
    }
    case CK_TRIMMED: {
      while (*v == ' ' || *v == '\t') v++;
      size_t n = std::strlen(v);
      while (n > 0 && (v[n - 1] == ' ' || v[n - 1] == '\t')) n--;
      copy_path(text_field(base, k), v, n);
      break;
    }
    case CK_FOLDER: {
      if (*v) v++;  // the separating space
      const char* cut = nullptr;
      for (const char* p = v; *p; p++)
        if (*p == '/' || *p == '\\') cut = p + 1;
      copy_path(text_field(base, k), v, cut ? static_cast<size_t>(cut - v) : 0);
      break;
    }
    case CK_VERSION:
      break;
  }
}

bool line_takes(const config_key& k, const char* line) {
  return std::strncmp(line, k.name, std::strlen(k.name)) == 0;
}

// Reads one line of at most 254 characters (a longer line's rest is dropped,
// and *cut tells so) without its line ending.
bool read_line(FILE* f, char* buf, bool* cut) {
  int n = 0, c;
  bool any = false;
  *cut = false;
  while ((c = std::fgetc(f)) != EOF && c != '\n') {
    any = true;
    if (n < LINE_MAX_CHARS) buf[n++] = static_cast<char>(c);
    else if (c != '\r') *cut = true;
  }
  any = any || c == '\n';
  buf[n] = 0;
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n')) buf[--n] = 0;
  return any;
}

// A folder value cut by the line length would be cut again after its last
// "/" and name an ancestor folder (even "/"): such a line is not used.
bool refuse_cut_folder(const char* line) {
  for (int i = 0; i < config_key_count; i++) {
    const config_key& k = config_keys[i];
    if (k.kind == CK_FOLDER && line_takes(k, line)) {
      brim_debugf("config: %s value too long; default kept\n", k.name);
      return true;
    }
  }
  return false;
}

void write_key(FILE* f, const config_key& k, const void* base) {
  std::fputs(k.before, f);
  std::fprintf(f, "%s ", k.name);
  const char* b = static_cast<const char*>(base) + k.offset;
  const int* iv = reinterpret_cast<const int*>(b);
  switch (k.kind) {
    case CK_INT: std::fprintf(f, "%d", iv[0]); break;
    case CK_INT2:
    case CK_VIDEO_MODE: std::fprintf(f, "%d %d", iv[0], iv[1]); break;
    case CK_INT13:
      for (int i = 0; i < 13; i++) std::fprintf(f, "%d ", iv[i]);
      break;
    case CK_TRIMMED:
    case CK_FOLDER: std::fputs(b, f); break;
    case CK_VERSION: std::fputs(zurkel_version, f); break;
  }
  std::fputs(k.after, f);
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

void clamp_loaded(brim_config* c) {
  c->foreground_sleep_ms = clamp(c->foreground_sleep_ms, 0, 200);
  c->background_sleep_ms = clamp(c->background_sleep_ms, 0, 200);
  c->sound_volume = clamp(c->sound_volume, 0, 256);
  c->music_volume = clamp(c->music_volume, 0, 256);
  if (c->mix_buffer_size < 512 || c->mix_buffer_size > 8192) c->mix_buffer_size = 1024;
  c->timeout = clamp(c->timeout, 1, 240);
  // An unusable screen size is replaced here as well as at start-up, so the
  // as-loaded copy (which is what gets written back) never carries one.
  if (c->screen_w < 32 || c->screen_h < 32) {
    c->screen_w = 580;
    c->screen_h = 540;
  }
}

bool write_config(FILE* f, void*) {
  std::fputs("// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n", f);
  std::fprintf(f, "// Configuration for %s\n// \n", "zurkel");
  std::fputs("// config.txt is read on startup and saved on exit.\n", f);
  std::fputs("// To generate the default config.txt, delete this file.\n// \n", f);
  std::fputs("// - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n", f);
  for (int i = 0; i < config_key_count; i++) {
    const config_key& k = config_keys[i];
    if (k.section != CS_ENGINE || k.source == CW_NEVER) continue;
    write_key(f, k, k.source == CW_LOADED ? &cconfig0 : &cconfig);
  }
  std::fputs("\n\n// :: \n\n", f);
  zurkel_save_config(f);
  return true;
}
}  // namespace

void brim_config_default() {
  std::memset(&cconfig, 0, sizeof cconfig);
  cconfig.sound_volume = 256;
  cconfig.music_volume = 256;
  cconfig.mix_buffer_size = 1024;
  cconfig.window_x = -1;
  cconfig.window_y = -1;
  cconfig.foreground_sleep_ms = 5;
  cconfig.background_sleep_ms = 20;
  cconfig.fullscreen_method = 1;
  cconfig.timeout = 30;
  cconfig.pixel_perfect = -1;
}

// The settings are rebuilt from the defaults and the file alone, so the
// as-loaded copy never holds values that came from options; the caller
// applies the options again afterwards.
bool brim_config_load_file(const char* path) {
  brim_config_default();
  FILE* f = path ? std::fopen(path, "rb") : nullptr;
  if (f) {
    char line[LINE_MAX_CHARS + 1];
    int logged = 0;
    bool cut = false;
    while (read_line(f, line, &cut)) {
      if (line[0] && line[0] != '/') brim_debugf("%02d %s\n", ++logged, line);
      if (cut && refuse_cut_folder(line)) continue;
      bool taken = false;
      for (int i = 0; i < config_key_count && !taken; i++) {
        const config_key& k = config_keys[i];
        if (k.section != CS_ENGINE || !line_takes(k, line)) continue;
        apply_value(k, &cconfig, line + std::strlen(k.name));
        taken = true;
      }
      if (!taken) zurkel_load_config(line);
    }
    std::fclose(f);
  }
  clamp_loaded(&cconfig);
  cconfig.loaded = 1;
  cconfig0 = cconfig;
  return f != nullptr;
}

bool brim_config_load() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("config.txt", path);
  if (!brim_file_exists(path)) brim_prefix_with_program_path("config.txt", path);
  if (!brim_file_exists(path)) path[0] = 0;
  return brim_config_load_file(path[0] ? path : nullptr);
}

bool brim_config_save_file(const char* path) {
  return brim_write_file_safely(path, write_config, nullptr);
}

bool brim_config_save() {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path("config.txt", path);
  return brim_config_save_file(path);
}

void zurkel_config_default() {
  std::memset(&console_config, 0, sizeof console_config);
  console_config.gif_len = 8;
  console_config.screenshot_scale = 3;
  console_config.gif_scale = 2;
  console_config.gpio_base = -1;
  console_config.shift_glyphs = 1;
  console_config.show_backup_messages = 1;
  console_config.host_framerate_control = 1;
}

void zurkel_load_config(const char* line) {
  char cut[256];
  std::snprintf(cut, sizeof cut, "%s", line);
  for (int i = 0; i < config_key_count; i++) {
    const config_key& k = config_keys[i];
    if (k.section != CS_CONSOLE || !line_takes(k, cut)) continue;
    apply_value(k, &console_config, cut + std::strlen(k.name));
    return;
  }
}

void zurkel_save_config(FILE* stream) {
  for (int i = 0; i < config_key_count; i++) {
    const config_key& k = config_keys[i];
    if (k.section == CS_CONSOLE && k.source != CW_NEVER) write_key(stream, k, &console_config);
  }
}

int brim_configured_sleep_ms() {
  return host_window_active() ? cconfig.foreground_sleep_ms : cconfig.background_sleep_ms;
}
