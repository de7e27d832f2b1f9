// Script functions that are pure arithmetic on 16.16 numbers, and the
// number/text conversions tonum and tostr.
#include <cstdio>
#include <cstring>

#include "api/registry.h"
#include "lang/fixed.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/machine.h"

namespace {

int nargs(lua_State* L) { return lua_gettop(L); }

int push(lua_State* L, int32_t raw) {
  zk_push_fix(L, raw);
  return 1;
}

}  // namespace

int zk_flr(lua_State* L) {
  if (nargs(L) == 1) refund_cpu(zk_machine(L), -2);
  return push(L, zk_arg_fix(L, 1) & ~0xFFFF);
}

int zk_abs(lua_State* L) {
  int32_t x = zk_arg_fix(L, 1);
  return push(L, x < 0 ? zk_fneg(x) : x);
}

int zk_sgn(lua_State* L) { return push(L, zk_arg_fix(L, 1) < 0 ? -FIX_ONE : FIX_ONE); }

int zk_min(lua_State* L) {
  int32_t a = zk_arg_fix(L, 1), b = zk_arg_fix(L, 2);
  return push(L, a < b ? a : b);
}

int zk_max(lua_State* L) {
  int32_t a = zk_arg_fix(L, 1), b = zk_arg_fix(L, 2);
  return push(L, a > b ? a : b);
}

int zk_mid(lua_State* L) {
  int32_t a = zk_arg_fix(L, 1), b = zk_arg_fix(L, 2), c = zk_arg_fix(L, 3);
  auto smaller = [](int32_t x, int32_t y) { return x < y ? x : y; };
  if (a < b && a < c) return push(L, smaller(b, c));
  if (b < a && b < c) return push(L, smaller(a, c));
  return push(L, smaller(a, b));
}

int zk_cos(lua_State* L) { return push(L, fcos(zk_arg_fix(L, 1))); }
int zk_sin(lua_State* L) { return push(L, fsin(zk_arg_fix(L, 1))); }
int zk_atan2(lua_State* L) { return push(L, fatan2(zk_arg_fix(L, 1), zk_arg_fix(L, 2))); }

int zk_sqrt(lua_State* L) {
  spend_cpu(zk_machine(L), 16);
  return push(L, fsqrt(zk_arg_fix(L, 1)));
}

int zk_rnd(lua_State* L) {
  spend_cpu(zk_machine(L), 4);
  int32_t n = nargs(L) == 0 ? FIX_ONE : zk_arg_fix(L, 1);
  return push(L, zurkel_random(n));
}

int zk_srand(lua_State* L) {
  zurkel_srand(static_cast<uint32_t>(zk_arg_fix(L, 1)) & 0x7FFFFFFF);
  return 0;
}

int zk_band(lua_State* L) {
  if (nargs(L) == 2) refund_cpu(zk_machine(L), -3);
  return push(L, zk_arg_fix(L, 1) & zk_arg_fix(L, 2));
}

int zk_bor(lua_State* L) {
  if (nargs(L) == 2) refund_cpu(zk_machine(L), -3);
  return push(L, zk_arg_fix(L, 1) | zk_arg_fix(L, 2));
}

int zk_bxor(lua_State* L) {
  if (nargs(L) == 2) refund_cpu(zk_machine(L), -3);
  return push(L, zk_arg_fix(L, 1) ^ zk_arg_fix(L, 2));
}

int zk_bnot(lua_State* L) {
  if (nargs(L) == 1) refund_cpu(zk_machine(L), -2);
  return push(L, ~zk_arg_fix(L, 1));
}

// Shift counts: the integer part; above 31 everything is shifted out,
// otherwise the count is taken modulo 32 (so -1 shifts by 31).
int zk_shl(lua_State* L) {
  if (nargs(L) == 2) refund_cpu(zk_machine(L), -3);
  uint32_t a = static_cast<uint32_t>(zk_arg_fix(L, 1));
  int k = zk_arg_int(L, 2);
  if (k > 31) return push(L, 0);
  return push(L, static_cast<int32_t>(a << (k & 31)));
}

int zk_shr(lua_State* L) {
  if (nargs(L) == 2) refund_cpu(zk_machine(L), -3);
  int32_t a = zk_arg_fix(L, 1);
  int k = zk_arg_int(L, 2);
  if (k > 31) return push(L, 0);
  return push(L, a >> (k & 31));
}

int zk_tonum(lua_State* L) {
  switch (lua_type(L, 1)) {
    case LUA_TNUMBER:
      lua_pushvalue(L, 1);
      return 1;
    case LUA_TSTRING: {
      size_t len = 0;
      const char* s = lua_tolstring(L, 1, &len);
      int32_t v = 0;
      if (!zurkel_str_to_fixed(s, len, &v)) return 0;
      // A leading "-" always gives a negative value (or 0).
      if (len > 0 && s[0] == '-' && v >= 0) v = zk_fneg(v);
      return push(L, v);
    }
    default:
      return 0;
  }
}

int zk_tostr(lua_State* L) {
  char buf[4096];
  switch (lua_type(L, 1)) {
    case LUA_TSTRING:
      lua_pushvalue(L, 1);
      return 1;
    case LUA_TNUMBER: {
      int32_t raw = zk_arg_fix(L, 1);
      if (zk_arg_truthy(L, 2)) {
        uint32_t u = static_cast<uint32_t>(raw);
        std::snprintf(buf, sizeof buf, "0x%04x.%04x", u / 65536, u & 0xFFFF);
      } else {
        zurkel_fixed_to_string(buf, raw);
      }
      break;
    }
    case LUA_TBOOLEAN:
      std::snprintf(buf, sizeof buf, "%s", lua_toboolean(L, 1) ? "true" : "false");
      break;
    default:
      std::snprintf(buf, sizeof buf, "[%s]", lua_typename(L, lua_type(L, 1)));
      break;
  }
  lua_pushstring(L, buf);
  return 1;
}

const zk_api_entry zk_lang_api[] = {
    {"flr", zk_flr},     {"abs", zk_abs},     {"sgn", zk_sgn},       {"min", zk_min},
    {"max", zk_max},     {"mid", zk_mid},     {"cos", zk_cos},       {"sin", zk_sin},
    {"atan2", zk_atan2}, {"sqrt", zk_sqrt},   {"rnd", zk_rnd},       {"srand", zk_srand},
    {"band", zk_band},   {"bor", zk_bor},     {"bxor", zk_bxor},     {"bnot", zk_bnot},
    {"shl", zk_shl},     {"shr", zk_shr},     {"tonum", zk_tonum},   {"tostr", zk_tostr},
    {nullptr, nullptr},
};
