#include "splore/bbs_names.h"

#include <cstdio>
#include <cstdlib>

#include "settings/config.h"
#include "settings/folders.h"

namespace {
bool numeric(const std::string& id) {
  if (id.empty() || id.size() > 9) return false;
  for (char c : id)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string appdata(const std::string& name) {
  char path[BRIM_PATH_MAX];
  brim_prefix_with_appdata_path(name.c_str(), path);
  return path;
}
}  // namespace

bool splore_valid_id(const std::string& id) {
  if (id.size() < 2 || id.size() > 127) return false;
  for (char c : id)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '_')) return false;
  return true;
}

std::string splore_board_url() {
  std::string url = console_config.board_url[0] ? console_config.board_url : "http://127.0.0.1:8128";
  while (!url.empty() && url.back() == '/') url.pop_back();
  return url;
}

std::string get_bbs_cart_url(const std::string& id) {
  if (!splore_valid_id(id)) return "";
  char path[300];
  if (numeric(id)) {
    long n = std::strtol(id.c_str(), nullptr, 10);
    std::snprintf(path, sizeof path, "/bbs/cposts/%ld/%ld.zk.png", n / 10000, n);
  } else {
    std::snprintf(path, sizeof path, "/bbs/cposts/%c%c/%s.zk.png", id[0], id[1], id.c_str());
  }
  return splore_board_url() + path;
}

std::string get_bbs_cart_filename_ex(const std::string& id, bool nfo) {
  if (!splore_valid_id(id)) return "";
  char name[300];
  std::string folder;
  if (numeric(id)) {
    long n = std::strtol(id.c_str(), nullptr, 10);
    std::snprintf(name, sizeof name, "bbs/%ld/", n / 10000);
    folder = appdata(name);
    std::snprintf(name, sizeof name, nfo ? "temp-%ld.nfo" : "%ld.zk.png", n);
  } else {
    folder = appdata("bbs/carts/");
    std::snprintf(name, sizeof name, nfo ? "temp-%s.nfo" : "%s.zk.png", id.c_str());
  }
  brim_make_folder(appdata("bbs/").c_str());
  brim_make_folder(folder.c_str());
  return folder + name;
}

std::string get_bbs_label_filename(const std::string& id) {
  if (!splore_valid_id(id)) return "";
  brim_make_folder(appdata("bbs/labels/").c_str());
  return appdata("bbs/labels/" + id + ".png");
}

std::string splore_bbs_path(const std::string& name) {
  brim_make_folder(appdata("bbs/").c_str());
  return appdata("bbs/" + name);
}

std::string splore_url_encode(const std::string& text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}
