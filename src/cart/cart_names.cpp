#include "cart/cart_names.h"

#include <cstdio>

void cart_split_name(const std::string& name, std::string& folder, std::string& base,
                     std::string& ext) {
  size_t slash = name.find_last_of('/');
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  folder = name.substr(0, start);
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot < start) dot = name.size();
  base = name.substr(start, dot - start);
  ext = name.substr(dot);
}

std::string inject_zk_extention(const std::string& name) {
  if (name.find(".zk") != std::string::npos) return name;
  std::string folder, base, ext;
  cart_split_name(name, folder, base, ext);
  if (ext.find(".png") != std::string::npos) return folder + base + ".zk" + ext;
  return folder + base + ext + ".zk";
}

void inject_zk_extention(const char* name, char* out) {
  std::snprintf(out, ZURKEL_FILE_NAME_MAX, "%s", inject_zk_extention(std::string(name ? name : "")).c_str());
}

bool cart_name_is_png(const std::string& name) { return name.find(".png") != std::string::npos; }

bool cart_name_is_clipboard(const std::string& name) {
  return name == "@clip" || name == "@clip.zk" || name == "@clip.png" || name == "@clip.zk.png";
}
