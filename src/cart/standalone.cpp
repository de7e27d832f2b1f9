#include "cart/standalone.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/safe_write.h"
#include "cart/cart_image.h"
#include "cart/data_pod.h"
#include "cart/pipeline.h"
#include "machine/machine.h"
#include "pod/pod.h"
#include "pod/stream.h"
#include "settings/config.h"
#include "settings/folders.h"

namespace {

constexpr char kTrailerMagic[9] = "ZKSTANDA";
constexpr int kTrailerSize = 16;
// The element the player keeps for an inlined cart (src/platform/web/shell.html).
constexpr char kCartSlot[] = "<script type=\"application/octet-stream\" id=\"zk-cart\" data-name=\"\"></script>";
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool ends_with(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The size of the executable part of the file f (of length total): less an
// appended pod with its trailer.
long executable_size(FILE* f, long total) {
  if (total < kTrailerSize || std::fseek(f, total - kTrailerSize, SEEK_SET) != 0) return total;
  uint8_t t[kTrailerSize];
  if (std::fread(t, 1, sizeof t, f) != sizeof t || std::memcmp(t + 8, kTrailerMagic, 8) != 0)
    return total;
  uint64_t pod = 0;
  for (int i = 7; i >= 0; i--) pod = pod << 8 | t[i];
  if (pod > static_cast<uint64_t>(total - kTrailerSize)) return total;
  return total - kTrailerSize - static_cast<long>(pod);
}

long file_size(FILE* f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return -1;
  return std::ftell(f);
}

struct program_parts {
  FILE* exe;
  long exe_size;
  const std::vector<uint8_t>* pod;
};

bool write_program(FILE* out, void* ctx) {
  auto* p = static_cast<program_parts*>(ctx);
  if (std::fseek(p->exe, 0, SEEK_SET) != 0) return false;
  char buf[1 << 16];
  for (long left = p->exe_size; left > 0;) {
    size_t n = std::fread(buf, 1, left < (long)sizeof buf ? left : sizeof buf, p->exe);
    if (n == 0 || std::fwrite(buf, 1, n, out) != n) return false;
    left -= static_cast<long>(n);
  }
  uint8_t t[kTrailerSize];
  uint64_t size = p->pod->size();
  for (int i = 0; i < 8; i++) t[i] = static_cast<uint8_t>(size >> (8 * i));
  std::memcpy(t + 8, kTrailerMagic, 8);
  return std::fwrite(p->pod->data(), 1, p->pod->size(), out) == p->pod->size() &&
         std::fwrite(t, 1, sizeof t, out) == sizeof t;
}

bool write_text(FILE* out, void* ctx) {
  auto* text = static_cast<std::string*>(ctx);
  return std::fwrite(text->data(), 1, text->size(), out) == text->size();
}

}  // namespace

std::string standalone_cart_name(const char* path) {
  std::string name = path ? path : "";
  size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (ends_with(name, ".zk.png")) name.erase(name.size() - 4);
  else if (ends_with(name, ".png")) name.replace(name.size() - 4, 4, ".zk");
  else if (!ends_with(name, ".zk")) name += ".zk";
  // Pod item names hold 63 characters; keep the extension.
  if (name.size() > 63) name = name.substr(0, 60) + ".zk";
  return name;
}

bool standalone_cart_image(const zurkel_cart* cart, std::vector<uint8_t>& image, std::string& error) {
  image.assign(ZURKEL_IMAGE_SIZE, 0);
  if (!cart || save_zurkel_cart_32k(cart, image.data()) != 0) {
    error = "the cart's code does not fit a 32 KiB cartridge image (15,360 bytes compressed)";
    return false;
  }
  return true;
}

bool standalone_pod(const brim_pod* console_pod, const std::vector<uint8_t>& image,
                    const std::string& name, std::vector<uint8_t>& out, std::string& error) {
  if (image.size() != static_cast<size_t>(ZURKEL_IMAGE_SIZE)) {
    error = "not a 32 KiB cartridge image";
    return false;
  }
  brim_pod* pod = brim_create_pod(DATA_POD_HEAD_CART + 1);
  bool ok = pod != nullptr;
  if (pod) std::memcpy(pod->name, "data", 5);
  for (int i = DATA_POD_SYSTEM_CART; ok && i < DATA_POD_HEAD_CART; i++) {
    const brim_stream* f = cpod_get_file(console_pod, i);
    ok = f && cpod_add_file(pod, f->name, f->data, f->size) == i;
  }
  if (!ok) error = "data.pod lacks the console's resources (items 0-2)";
  ok = ok && cpod_add_file(pod, name.c_str(), image.data(), ZURKEL_IMAGE_SIZE) == DATA_POD_HEAD_CART;
  brim_stream* s = ok ? brim_create_buffer(0) : nullptr;
  if (ok && (!s || brim_save_pod_file(pod->name, pod, s) != 0)) {
    error = "could not build the pod";
    ok = false;
  }
  if (ok) out.assign(s->data, s->data + s->size);
  if (s) brim_destroy_buffer(s);
  brim_destroy_pod(pod);
  return ok;
}

std::vector<uint8_t> standalone_read_appended(const char* exe_path) {
  std::vector<uint8_t> pod;
  FILE* f = exe_path ? std::fopen(exe_path, "rb") : nullptr;
  if (!f) return pod;
  long total = file_size(f);
  long exe = total > 0 ? executable_size(f, total) : total;
  long size = total - kTrailerSize - exe;
  if (exe < total && size > 0 && size <= BRIM_BUFFER_MAX && std::fseek(f, exe, SEEK_SET) == 0) {
    pod.resize(static_cast<size_t>(size));
    if (std::fread(pod.data(), 1, pod.size(), f) != pod.size()) pod.clear();
  }
  std::fclose(f);
  return pod;
}

bool standalone_write_program(const char* exe_path, const std::vector<uint8_t>& pod,
                              const char* out, std::string& error) {
  FILE* exe = std::fopen(exe_path, "rb");
  if (!exe) {
    error = std::string("cannot read the console program ") + exe_path;
    return false;
  }
  long total = file_size(exe);
  program_parts parts{exe, total > 0 ? executable_size(exe, total) : 0, &pod};
  bool ok = total > 0 && brim_write_file_safely(out, write_program, &parts);
  std::fclose(exe);
  if (!ok) {
    error = std::string("cannot write ") + out;
    return false;
  }
  if (chmod(out, 0755) != 0) {
    error = std::string("cannot make ") + out + " executable";
    return false;
  }
  return true;
}

bool standalone_page(const std::string& player_html, const std::vector<uint8_t>& image,
                     const std::string& name, std::string& page, std::string& error) {
  size_t at = player_html.find(kCartSlot);
  if (at == std::string::npos) {
    error = "not the web player's page (it has no empty cart slot)";
    return false;
  }
  // The name goes into an attribute: only characters that need no escaping.
  std::string safe;
  for (char c : name)
    safe += (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("._-", c)) ? c : '_';
  std::string filled = std::string("<script type=\"application/octet-stream\" id=\"zk-cart\" data-name=\"") +
                       safe + "\">" + standalone_base64(image.data(), image.size()) + "</script>";
  page = player_html;
  page.replace(at, std::strlen(kCartSlot), filled);
  return true;
}

std::vector<std::string> standalone_player_places(const std::string& dir) {
  std::vector<std::string> places;
  for (const char* up : {"", "../../"}) {
    std::string d = dir + up;
    places.push_back(d + "zurkel.html");
    places.push_back(d + "web/zurkel.html");
    places.push_back(d + "../build-web/zurkel.html");
  }
  return places;
}

std::string standalone_base64(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  for (size_t i = 0; i < size; i += 3) {
    uint32_t v = static_cast<uint32_t>(data[i]) << 16;
    if (i + 1 < size) v |= static_cast<uint32_t>(data[i + 1]) << 8;
    if (i + 2 < size) v |= data[i + 2];
    out += kBase64[v >> 18 & 63];
    out += kBase64[v >> 12 & 63];
    out += i + 1 < size ? kBase64[v >> 6 & 63] : '=';
    out += i + 2 < size ? kBase64[v & 63] : '=';
  }
  return out;
}

std::vector<uint8_t> standalone_unbase64(const std::string& text) {
  std::vector<uint8_t> out;
  uint32_t v = 0;
  int bits = 0;
  for (char c : text) {
    const char* p = c ? std::strchr(kBase64, c) : nullptr;
    if (!p) continue;  // padding, line breaks
    v = v << 6 | static_cast<uint32_t>(p - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(v >> bits));
    }
  }
  return out;
}

std::string standalone_export_loaded_page(zurkel_machine* m, const std::string& path) {
  char here[BRIM_PATH_MAX];
  brim_prefix_with_program_path("", here);
  std::string player;
  for (const std::string& p : standalone_player_places(here)) {
    FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) continue;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    player.resize(n > 0 ? static_cast<size_t>(n) : 0);
    bool ok = n > 0 && std::fread(player.data(), 1, player.size(), f) == player.size();
    std::fclose(f);
    if (ok) break;
    player.clear();
  }
  if (player.empty()) return "no web player (scripts/web.sh)";
  std::vector<uint8_t> image;
  std::string page, error;
  if (!standalone_cart_image(get_loaded_cart(m), image, error)) return "cart too large to export";
  if (!standalone_page(player, image, standalone_cart_name(m->loaded.name), page, error))
    return "no web player (scripts/web.sh)";
  if (!brim_write_file_safely(path.c_str(), write_text, &page)) return "could not write file";
  return "";
}
