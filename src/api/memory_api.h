// The memory functions of the script API: byte access to the 32 KiB map
// and the copying of ROM bytes between the machine and cartridge files.
#pragma once
#include <string>
struct lua_State;

int zk_peek(lua_State* L);
int zk_poke(lua_State* L);
int zk_memcpy(lua_State* L);
int zk_memset(lua_State* L);
int zk_reload(lua_State* L);
int zk_cstore(lua_State* L);

// The file reload/cstore work on for a script-given name: "" when the name
// is refused (starts with "__", or is 512 characters or more), the sandboxed
// file of an embedded cart of that name, else the name inside the "cstore/"
// folder of the data folder (a leading "/" dropped).
// reading: true for reload (a missing sandboxed file falls back to the name).
std::string zk_cart_file_for_name(const char* name, bool reading);

// A memory function that raised a runtime error ("bad memory access") yields
// right after it, as every API function does, so the program stops there.
// Take the mark before the memory work; zk_finish then returns the
// function's nresults, or yields when the work raised an error.
int zk_error_mark(lua_State* L);
int zk_finish(lua_State* L, int mark, int nresults);
