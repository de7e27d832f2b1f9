#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "cart/cart_image.h"
#include "cart/cart_names.h"
#include "cart/compress.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "gfx/printer.h"
#include "script/tabs.h"
#include "machine/machine.h"
#include "settings/folders.h"

namespace {

constexpr int kCodeLimit = 65536;

void print_bytes(zurkel_machine* m, int size, int colour) {
  char line[64];
  std::snprintf(line, sizeof line, "%d / %d bytes", size, ZURKEL_COMPRESSED_LIMIT);
  zurkel_print_col(m, line, colour);
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

int save_working_cart(zurkel_machine* m, const char* name) {
  zurkel_cart* loaded_cart = m->loaded.cart;
  if (!loaded_cart || !name) return 1;
  size_t length = merge_code_from_tabs(loaded_cart);
  if (length > kCodeLimit || std::strlen(loaded_cart->code) > kCodeLimit) {
    zurkel_print_col(m, "program over size limit\n", 6);
    return 1;
  }
  int size = compressed_code_size(loaded_cart->code);
  std::string target = name;
  if (cart_name_is_png(target)) {
    if (size > ZURKEL_COMPRESSED_LIMIT) {
      zurkel_print_col(m, "compressed code size too large\n", 8);
      print_bytes(m, size, 9);
      return 1;
    }
    if (label_is_blank(loaded_cart)) {
      zurkel_print_col(m, "warning: label is blank", 9);
      zurkel_print_col(m, "run cart and use f7 to capture", 10);
    }
  } else if (size > ZURKEL_COMPRESSED_LIMIT) {
    zurkel_print_col(m, "warning: compressed code too big", 9);
    zurkel_print_col(m, "to be exported or saved as png", 9);
    print_bytes(m, size, 9);
    zurkel_print_col(m, "(saving .zk anyway)\n", 6);
  }

  std::string completed = inject_zk_extention(target);
  // Keep a copy of another file before it is overwritten; saving over the
  // cart's own file makes no backup.
  if (completed != m->loaded.name && cart_file_exists(completed)) {
    save_backup(m, completed.c_str(), 1);
    m->host->show_message("** overwriting; saved backup **", 2500);
  }
  if (save_cart_as(loaded_cart, completed) != 0) {
    m->host->show_message("** failed to save **", 1500);
    return 1;
  }
  std::snprintf(m->loaded.name, sizeof m->loaded.name, "%s", completed.c_str());
  hash_cart(loaded_cart, m->loaded.hash);
  cart_file_stamp(completed, &m->loaded.file_mtime_ns, &m->loaded.file_size);
  return 0;
}

int save_backup(zurkel_machine* m, const char* name, int copy_file) {
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
  if (zurkel_cart* loaded_cart = m->loaded.cart) {
    merge_code_from_tabs(loaded_cart);
    save_cart_as(loaded_cart, path);
  }
  return 0;
}

void do_quick_save(zurkel_machine* m) {
  if (!m->loaded.name[0]) {
    m->host->show_message("*** no filename. not saved! ***", 1500);
    return;
  }
  std::string name = m->loaded.name;
  std::string bbs = cart_data_folder() + "bbs";
  if (name.compare(0, bbs.size(), bbs) == 0) {
    m->host->show_message("* can not overwrite bbs cart! *", 1500);
    return;
  }
  // The file changed on disk since it was loaded or saved (another editor):
  // its content is kept in backup/ before the cart overwrites it.
  long long mtime = -1, size = -1;
  bool changed = cart_file_stamp(name, &mtime, &size) &&
                 (mtime != m->loaded.file_mtime_ns || size != m->loaded.file_size);
  if (changed) save_backup(m, name.c_str(), 1);
  if (save_working_cart(m, name.c_str()) != 0) {
    m->host->show_message("** save failed **", 1500);
    return;
  }
  if (changed) {
    m->host->show_message("** changed on disk; saved backup **", 2500);
    return;
  }
  std::string folder, base, ext;
  cart_split_name(m->loaded.name, folder, base, ext);
  std::string msg = "saved " + base + ext + "\n";
  m->host->show_message(msg.c_str(), 1000);
}
