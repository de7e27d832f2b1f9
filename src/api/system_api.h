// System queries: stat, time and the inert services.
#pragma once
#include <cstdint>

struct lua_State;

struct zurkel_machine;

// The value of stat(n) as a number (n other than 4 and 6); charges nothing.
int32_t zurkel_stat_value(zurkel_machine* m, int n);
// Reads "%Y-%m-%d %H:%M:%S" back into year..second; missing fields are 0.
void zurkel_parse_clock(const char* text, int out[6]);

int zk_stat(lua_State* L);
int zk_time(lua_State* L);
int zk_printh(lua_State* L);
int zk_extcmd(lua_State* L);
int zk_login(lua_State* L);
int zk_logout(lua_State* L);
int zk_bbsreq(lua_State* L);
int zk_scoresub(lua_State* L);
