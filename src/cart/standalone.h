// Standalone programs made from one cart. Such a program carries the
// console's resources in a pod of data.pod's form: items 0-2 as the
// console's own (system cart, graphics, font), item 3 the cart as a 32 KiB
// image, which the console runs at once (console/brim_main.h).
//  - A Linux program is the console's executable with that pod appended,
//    then a trailer: the pod's size (8 bytes, little-endian) and the eight
//    letters "ZKSTANDA".
//  - A web page is the web player (scripts/web.sh) with the cart's image
//    inlined as base64 in its element <script id="zk-cart">; the player
//    builds the pod from its own data.pod.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "machine/cart.h"

struct brim_pod;

// The name a cart file is carried under: its base name, ".zk.png" and
// ".png" becoming ".zk" (the item is mounted as a text cart).
std::string standalone_cart_name(const char* path);

// The cart's 32 KiB image; false with a message when its code does not fit.
bool standalone_cart_image(const zurkel_cart* cart, std::vector<uint8_t>& image,
                           std::string& error);

// The pod: items 0-2 of console_pod, then the 32 KiB image named name.
// False with a message when console_pod lacks them or the image is not one.
bool standalone_pod(const brim_pod* console_pod, const std::vector<uint8_t>& image,
                    const std::string& name, std::vector<uint8_t>& out, std::string& error);

// The pod appended to the executable at path, or empty (none, or damaged).
std::vector<uint8_t> standalone_read_appended(const char* exe_path);

// Writes out: the executable (without a pod it may carry already), the pod
// and the trailer, executable by everyone, through a temporary name.
bool standalone_write_program(const char* exe_path, const std::vector<uint8_t>& pod,
                              const char* out, std::string& error);

// The page: the player's HTML with the image and name inlined. False with a
// message when player_html is not the web player's page.
bool standalone_page(const std::string& player_html, const std::vector<uint8_t>& image,
                     const std::string& name, std::string& page, std::string& error);

// Where the web player is looked for, beside a program in folder dir (its
// path ending in "/"): zurkel.html there or in its web/ folder, then in
// the build trees above it (build-web/ beside a build folder).
std::vector<std::string> standalone_player_places(const std::string& dir);

// Base64 (RFC 4648, with padding).
std::string standalone_base64(const uint8_t* data, size_t size);
std::vector<uint8_t> standalone_unbase64(const std::string& text);

// The console's export from a running cart: the loaded cart as a web page
// at path, with the web player found beside the program. Empty on success,
// else the reason (a short console line).
struct zurkel_machine;
std::string standalone_export_loaded_page(zurkel_machine* m, const std::string& path);
