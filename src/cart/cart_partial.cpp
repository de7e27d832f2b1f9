#include <string>

#include "cart/cart_files.h"
#include "cart/cart_names.h"
#include "cart/pipeline.h"
#include "cart/pngcart.h"
#include "cart/textcart.h"
#include "base/debug.h"
#include "machine/fault.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "cart/cart_record.h"

namespace {

constexpr int kMaxCstoreFiles = 256;
constexpr int kDiskPauseFrames = 30;

bool in_memory(int a) { return a >= 0 && a < 0x8000; }

void note_other_file(zurkel_machine* m, const std::string& file) {
  m->run.other_cart_file = file;
  m->disk_pause = kDiskPauseFrames;
}

bool list_has(const std::string& list, const std::string& file) {
  std::string entry = "|" + file;
  for (size_t at = list.find(entry); at != std::string::npos; at = list.find(entry, at + 1)) {
    size_t end = at + entry.size();
    if (end == list.size() || list[end] == '|') return true;
  }
  return false;
}

}  // namespace

void clear_cstore_file_list(zurkel_machine* m) {
  m->run.cstore_files.clear();
  m->run.cstore_count = 0;
}

void forget_last_other_file(zurkel_machine* m) { m->run.other_cart_file.clear(); }

int cstore_file_count(const zurkel_machine* m) { return m->run.cstore_count; }

int cstore_cart_partial(zurkel_machine* m, const char* file_in, int dest, int src, int count,
                        int also_loaded) {
  std::string file = file_in ? file_in : "";
  if (!list_has(m->run.cstore_files, file)) {
    if (m->run.cstore_count >= kMaxCstoreFiles) return 3;
    m->run.cstore_files += "|" + file;
    m->run.cstore_count++;
  }
  note_other_file(m, file);
  bool png = cart_name_is_png(file);
  zurkel_cart* cart = png ? load_zurkel_cart_png(file.c_str(), m) : brim_load_zurkel_cart(file.c_str());
  if (!cart) cart = brim_create_zurkel_cart();
  if (!cart) return 2;  // out of host memory: nothing stored
  zurkel_cart* loaded = m->loaded.cart;
  for (int i = 0; i < count; i++) {
    int b = zurkel_peek(m, m->cart, src + i);
    zurkel_poke(nullptr, cart, dest + i, b);
    if (also_loaded && loaded) zurkel_poke(nullptr, loaded, dest + i, b);
    if (!in_memory(dest + i)) {
      zurkel_runtime_error(m, "bad memory access");
      break;
    }
  }
  int rc = png ? save_zurkel_cart_png(cart, file.c_str()) : brim_save_zurkel_cart(cart, file.c_str());
  brim_destroy_zurkel_cart(cart);
  return rc == 0 ? 0 : 2;
}

int reload_cart_partial(zurkel_machine* m, const char* file_in, int dest, int src, int count) {
  std::string file = file_in ? file_in : "";
  brim_debugf("@ reload_cart_partial: %s %d %d %d\n", file.c_str(), dest, src, count);
  if (file != m->run.other_cart_file) note_other_file(m, file);
  zurkel_cart* cart = nullptr;
  for (const std::string& path : cart_search_paths(file)) {
    cart = load_zurkel_cart_png(path.c_str(), m);
    if (!cart) cart = brim_load_zurkel_cart(path.c_str());
    if (!cart && file.find(".bin") != std::string::npos) cart = load_zurkel_cart_bin(path.c_str());
    if (cart) break;
  }
  if (!cart) return 1;
  for (int i = 0; i < count; i++) {
    zurkel_poke(m, m->cart, dest + i, zurkel_peek(nullptr, cart, src + i));
    if (!in_memory(dest + i)) break;
  }
  brim_destroy_zurkel_cart(cart);
  return 0;
}
