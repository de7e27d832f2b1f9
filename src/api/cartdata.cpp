#include "api/cartdata.h"

#include <cstdio>
#include <cstring>

#include "lang/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "console/main_loop.h"
#include "machine/machine.h"
#include "runner/errors.h"
#include "settings/config.h"
#include "settings/folders.h"

bool (*cartdata_program_started)() = nullptr;
const char* (*cartdata_cart_name)() = nullptr;

namespace {
char id[ZURKEL_CARTDATA_ID_MAX + 1];
uint64_t last_save_ms = 0;

bool started() { return cartdata_program_started && cartdata_program_started(); }

bool legal_char(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// False when the path would not fit.
bool file_path(char* out) {
  int n = std::snprintf(out, BRIM_PATH_MAX + 80, "%s%s.zkd.txt", console_config.cdata_path, id);
  return n > 0 && n < BRIM_PATH_MAX;
}

bool write_text(FILE* f, void* ctx) {
  const char* text = static_cast<const char*>(ctx);
  return std::fwrite(text, 1, 520, f) == 520;
}

bool slot_usable() {
  if (id[0]) return true;
  const char* name = cartdata_cart_name ? cartdata_cart_name() : nullptr;
  return started() && name && name[0];
}

// The index is the raw argument taken as unsigned: 0..0x3FFFFF.
int word_index(lua_State* L) {
  uint32_t raw = static_cast<uint32_t>(zk_arg_fix(L, 1));
  return raw <= 0x3FFFFF ? static_cast<int>(raw >> 16) : -1;
}
}  // namespace

void cartdata_format(const uint32_t words[64], char out[521]) {
  int n = 0;
  for (int line = 0; line < 8; line++) {
    for (int i = 0; i < 8; i++) n += std::snprintf(out + n, 521 - n, "%08x", words[8 * line + i]);
    out[n++] = '\n';
  }
  out[n] = 0;
}

void cartdata_parse(const char* text, int len, uint32_t words[64]) {
  char digits[512];
  int count = 0;
  for (int i = 0; i < len && i < 1024 && count < 512; i++)
    if (hex_value(text[i]) >= 0) digits[count++] = text[i];
  for (int w = 0; w < 64; w++) {
    uint32_t v = 0;
    bool any = false;
    for (int d = 8 * w; d < 8 * w + 8 && d < count; d++) {
      v = v << 4 | static_cast<uint32_t>(hex_value(digits[d]));
      any = true;
    }
    words[w] = any ? v : 0;
  }
}

int load_cdata(const char* new_id) {
  if (!started() || !pstate) return 1;
  if (id[0]) {
    zurkel_runtime_error("cartdata() can only be called once");
    return 2;
  }
  if (!new_id) return 3;
  size_t len = std::strlen(new_id);
  if (len == 0 || len > ZURKEL_CARTDATA_ID_MAX) {
    zurkel_runtime_error("cart data id too long");
    return 2;
  }
  for (size_t i = 0; i < len; i++)
    if (!legal_char(new_id[i])) {
      zurkel_runtime_error("cart data id: bad char");
      return 2;
    }
  std::memcpy(id, new_id, len + 1);
  std::memset(pstate->cartdata, 0, sizeof pstate->cartdata);
  char path[BRIM_PATH_MAX + 80];
  FILE* f = file_path(path) ? std::fopen(path, "rb") : nullptr;
  if (!f) return 1;
  char buf[1024];
  int n = static_cast<int>(std::fread(buf, 1, sizeof buf, f));
  std::fclose(f);
  cartdata_parse(buf, n, pstate->cartdata);
  return 0;
}

int save_cdata() {
  if (!pstate) return 0;
  pstate->cartdata_dirty = false;
  last_save_ms = brim_get_time();
  if (!started() || !id[0]) return 0;
  char text[521];
  cartdata_format(pstate->cartdata, text);
  char path[BRIM_PATH_MAX + 80];
  if (!file_path(path)) return 1;
  return brim_write_file_safely(path, write_text, text) ? 0 : 1;
}

void save_cdata_if_due() {
  if (pstate && pstate->cartdata_dirty && brim_get_time() - last_save_ms > 1000) save_cdata();
}

void cartdata_clear_id() { id[0] = 0; }
const char* cartdata_id() { return id; }

int zk_cartdata(lua_State* L) {
  int t = lua_type(L, 1);
  if (t != LUA_TSTRING && t != LUA_TNUMBER) return 0;
  const char* text = lua_tostring(L, 1);
  int r = load_cdata(text);
  if (r == 2) return lua_yield(L, 0);
  lua_pushboolean(L, r == 0);
  return 1;
}

int zk_dget(lua_State* L) {
  if (!slot_usable()) {
    zurkel_runtime_error("** dget called before cartdata()");
    return lua_yield(L, 0);
  }
  int i = word_index(L);
  zk_push_fix(L, i >= 0 && pstate ? static_cast<int32_t>(pstate->cartdata[i]) : 0);
  return 1;
}

int zk_dset(lua_State* L) {
  if (!slot_usable()) {
    zurkel_runtime_error("** dset called before cartdata()");
    return lua_yield(L, 0);
  }
  int i = word_index(L);
  if (i >= 0 && pstate) {
    pstate->cartdata[i] = static_cast<uint32_t>(zk_arg_fix(L, 2));
    pstate->cartdata_dirty = true;
  }
  return 0;
}
