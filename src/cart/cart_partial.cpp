#include <string>

#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "base/debug.h"
#include "machine/loaded_cart.h"
#include "machine/memory.h"
#include "machine/machine.h"

namespace {

constexpr int kMaxCstoreFiles = 256;
constexpr int kDiskPauseFrames = 30;

// Entries "|" + name of every file written by cstore this session.
std::string cstore_files;
int cstore_count = 0;
std::string last_other_file;

bool in_memory(int a) { return a >= 0 && a < 0x8000; }

// A reload from the loaded cart ends the reading of another cart file.
struct install_forget {
  install_forget() {
    zurkel_reload_forget_other_cart = [] {
      bool had = !last_other_file.empty();
      last_other_file.clear();
      return had;
    };
  }
} const kInstall;

void note_other_file(const std::string& file) {
  last_other_file = file;
  if (pstate) pstate->disk_pause = kDiskPauseFrames;
}

bool list_has(const std::string& file) {
  std::string entry = "|" + file;
  for (size_t at = cstore_files.find(entry); at != std::string::npos;
       at = cstore_files.find(entry, at + 1)) {
    size_t end = at + entry.size();
    if (end == cstore_files.size() || cstore_files[end] == '|') return true;
  }
  return false;
}

}  // namespace

void clear_cstore_file_list() {
  cstore_files.clear();
  cstore_count = 0;
}

void forget_last_other_file() { last_other_file.clear(); }

int cstore_file_count() { return cstore_count; }

int cstore_cart_partial(const char* file_in, int dest, int src, int count, int also_loaded) {
  std::string file = file_in ? file_in : "";
  if (!list_has(file)) {
    if (cstore_count >= kMaxCstoreFiles) return 3;
    cstore_files += "|" + file;
    cstore_count++;
  }
  note_other_file(file);
  bool png = cart_name_is_png(file);
  zurkel_cart* cart = png ? load_zurkel_cart_png(file.c_str()) : brim_load_zurkel_cart(file.c_str());
  if (!cart) cart = brim_create_zurkel_cart();
  zurkel_cart* live = pstate ? pstate->cart : nullptr;
  for (int i = 0; i < count; i++) {
    int b = zurkel_peek(pstate, live, src + i);
    zurkel_poke(nullptr, cart, dest + i, b);
    if (also_loaded && loaded_cart) zurkel_poke(nullptr, loaded_cart, dest + i, b);
    if (!in_memory(dest + i)) break;  // reported once as a bad memory access
  }
  int rc = png ? save_zurkel_cart_png(cart, file.c_str()) : brim_save_zurkel_cart(cart, file.c_str());
  brim_destroy_zurkel_cart(cart);
  return rc == 0 ? 0 : 2;
}

int reload_cart_partial(const char* file_in, int dest, int src, int count) {
  std::string file = file_in ? file_in : "";
  brim_debugf("@ reload_cart_partial: %s %d %d %d\n", file.c_str(), dest, src, count);
  if (file != last_other_file) note_other_file(file);
  zurkel_cart* cart = nullptr;
  for (const std::string& path : cart_search_paths(file)) {
    cart = load_zurkel_cart_png(path.c_str());
    if (!cart) cart = brim_load_zurkel_cart(path.c_str());
    if (!cart && file.find(".bin") != std::string::npos) cart = load_zurkel_cart_bin(path.c_str());
    if (cart) break;
  }
  if (!cart) return 1;
  if (pstate) {
    for (int i = 0; i < count; i++) {
      zurkel_poke(pstate, pstate->cart, dest + i, zurkel_peek(nullptr, cart, src + i));
      if (!in_memory(dest + i)) break;
    }
  }
  brim_destroy_zurkel_cart(cart);
  return 0;
}
