// The entry type of the script API registry: every global a cartridge sees
// is one {name, entry point} pair in a table (the tables themselves are
// the bindings', listed once in api/registry.h).
#pragma once

struct lua_State;
using zk_cfunction = int (*)(lua_State*);

struct zk_api_entry {
  const char* name;   // the script-visible global name
  zk_cfunction fn;    // its entry point, zk_<name>
};
