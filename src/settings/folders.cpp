#include "settings/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/config.h"

namespace {
struct {
  std::string program;
  std::string appdata;
  std::string desktop;
} folders;

std::string with_slash(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

void prefix(const std::string& folder, const char* name, char* out) {
  std::snprintf(out, BRIM_PATH_MAX, "%s%s", folder.c_str(), name ? name : "");
}

const char* home_env() {
  const char* h = std::getenv("HOME");
  return h && *h ? h : nullptr;
}

// XDG_DESKTOP_DIR="$HOME/Desktop" from user-dirs.dirs, or empty.
std::string xdg_desktop(const char* home) {
  std::string cfg;
  const char* xdg_cfg = std::getenv("XDG_CONFIG_HOME");
  if (xdg_cfg && xdg_cfg[0] == '/') cfg = with_slash(xdg_cfg);
  else if (home) cfg = with_slash(home) + ".config/";
  else return "";
  FILE* f = std::fopen((cfg + "user-dirs.dirs").c_str(), "r");
  if (!f) return "";
  std::string result;
  char line[1024];
  while (std::fgets(line, sizeof line, f)) {
    const char* key = "XDG_DESKTOP_DIR=";
    const char* p = line;
    while (*p == ' ' || *p == '\t') p++;
    if (std::strncmp(p, key, std::strlen(key)) != 0) continue;
    p += std::strlen(key);
    std::string v(p);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r' || v.back() == ' ')) v.pop_back();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    if (v.rfind("$HOME", 0) == 0) {
      if (!home) continue;
      v = std::string(home) + v.substr(5);
    }
    if (!v.empty() && v[0] == '/') result = with_slash(v);
  }
  std::fclose(f);
  return result;
}
}  // namespace

void brim_set_program_path(const char* argv0) {
  std::string p = argv0 ? std::string(argv0).substr(0, 512) : "";
  size_t slash = p.rfind('/');
  if (slash != std::string::npos) {
    folders.program = p.substr(0, slash + 1);
    return;
  }
  char exe[BRIM_PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  folders.program.clear();
  if (n > 0) {
    exe[n] = 0;
    std::string e(exe);
    folders.program = e.substr(0, e.rfind('/') + 1);
  }
}

void brim_init_appdata_folder(const char* home_option) {
  if (home_option && *home_option) {
    folders.appdata = with_slash(home_option);
  } else {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = home_env();
    if (xdg && xdg[0] == '/') folders.appdata = with_slash(xdg) + "zurkel/";
    else if (home) folders.appdata = with_slash(home) + ".local/share/zurkel/";
    else folders.appdata.clear();
  }
  if (folders.appdata.size() >= BRIM_PATH_MAX - 64) folders.appdata.clear();
  if (!folders.appdata.empty()) brim_make_folder(folders.appdata.c_str());
}

const char* brim_appdata_folder() { return folders.appdata.c_str(); }

void brim_set_appdata_folder(const char* folder) { folders.appdata = with_slash(folder ? folder : ""); }

void brim_init_desktop_folder(const char* desktop_path) {
  if (desktop_path && desktop_path[0] && desktop_path[0] != ' ') {
    folders.desktop = with_slash(desktop_path);
    brim_make_folder(folders.desktop.c_str());
    return;
  }
  const char* home = home_env();
  folders.desktop = xdg_desktop(home);
  if (folders.desktop.empty() && home) folders.desktop = with_slash(home) + "Desktop/";
}

const char* brim_desktop_folder() { return folders.desktop.c_str(); }

void brim_prefix_with_appdata_path(const char* name, char* out) { prefix(folders.appdata, name, out); }
void brim_prefix_with_desktop_path(const char* name, char* out) { prefix(folders.desktop, name, out); }
void brim_prefix_with_program_path(const char* name, char* out) { prefix(folders.program, name, out); }

bool brim_make_folder(const char* path) {
  if (!path || !*path) return false;
  std::string p(path);
  for (size_t i = 1; i <= p.size(); i++) {
    if (i == p.size() || p[i] == '/') {
      std::string part = p.substr(0, i);
      if (!brim_folder_exists(part.c_str())) mkdir(part.c_str(), 0755);
    }
  }
  return brim_folder_exists(path);
}

bool brim_file_exists(const char* path) {
  struct stat st;
  return path && *path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool brim_folder_exists(const char* path) {
  struct stat st;
  return path && *path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool brim_folder_has_entries(const char* path) {
  DIR* d = path && *path ? opendir(path) : nullptr;
  if (!d) return false;
  bool any = false;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) {
      any = true;
      break;
    }
  }
  closedir(d);
  return any;
}
