// Script API entry points of the sound engine (table zk_audio_api).
#pragma once

struct lua_State;

int zk_sfx(lua_State* L);
int zk_music(lua_State* L);
