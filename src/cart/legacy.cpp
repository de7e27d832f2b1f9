#include "cart/legacy.h"

#include <cstdio>
#include <cstring>

#include "gfx/printer.h"

// Carts written for the 0.1.1 runtime relied on collection functions that
// kept each table's element count and index bounds in the fields _num, _min
// and _max (with _ci the index being visited), and on a global counter nd
// the runtime set to 0. One such cart is recognised by the statement that
// counts with that global; it gets the old functions back in front of its
// code. The block is exactly 1,271 bytes.
const char* const ZURKEL_LEGACY_011_BLOCK =
    "--------------------------------\n"
    "-- legacy 0.1.1 api injected\n"
    "--------------------------------\n"
    "function _validate(t) if t._num==nil then local n=#t t._min=1 t._max=n t._num=n t._ci=0 "
    "end if t._min==nil then t._min=1 end if t._max==nil then t._max=t._min+t._num-1 end if "
    "t._ci==nil then t._ci=0 end end function add(t,v) if t==nil then return end "
    "_validate(t) t._max=t._max+1 t[t._max]=v t._num=t._num+1 return v end function del(t,v) "
    "if t==nil or v==nil then return end _validate(t) for i=t._min,t._max do if t[i]==v then "
    "t[i]=nil t._num=t._num-1 while t._min<=t._max and t[t._min]==nil do t._min=t._min+1 end "
    "while t._max>=t._min and t[t._max]==nil do t._max=t._max-1 end if t._num<=0 then "
    "t._num=0 t._min=1 t._max=0 end return v end end end function count(t,v) if t==nil then "
    "return 0 end _validate(t) if v==nil then return t._num end local c=0 for "
    "i=t._min,t._max do if t[i]==v then c=c+1 end end return c end function all(t) if t==nil "
    "then return function() end end _validate(t) local i=t._min-1 return function() repeat "
    "i=i+1 until i>t._max or t[i]~=nil if i<=t._max then t._ci=i return t[i] end t._ci=0 end "
    "end function foreach(t,f) if t==nil or f==nil then return end local n=0 for v in all(t) "
    "do f(v) n=n+1 end return n end\n"
    "nd=0\n"
    "--------------------------------\n"
    "\n";

const char* const ZURKEL_LEGACY_011_STATEMENT = "nd=nd+1";

namespace {

bool loops(const zurkel_sfx& s) { return s.loop_start < s.loop_end; }

void swap_pattern_columns(zurkel_machine* m, zurkel_cart* cart) {
  for (int p = 0; p < 64; p++) {
    int* chan = cart->music[p];
    int len[4] = {0, 0, 0, 0};
    int longest = 0, first_once = -1;
    for (int c = 0; c < 4; c++) {
      if (chan[c] >= 64) continue;
      const zurkel_sfx& s = cart->sfx[chan[c]];
      len[c] = 32 * (s.speed > 1 ? s.speed : 1);
      if (len[c] > longest) longest = len[c];
      if (first_once < 0 && !loops(s)) first_once = c;
    }
    if (first_once < 0 || len[first_once] == longest) continue;
    auto full_once = [&](int c) {
      return chan[c] < 64 && !loops(cart->sfx[chan[c]]) && len[c] == longest;
    };
    if (full_once(0)) continue;
    for (int c = 1; c < 4; c++) {
      if (!full_once(c)) continue;
      int t = chan[0];
      chan[0] = chan[c];
      chan[c] = t;
      char msg[64];
      std::snprintf(msg, sizeof msg, "legacy: pat %d swap chan: %d %d", p, 0, c);
      zurkel_print_col(m, msg, 6);
      break;
    }
  }
}

void quieten_noise(zurkel_cart* cart) {
  for (auto& s : cart->sfx)
    for (auto& n : s.notes)
      if (n.waveform == 6 && (n.volume == 6 || n.volume == 7)) n.volume = 5;
}

void inject_collection_block(zurkel_machine* m, zurkel_cart* cart) {
  if (!cart->code || !std::strstr(cart->code, ZURKEL_LEGACY_011_STATEMENT)) return;
  if (std::strstr(cart->code, "-- legacy 0.1.1 api injected")) return;
  size_t block = std::strlen(ZURKEL_LEGACY_011_BLOCK);
  size_t code = std::strlen(cart->code);
  size_t room = ZURKEL_CODE_BUFFER - 1 - block;  // the rest of the old code is cut
  if (code > room) code = room;
  std::memmove(cart->code + block, cart->code, code);
  std::memcpy(cart->code, ZURKEL_LEGACY_011_BLOCK, block);
  cart->code[block + code] = 0;
  zurkel_print_col(m, "legacy: 0.1.1 api injected", 6);
}

bool uses_newer_sound(const zurkel_cart* cart) {
  for (const auto& s : cart->sfx) {
    if (s.mode > 1 || s.loop_start > 63 || s.loop_end > 63) return true;
    for (const auto& n : s.notes)
      if (n.flags) return true;
  }
  return false;
}

}  // namespace

void apply_legacy_changes(zurkel_machine* m, zurkel_cart* cart) {
  if (!cart) return;
  if (cart->version <= 4) {
    swap_pattern_columns(m, cart);
    quieten_noise(cart);
    inject_collection_block(m, cart);
  }
  if (cart->version <= 10 && !uses_newer_sound(cart)) {
    for (auto& s : cart->sfx)
      for (auto& n : s.notes)
        if (n.effect == 1 && n.volume == 0) n.effect = 0;
  }
  cart->version = ZURKEL_CART_VERSION;
}
