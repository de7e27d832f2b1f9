#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/cart_seams.h"
#include "cart/compress.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "machine/loaded_cart.h"
#include "settings/folders.h"

namespace {

constexpr int kCodeLimit = 65536;

void print_bytes(int size, int colour) {
  char line[64];
  std::snprintf(line, sizeof line, "%d / %d bytes", size, ZURKEL_COMPRESSED_LIMIT);
  cart_print(line, colour);
}

bool label_is_blank(const zurkel_cart* cart) {
  const brim_bitmap* l = cart->label;
  if (!l) return true;
  size_t n = static_cast<size_t>(l->w) * l->h;
  for (size_t i = 1; i < n; i++)
    if (l->data[i] != l->data[0]) return false;
  return true;
}

int save_cart_as(const zurkel_cart* cart, const std::string& path) {
  if (cart_name_is_png(path)) return save_zurkel_cart_png(const_cast<zurkel_cart*>(cart), path.c_str());
  return brim_save_zurkel_cart(cart, path.c_str());
}

}  // namespace

int save_working_cart(const char* name) {
  if (!loaded_cart || !name) return 1;
  size_t length = cart_merge_tabs(loaded_cart);
  if (length > kCodeLimit || std::strlen(loaded_cart->code) > kCodeLimit) {
    cart_print("program over size limit\n", 6);
    return 1;
  }
  int size = compressed_code_size(loaded_cart->code);
  std::string target = name;
  if (cart_name_is_png(target)) {
    if (size > ZURKEL_COMPRESSED_LIMIT) {
      cart_print("compressed code size too large\n", 8);
      print_bytes(size, 9);
      return 1;
    }
    if (label_is_blank(loaded_cart)) {
      cart_print("warning: label is blank", 9);
      cart_print("run cart and use f7 to capture", 10);
    }
  } else if (size > ZURKEL_COMPRESSED_LIMIT) {
    cart_print("warning: compressed code too big", 9);
    cart_print("to be exported or saved as png", 9);
    print_bytes(size, 9);
    cart_print("(saving .zk anyway)\n", 6);
  }

  std::string completed = inject_zk_extention(target);
  // Keep a copy of another file before it is overwritten; saving over the
  // cart's own file makes no backup.
  if (completed != loaded_cart_name && cart_file_exists(completed)) {
    save_backup(completed.c_str(), 1);
    cart_banner("** overwriting; saved backup **", 2500);
  }
  if (save_cart_as(loaded_cart, completed) != 0) {
    cart_banner("** failed to save **", 1500);
    return 1;
  }
  std::snprintf(loaded_cart_name, sizeof loaded_cart_name, "%s", completed.c_str());
  hash_cart(loaded_cart, loaded_cart_hash);
  return 0;
}

int save_backup(const char* name, int copy_file) {
  std::string folder, base, ext;
  cart_split_name(name ? name : "", folder, base, ext);
  if (base.empty() && ext.empty()) {
    base = "untitled";
    ext = ".zk";
  }
  std::string dir = cart_data_folder() + "backup/";
  brim_make_folder(dir.c_str());
  std::string path = dir + base + ext;
  if (copy_file) {
    std::vector<uint8_t> data;
    if (cart_read_file(name, data)) cart_write_file(path, data.data(), data.size());
    return 0;
  }
  if (loaded_cart) {
    cart_merge_tabs(loaded_cart);
    save_cart_as(loaded_cart, path);
  }
  return 0;
}

void do_quick_save() {
  if (!loaded_cart_name[0]) {
    cart_banner("*** no filename. not saved! ***", 1500);
    return;
  }
  std::string name = loaded_cart_name;
  std::string bbs = cart_data_folder() + "bbs";
  if (name.compare(0, bbs.size(), bbs) == 0) {
    cart_banner("* can not overwrite bbs cart! *", 1500);
    return;
  }
  if (save_working_cart(name.c_str()) != 0) {
    cart_banner("** save failed **", 1500);
    return;
  }
  std::string folder, base, ext;
  cart_split_name(loaded_cart_name, folder, base, ext);
  std::string msg = "saved " + base + ext + "\n";
  cart_banner(msg.c_str(), 1000);
}
