#include <cstdio>

#include "commands.h"

int zkc_fail(const std::string& file, const std::string& message) {
  std::fprintf(stderr, "zkcart: %s%s\n", file.empty() ? "" : (file + ": ").c_str(), message.c_str());
  return 1;
}

int zkc_usage_error(const std::string& message) {
  std::fprintf(stderr, "zkcart: %s (zkcart --help)\n", message.c_str());
  return 2;
}

void zkc_warn(const std::string& file, const std::string& message) {
  std::fprintf(stderr, "zkcart: %s: warning: %s\n", file.c_str(), message.c_str());
}

void zkc_wrote(const std::string& file, const std::string& what) {
  std::printf("wrote %s%s\n", file.c_str(), what.empty() ? "" : (" (" + what + ")").c_str());
}

bool zkc_open(const std::string& path, zkc_cart& cart, zkc_load_notes* notes) {
  zkc_load_notes own;
  std::string err;
  if (!zkc_load(path, cart, notes ? *notes : own, err)) return zkc_fail(path, err), false;
  if (!notes)
    for (const std::string& line : own.console_lines) zkc_warn(path, line);
  return true;
}

bool zkc_store(const zkc_cart& cart, const std::string& path) {
  std::string err;
  if (!zkc_save(cart, path, err)) return zkc_fail(path, err), false;
  if (zkc_is_png_name(path) && !cart.has_label)
    zkc_warn(path, "the cart has no label, so the picture shows none (zkcart import-label)");
  zkc_wrote(path);
  return true;
}

int zkc_sound_number(const std::string& text) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  int n = std::stoi(text);
  return n < ZKC_SOUNDS ? n : -1;
}
