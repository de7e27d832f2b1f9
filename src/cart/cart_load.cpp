#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "settings/shell_state.h"
#include "cart/cart_image.h"
#include "cart/cart_names.h"
#include "cart/legacy.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "script/tabs.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "pod/stream.h"
#include "cart/cart_record.h"

namespace {

void copy_rom(const zurkel_cart* from, zurkel_cart* to) {
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) zurkel_poke(nullptr, to, a, zurkel_peek(nullptr, from, a));
}

}  // namespace

zurkel_cart* load_zurkel_cart_any_format(zurkel_machine* m, const char* path) {
  if (!path || !*path) return nullptr;
  if (zurkel_cart* cart = load_zurkel_cart_png(path, m)) return cart;
  return brim_load_zurkel_cart(path);
}

namespace {
// The four name variants in their order, each tried at the paths given.
int load_variants(zurkel_machine* m, const std::string& plain,
                  std::vector<std::string> (*paths)(const std::string&)) {
  std::string completed = inject_zk_extention(plain);
  const std::string variants[4] = {plain, completed, completed + ".png", plain + ".png"};
  for (const std::string& v : variants) {
    for (const std::string& path : paths(v)) {
      if (zurkel_cart* cart = load_zurkel_cart_any_format(m, path.c_str())) {
        prepare_loaded_cart(m, cart, path.c_str());
        return 0;
      }
    }
  }
  return 1;
}

std::vector<std::string> inside_root_only(const std::string& path) {
  if (!cart_path_inside_root(path)) return {};
  return {path};
}

std::string g_beside_folder;
std::vector<std::string> inside_beside_folder(const std::string& path) {
  if (!cart_path_inside(g_beside_folder, path)) return {};
  return {path};
}
}  // namespace

int load_working_cart(zurkel_machine* m, const char* name) {
  if (!name || !*name) return 1;
  return load_variants(m, name, cart_search_paths);
}

int load_script_cart(zurkel_machine* m, const char* name) {
  if (!name || !*name) return 1;
  std::string path = cart_script_path(name);
  if (!path.empty() && load_variants(m, path, inside_root_only) == 0) return 0;
  // A cart started from the command line may sit anywhere: its neighbours
  // load by name too, but nothing outside its folder.
  g_beside_folder = cart_command_line_folder();
  if (!g_beside_folder.empty()) {
    std::string beside = shell_normalise_path(g_beside_folder + name);
    if (cart_path_inside(g_beside_folder, beside) &&
        load_variants(m, beside, inside_beside_folder) == 0)
      return 0;
  }
  return path.empty() ? 2 : 1;
}

std::string get_sandboxed_cstore_filename(const char* hash) {
  return cart_data_folder() + "cstore/__" + (hash ? hash : "") + ".zk";
}

void set_loaded_cart(zurkel_machine* m, zurkel_cart* cart, const char* name) {
  if (!cart) return;
  zurkel_loaded_cart& l = m->loaded;
  if (l.cart != cart) brim_destroy_zurkel_cart(l.cart);
  l.cart = cart;
  zurkel_sync_shared_after_load(cart);
  std::snprintf(l.name, sizeof l.name, "%s", name ? name : "");
  hash_cart(cart, l.hash);
  cart_file_stamp(l.name, &l.file_mtime_ns, &l.file_size);
}

void prepare_loaded_cart(zurkel_machine* m, zurkel_cart* cart, const char* name) {
  if (!cart) return;
  apply_legacy_changes(m, cart);
  split_code_to_tabs(cart);
  merge_code_from_tabs(cart);
  set_loaded_cart(m, cart, name);
  std::string sandbox = get_sandboxed_cstore_filename(m->loaded.hash);
  if (cart_file_exists(sandbox)) {
    if (zurkel_cart* stored = brim_load_zurkel_cart(sandbox.c_str())) {
      copy_rom(stored, cart);
      brim_destroy_zurkel_cart(stored);
    }
  }
  if (!name) std::snprintf(m->loaded.name, sizeof m->loaded.name, "%s", sandbox.c_str());
  reset_code_tab_selection();
}

zurkel_cart* get_loaded_cart(zurkel_machine* m) {
  if (!m->loaded.cart) prepare_loaded_cart(m, brim_create_zurkel_cart(), "");
  return m->loaded.cart;
}

zurkel_cart* merge_loaded_cart_tabs(zurkel_machine* m) {
  zurkel_cart* cart = get_loaded_cart(m);
  if (cart->code) {
    split_code_to_tabs(cart);
    merge_code_from_tabs(cart);
  }
  return cart;
}

void do_quick_load(zurkel_machine* m) {
  if (!m->loaded.name[0]) return;
  std::string name = m->loaded.name;
  zurkel_cart* copy = load_zurkel_cart_any_format(m, name.c_str());
  if (!copy) return;
  apply_legacy_changes(m, copy);
  zurkel_sync_shared_after_load(copy);
  char hash[ZURKEL_HASH_SIZE];
  hash_cart(copy, hash);
  if (std::strcmp(hash, m->loaded.hash) == 0) {
    brim_destroy_zurkel_cart(copy);
    return;
  }
  prepare_loaded_cart(m, copy, name.c_str());
  m->host->show_message("loaded external changes", 1000);
}

zurkel_cart* load_zurkel_cart_bin(const char* path) {
  std::vector<uint8_t> data;
  if (!path || !cart_read_any(path, data)) return nullptr;
  zurkel_cart* cart = brim_create_zurkel_cart();
  if (!cart) return nullptr;
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    zurkel_poke(nullptr, cart, a, a < static_cast<int>(data.size()) ? data[a] : 0);
  return cart;
}
