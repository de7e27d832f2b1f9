// Embedded cartridges: the 32 KiB cartridge images stored in data.pod from
// item 3 on. They are mounted on the virtual disk as text cartridges of
// their item names, where load and reload find them; each keeps its hash,
// which names its sandboxed cstore file.
#pragma once
#include <functional>

#include "machine/cart.h"

struct zurkel_machine;

constexpr int ZURKEL_MAX_EMBEDDED = 64;

// Forgets earlier embedded carts; loads data.pod item 3 as the machine's
// loaded cart (version 12, under the item's name); mounts every 32 KiB
// image item from 3 on (other items, such as nested pods, are skipped);
// then asks the console to run it (mode 0, pending_command 1). Without a
// head cart it prints "head cart not found\n" and does nothing else.
void boot_embedded_cart(zurkel_machine* m);

// Records the cart's hash under name (at most 64 carts; names cut to 255
// characters), logs it, and writes the cart as a text cart to the
// virtual-disk file of that name. Further carts are ignored.
void mount_embedded_cart(const zurkel_cart* cart, const char* name);
// The stored hash of the embedded cart with exactly this name, or null.
const char* get_embedded_cart_hash_for_filename(const char* name);
void clear_embedded_carts();
int embedded_cart_count();

// The demo cartridges are data.pod items 4-15 (32 KiB images, the ones
// after the head cart). Writes each as a text cart to folder + its item name
// (creating the folder) and calls each(name) for every cart written.
// Returns the number written.
int install_demo_carts(const char* folder, const std::function<void(const char* name)>& each);

