#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/cart_seams.h"
#include "cart/legacy.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "pod/stream.h"

namespace {

// Every cart that becomes the loaded cart, whoever loads it (the boot
// sequence included), goes through the pipeline's own preparation.
struct install_prepare {
  install_prepare() { zurkel_prepare_loaded_cart = prepare_loaded_cart; }
} const kInstall;

void copy_rom(const zurkel_cart* from, zurkel_cart* to) {
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++) zurkel_poke(nullptr, to, a, zurkel_peek(nullptr, from, a));
}

}  // namespace

zurkel_cart* load_zurkel_cart_any_format(const char* path) {
  if (!path || !*path) return nullptr;
  if (zurkel_cart* cart = load_zurkel_cart_png(path)) return cart;
  return brim_load_zurkel_cart(path);
}

int load_working_cart(const char* name) {
  if (!name || !*name) return 1;
  std::string plain = name, completed = inject_zk_extention(plain);
  const std::string variants[4] = {plain, completed, completed + ".png", plain + ".png"};
  for (const std::string& v : variants) {
    for (const std::string& path : cart_search_paths(v)) {
      if (zurkel_cart* cart = load_zurkel_cart_any_format(path.c_str())) {
        prepare_loaded_cart(cart, path.c_str());
        return 0;
      }
    }
  }
  return 1;
}

std::string get_sandboxed_cstore_filename(const char* hash) {
  return cart_data_folder() + "cstore/__" + (hash ? hash : "") + ".zk";
}

void prepare_loaded_cart(zurkel_cart* cart, const char* name) {
  if (!cart) return;
  if (loaded_cart && loaded_cart != cart) brim_destroy_zurkel_cart(loaded_cart);
  loaded_cart = cart;
  apply_legacy_changes(cart);
  zurkel_sync_shared_after_load(cart);
  cart_split_tabs(cart);
  cart_merge_tabs(cart);
  hash_cart(cart, loaded_cart_hash);
  std::string sandbox = get_sandboxed_cstore_filename(loaded_cart_hash);
  if (cart_file_exists(sandbox)) {
    if (zurkel_cart* stored = brim_load_zurkel_cart(sandbox.c_str())) {
      copy_rom(stored, cart);
      brim_destroy_zurkel_cart(stored);
    }
  }
  std::snprintf(loaded_cart_name, sizeof loaded_cart_name, "%s", name ? name : sandbox.c_str());
  cart_reset_editing_state();
}

void do_quick_load() {
  if (!loaded_cart_name[0]) return;
  std::string name = loaded_cart_name;
  zurkel_cart* copy = load_zurkel_cart_any_format(name.c_str());
  if (!copy) return;
  apply_legacy_changes(copy);
  zurkel_sync_shared_after_load(copy);
  char hash[ZURKEL_HASH_SIZE];
  hash_cart(copy, hash);
  if (std::strcmp(hash, loaded_cart_hash) == 0) {
    brim_destroy_zurkel_cart(copy);
    return;
  }
  prepare_loaded_cart(copy, name.c_str());
  cart_banner("loaded external changes", 1000);
}

zurkel_cart* load_zurkel_cart_bin(const char* path) {
  std::vector<uint8_t> data;
  if (!path || !cart_read_any(path, data)) return nullptr;
  zurkel_cart* cart = brim_create_zurkel_cart();
  for (int a = 0; a < ZURKEL_ROM_SIZE; a++)
    zurkel_poke(nullptr, cart, a, a < static_cast<int>(data.size()) ? data[a] : 0);
  return cart;
}
