// The script API registry: every global a cartridge sees is listed once, in
// the table of its topic's file (api/*_api.cpp); the one list below names
// the tables in registration order, as Lua's linit.c lists its libraries.
// Registration, the API name list used by token counting and any help text
// read it.
#pragma once

#include "base/api_entry.h"

// Each table ends with {nullptr, nullptr}.
extern const zk_api_entry zk_lang_api[];     // numbers, bits, strings, coroutines
extern const zk_api_entry zk_runner_api[];   // flip, stop, run, frame controls, menu items
extern const zk_api_entry zk_system_api[];   // stat, time and the inert services
extern const zk_api_entry zk_gfx_api[];      // drawing, sprites, map, text
extern const zk_api_entry zk_memory_api[];   // peek, poke, memcpy, memset, reload, cstore
extern const zk_api_entry zk_cartdata_api[]; // cartdata, dget, dset
extern const zk_api_entry zk_input_api[];    // btn, btnp
extern const zk_api_entry zk_audio_api[];    // sfx, music
extern const zk_api_entry zk_shell_api[];    // load, save, ls, cd, folder ...

// All tables, in registration order, ending with nullptr.
extern const zk_api_entry* const zk_api_tables[];
