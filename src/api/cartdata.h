// Cartridge save data: 64 words kept between runs in "<id>.zkd.txt" in the
// cart-data folder (the words themselves and the open slot's id live in the
// machine, 0x5E00-0x5EFF). Nothing is read or written before a cartridge
// program has been started.
#pragma once
#include <cstdint>

struct lua_State;
struct zurkel_machine;

constexpr int ZURKEL_CARTDATA_ID_MAX = 64;

// 0 loaded, 1 no file or nothing running, 2 refused with a runtime error,
// 3 no id.
int load_cdata(zurkel_machine* m, const char* id);
// 0, or 1 when the file cannot be opened. Clears the dirty flag.
int save_cdata(zurkel_machine* m);
// At every program start.
void cartdata_clear_id(zurkel_machine* m);
const char* cartdata_id(const zurkel_machine* m);   // "" when no slot is open

// The file's 520 bytes for the given words, and the words read back from
// a file's text (at most 1,024 bytes are looked at).
void cartdata_format(const uint32_t words[64], char out[521]);
void cartdata_parse(const char* text, int len, uint32_t words[64]);

int zk_cartdata(lua_State* L);
int zk_dget(lua_State* L);
int zk_dset(lua_State* L);
