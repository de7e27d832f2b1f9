// Script API entry points of the sound engine: sfx and music.
#include <algorithm>

#include "api/audio_api.h"
#include "api/registry.h"
#include "audio/audio.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/machine.h"

static zurkel_cart* live_cart(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  return m ? m->cart : nullptr;
}

// sfx(n, [channel], [offset], [length])
int zk_sfx(lua_State* L) {
  if (lua_gettop(L) == 0) return 0;
  int n = zk_arg_int(L, 1);
  int channel = lua_isnoneornil(L, 2) ? -1 : zk_arg_int(L, 2);
  int offset = zk_arg_int(L, 3);
  int length = zk_arg_int(L, 4);
  if (channel < -2 || channel > 3) return 0;
  zurkel_cart* cart = live_cart(L);
  if (n == -1) {
    // sfx(-1, -2) names no channel and does nothing.
    if (channel >= -1) brim_play_sfx_ex(nullptr, 0, 0, nullptr, channel);
    return 0;
  }
  if (n == -2) {
    brim_release_looping_zurkel_channel(channel);
    return 0;
  }
  if (channel == -2) {
    if (cart && n >= 0 && n <= 63) brim_stop_sfx(&cart->sfx[n]);
    return 0;
  }
  spend_cpu(zk_machine(L), 16);
  if (!cart) return 0;
  const zurkel_sfx* e = &cart->sfx[std::clamp(n, 0, 63)];
  brim_stop_sfx(e);
  brim_play_sfx_ex(e, std::clamp(offset, 0, 31), length, cart, channel);
  return 0;
}

// music(n, [fade_len], [channel_mask])
int zk_music(lua_State* L) {
  int n = zk_arg_int(L, 1);
  int fade = zk_arg_int(L, 2);
  int mask = zk_arg_int(L, 3);
  if (n == -1) {
    cmusic_stop(fade);
  } else {
    brim_play_zurkel_song(live_cart(L), std::clamp(n, 0, 63), fade);
    brim_set_music_channel_mask(mask);
  }
  spend_cpu(zk_machine(L), 16);
  return 0;
}

const zk_api_entry zk_audio_api[] = {
    {"sfx", zk_sfx},
    {"music", zk_music},
    {nullptr, nullptr},
};
