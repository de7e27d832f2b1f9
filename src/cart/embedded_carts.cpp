#include "cart/embedded_carts.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/debug.h"
#include "cart/cart_image.h"
#include "cart/data_pod.h"
#include "cart/pipeline.h"
#include "cart/textcart.h"
#include "gfx/printer.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "pod/vdisk.h"
#include "settings/folders.h"
#include "cart/cart_record.h"

namespace {

struct embedded_cart {
  char name[256];
  char hash[ZURKEL_HASH_SIZE];
};

// The mounted carts' names and hashes.
struct {
  embedded_cart carts[ZURKEL_MAX_EMBEDDED];
  int count = 0;
} mounted;

// A 32 KiB file item that is not itself a pod.
bool is_cart_image(const brim_stream* f) {
  return f && f->size == ZURKEL_IMAGE_SIZE && std::memcmp(f->data, "CPOD", 4) != 0;
}

zurkel_cart* cart_from_image(const brim_stream* f) {
  zurkel_cart* cart = brim_create_zurkel_cart();
  if (cart && load_zurkel_cart_32k(cart, f->data) != 0)
    brim_debugf("embedded cart %s: code block damaged\n", f->name);
  return cart;
}

}  // namespace

void clear_embedded_carts() { mounted.count = 0; }

int embedded_cart_count() { return mounted.count; }

void mount_embedded_cart(const zurkel_cart* cart, const char* name) {
  if (!cart || !name || mounted.count >= ZURKEL_MAX_EMBEDDED) return;
  embedded_cart& e = mounted.carts[mounted.count++];
  std::snprintf(e.name, sizeof e.name, "%s", name);
  hash_cart(cart, e.hash);
  brim_debugf("@ mount_embedded_cart: %s %s\n", e.name, e.hash);
  brim_stream* f = brim_fopen_vdisk(e.name, "w");
  if (!f) return;
  brim_save_zurkel_cart_to_file(cart, f);
  brim_fclose(f);
}

const char* get_embedded_cart_hash_for_filename(const char* name) {
  if (!name) return nullptr;
  for (int i = 0; i < mounted.count; i++)
    if (std::strcmp(mounted.carts[i].name, name) == 0) return mounted.carts[i].hash;
  return nullptr;
}

void boot_embedded_cart(zurkel_machine* m) {
  clear_embedded_carts();
  brim_stream* head = cpod_get_file(zurkel_data_pod, DATA_POD_HEAD_CART);
  if (!is_cart_image(head)) {
    zurkel_print_col(m, "head cart not found\n", 6);
    return;
  }
  zurkel_cart* cart = cart_from_image(head);
  if (!cart) return;
  cart->version = ZURKEL_CART_VERSION;
  prepare_loaded_cart(m, cart, head->name);

  for (int i = DATA_POD_HEAD_CART; i < zurkel_data_pod->count; i++) {
    brim_stream* f = cpod_get_file(zurkel_data_pod, i);
    if (!is_cart_image(f)) continue;
    zurkel_cart* temp = cart_from_image(f);
    if (!temp) continue;
    temp->version = ZURKEL_CART_VERSION;
    mount_embedded_cart(temp, f->name);
    brim_destroy_zurkel_cart(temp);
  }
  m->mode = 0;
  m->pending_command = 1;
}

int install_demo_carts(const char* folder, const std::function<void(const char* name)>& each) {
  if (!zurkel_data_pod || !folder) return 0;
  brim_make_folder(folder);
  int written = 0;
  for (int i = DATA_POD_HEAD_CART + 1; i <= DATA_POD_LAST_DEMO && i < zurkel_data_pod->count; i++) {
    brim_stream* f = cpod_get_file(zurkel_data_pod, i);
    // Names come from our own archive, but never let one leave the folder.
    if (!is_cart_image(f) || !f->name[0] || std::strchr(f->name, '/') || f->name[0] == '.') continue;
    zurkel_cart* cart = cart_from_image(f);
    if (!cart) continue;
    cart->version = ZURKEL_CART_VERSION;
    std::string path = std::string(folder) + f->name;
    if (brim_save_zurkel_cart(cart, path.c_str()) == 0) {
      written++;
      if (each) each(f->name);
    } else {
      brim_debugf("install_demos: could not write %s\n", path.c_str());
    }
    brim_destroy_zurkel_cart(cart);
  }
  return written;
}
