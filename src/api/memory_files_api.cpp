// reload and cstore: ROM bytes between the machine and cartridge files.
#include <cstring>
#include <string>

#include "api/memory_api.h"
#include "cart/cart_files.h"
#include "cart/pipeline.h"
#include "script/zk_args.h"
#include "lua.h"
#include "base/debug.h"
#include "machine/memory.h"
#include "machine/machine.h"
#include "cart/embedded_carts.h"
#include "machine/cpu.h"
#include "settings/folders.h"

namespace {

constexpr int kRomSize = ZURKEL_ADDR_RAM;  // the ROM part ends at 0x4300
constexpr int kMaxNameLength = 512;
constexpr int kCostCap = 4096;

int capped(int len) { return len > kCostCap ? kCostCap : len; }

// reload and cstore: (dest, src, len) when given all three, else the whole
// ROM part (0, 0, 0x4300). True when the three were given.
bool read_block_args(lua_State* L, int* dest, int* src, int* len) {
  if (lua_gettop(L) < 3) {
    *dest = *src = 0;
    *len = kRomSize;
    return false;
  }
  *dest = zk_arg_int(L, 1);
  *src = zk_arg_int(L, 2);
  *len = zk_arg_int(L, 3);
  return true;
}

// A ".." component would let a program write outside the cstore folder.
bool climbs_out(const std::string& name) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
    start = end + 1;
  }
  return false;
}

void make_parent_folder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) brim_make_folder(path.substr(0, slash).c_str());
}

}  // namespace

std::string zk_cart_file_for_name(const char* name_in, bool reading) {
  std::string name = name_in ? name_in : "";
  if (name.compare(0, 2, "__") == 0) return "";
  if (!reading && name.size() >= static_cast<size_t>(kMaxNameLength)) return "";
  if (const char* hash = get_embedded_cart_hash_for_filename(name.c_str())) {
    std::string sandbox = get_sandboxed_cstore_filename(hash);
    if (!reading || cart_file_exists(sandbox)) return sandbox;
    brim_debugf("sandboxed_cstore file not found: %s\n", sandbox.c_str());
    brim_debugf("  --> using internal file: %s\n", name.c_str());
    return name;
  }
  if (!name.empty() && name[0] == '/') name.erase(0, 1);
  // Decision: names that step out of the cstore folder are refused.
  if (name.empty() || climbs_out(name)) return "";
  return cart_data_folder() + "cstore/" + name;
}

int zk_reload(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  int n = lua_gettop(L);
  int dest, src, len;
  // Fewer than three arguments: the whole ROM part, at the full cost.
  spend_cpu(m, read_block_args(L, &dest, &src, &len) ? 8 * capped(len) : 0x8000);
  int count = n >= 3 ? static_cast<int16_t>(len) : len;
  if (n == 4) {
    const char* name = lua_tostring(L, 4);
    std::string file = zk_cart_file_for_name(name, true);
    if (file.empty()) {
      zk_push_int(L, 0);
      return 1;
    }
    brim_debugf("  reload()ing %d bytes from: %s\n", count, file.c_str());
    int mark = zk_error_mark(L);
    int rc = reload_cart_partial(m, file.c_str(), dest, src, count);
    zk_push_int(L, rc == 0 ? count : 0);
    return zk_finish(L, mark, 1);
  }
  int mark = zk_error_mark(L);
  zurkel_reload(m, nullptr, dest, src, count);
  zk_push_int(L, count);
  return zk_finish(L, mark, 1);
}

int zk_cstore(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (!m) return 0;
  int n = lua_gettop(L);
  int dest, src, len;
  spend_cpu(m, read_block_args(L, &dest, &src, &len) ? 64 * capped(len) : 0x40000);
  std::string file;
  int also_loaded = 0;
  if (n < 4) {
    file = get_sandboxed_cstore_filename(m->loaded.hash);
    also_loaded = 1;
  } else {
    file = zk_cart_file_for_name(lua_tostring(L, 4), false);
    if (file.empty()) {
      zk_push_int(L, 0);
      return 1;
    }
  }
  brim_debugf("zk_cstore: storing %d bytes as: %s\n", len, file.c_str());
  make_parent_folder(file);
  int mark = zk_error_mark(L);
  int rc = cstore_cart_partial(m, file.c_str(), dest, src, len, also_loaded);
  zk_push_int(L, rc == 0 ? len : 0);
  return zk_finish(L, mark, 1);
}
