// The script API registry: every global a cartridge sees is listed once, in
// one table per subsystem. Registration, the API name list used by token
// counting and any help text read these tables.
#pragma once

#include "base/api_entry.h"

// Each table ends with {nullptr, nullptr}.
extern const zk_api_entry zk_lang_api[];     // numbers, bits, strings, coroutines
extern const zk_api_entry zk_runner_api[];   // flip, stat, time, run chain, menu items
extern const zk_api_entry zk_gfx_api[];      // drawing, sprites, map, text
extern const zk_api_entry zk_memory_api[];   // peek, poke, memcpy, reload, cstore, cartdata
extern const zk_api_entry zk_input_api[];    // btn, btnp
extern const zk_api_entry zk_audio_api[];    // sfx, music
extern const zk_api_entry zk_shell_api[];    // load, save, ls, cd, folder ...

// All tables, in registration order, ending with nullptr.
extern const zk_api_entry* const zk_api_tables[];
