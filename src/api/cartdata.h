// Cartridge save data: 64 words kept between runs in "<id>.zkd.txt" in the
// cart-data folder (the words themselves live in pstate, 0x5E00-0x5EFF).
#pragma once
#include <cstdint>

struct lua_State;

constexpr int ZURKEL_CARTDATA_ID_MAX = 64;

// 0 loaded, 1 no file or nothing running, 2 refused with a runtime error,
// 3 no id.
int load_cdata(const char* id);
// 0, or 1 when the file cannot be opened. Clears the dirty flag.
int save_cdata();
// Saves when the data is dirty and more than 1,000 ms passed since the
// last write-out (called after each program slice).
void save_cdata_if_due();
// At every program start.
void cartdata_clear_id();
const char* cartdata_id();   // "" when no slot is open

// The file's 520 bytes for the given words, and the words read back from
// a file's text (at most 1,024 bytes are looked at).
void cartdata_format(const uint32_t words[64], char out[521]);
void cartdata_parse(const char* text, int len, uint32_t words[64]);

// Hooks the runner provides: whether a cartridge program has been started,
// and the running cart's name (dget/dset work without cartdata with one).
extern bool (*cartdata_program_started)();
extern const char* (*cartdata_cart_name)();

int zk_cartdata(lua_State* L);
int zk_dget(lua_State* L);
int zk_dset(lua_State* L);
