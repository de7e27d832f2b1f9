#include "api/cartdata.h"

#include <cstdio>
#include <cstring>

#include "api/registry.h"
#include "base/lost_writes.h"
#include "base/safe_write.h"
#include "script/zk_args.h"
#include "lauxlib.h"
#include "lua.h"
#include "machine/fault.h"
#include "machine/machine.h"
#include "settings/config.h"
#include "settings/folders.h"

static_assert(sizeof zurkel_machine::cartdata_id == ZURKEL_CARTDATA_ID_MAX + 1);

namespace {

bool legal_char(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// False when the path would not fit.
bool file_path(const zurkel_machine* m, char* out) {
  int n = std::snprintf(out, BRIM_PATH_MAX + 80, "%s%s.zkd.txt", console_config.cdata_path,
                        m->cartdata_id);
  return n > 0 && n < BRIM_PATH_MAX;
}

bool write_text(FILE* f, void* ctx) {
  const char* text = static_cast<const char*>(ctx);
  return std::fwrite(text, 1, 520, f) == 520;
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

int load_cdata(zurkel_machine* m, const char* new_id) {
  if (!m || !m->run.program_started) return 1;
  if (m->cartdata_id[0]) {
    zurkel_runtime_error(m, "cartdata() can only be called once");
    return 2;
  }
  if (!new_id) return 3;
  size_t len = std::strlen(new_id);
  if (len == 0 || len > ZURKEL_CARTDATA_ID_MAX) {
    zurkel_runtime_error(m, "cart data id too long");
    return 2;
  }
  for (size_t i = 0; i < len; i++)
    if (!legal_char(new_id[i])) {
      zurkel_runtime_error(m, "cart data id: bad char");
      return 2;
    }
  std::memcpy(m->cartdata_id, new_id, len + 1);
  std::memset(m->cartdata, 0, sizeof m->cartdata);
  char path[BRIM_PATH_MAX + 80];
  FILE* f = file_path(m, path) ? std::fopen(path, "rb") : nullptr;
  if (!f) return 1;
  char buf[1024];
  int n = static_cast<int>(std::fread(buf, 1, sizeof buf, f));
  std::fclose(f);
  cartdata_parse(buf, n, m->cartdata);
  return 0;
}

int save_cdata(zurkel_machine* m) {
  if (!m) return 0;
  m->cartdata_dirty = false;
  if (!m->run.program_started || !m->cartdata_id[0]) return 0;
  char text[521];
  cartdata_format(m->cartdata, text);
  char path[BRIM_PATH_MAX + 80];
  bool ok = file_path(m, path) && brim_write_file_safely(path, write_text, text);
  // Said once for a run of failures (it is tried again at every change),
  // and the old file stays as it was.
  static bool failing = false;
  if (!ok && !failing) {
    brim_report_lost_write(path);
    m->host->show_message("** failed to save cart data", 1900);
  }
  failing = !ok;
  return ok ? 0 : 1;
}

void cartdata_clear_id(zurkel_machine* m) { m->cartdata_id[0] = 0; }
const char* cartdata_id(const zurkel_machine* m) { return m->cartdata_id; }

int zk_cartdata(lua_State* L) {
  int t = lua_type(L, 1);
  if (t != LUA_TSTRING && t != LUA_TNUMBER) return 0;
  const char* text = lua_tostring(L, 1);
  int r = load_cdata(zk_machine(L), text);
  if (r == 2) return lua_yield(L, 0);
  lua_pushboolean(L, r == 0);
  return 1;
}

// The machine when its cart-data slot is open; otherwise the runtime error
// "** NAME called before cartdata()" is raised and null returned.
static zurkel_machine* open_slot(lua_State* L, const char* name) {
  zurkel_machine* m = zk_machine(L);
  if (m && m->cartdata_id[0]) return m;
  char error[64];
  std::snprintf(error, sizeof error, "** %s called before cartdata()", name);
  zurkel_runtime_error(m, error);
  return nullptr;
}

int zk_dget(lua_State* L) {
  zurkel_machine* m = open_slot(L, "dget");
  if (!m) return lua_yield(L, 0);
  int i = word_index(L);
  zk_push_fix(L, i >= 0 ? static_cast<int32_t>(m->cartdata[i]) : 0);
  return 1;
}

int zk_dset(lua_State* L) {
  zurkel_machine* m = open_slot(L, "dset");
  if (!m) return lua_yield(L, 0);
  int i = word_index(L);
  if (i >= 0) {
    m->cartdata[i] = static_cast<uint32_t>(zk_arg_fix(L, 2));
    m->cartdata_dirty = true;
  }
  return 0;
}

const zk_api_entry zk_cartdata_api[] = {
    {"cartdata", zk_cartdata},
    {"dget", zk_dget},
    {"dset", zk_dset},
    {nullptr, nullptr},
};
