// Script API entry points of this subsystem, registered by the runner.
#include "api/cartdata.h"
#include "api/memory_api.h"
#include "api/registry.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/machine.h"
#include "machine/memory.h"

namespace {

int nargs(lua_State* L) { return lua_gettop(L); }

zurkel_cart* live_cart(const zurkel_machine* m) { return m ? m->cart : nullptr; }

}  // namespace

// The stop-and-report request that zurkel_runtime_error leaves for the main
// loop (it is ignored, and so never seen here, during the reset effect).
int zk_error_mark(lua_State* L) {
  const zurkel_machine* m = zk_machine(L);
  return m ? m->pending_command & 4 : 0;
}
int zk_finish(lua_State* L, int mark, int nresults) {
  return !mark && zk_error_mark(L) ? lua_yield(L, 0) : nresults;
}

int zk_peek(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (nargs(L) == 1) refund_cpu(m, -2);
  zk_push_int(L, zurkel_peek(m, live_cart(m), zk_arg_int(L, 1)));
  return 1;
}

int zk_poke(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  if (nargs(L) == 2) refund_cpu(m, -3);
  int mark = zk_error_mark(L);
  zurkel_poke(m, live_cart(m), zk_arg_int(L, 1), zk_arg_int(L, 2));
  return zk_finish(L, mark, 0);
}

int zk_memcpy(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  int dest = zk_arg_int(L, 1), src = zk_arg_int(L, 2), len = zk_arg_int(L, 3);
  spend_cpu(m, len + 1);
  int mark = zk_error_mark(L);
  zurkel_memcpy(m, live_cart(m), dest, src, len);
  return zk_finish(L, mark, 0);
}

int zk_memset(lua_State* L) {
  zurkel_machine* m = zk_machine(L);
  int dest = zk_arg_int(L, 1), value = zk_arg_int(L, 2), len = zk_arg_int(L, 3);
  spend_cpu(m, (len + 1) / 2);
  int mark = zk_error_mark(L);
  zurkel_memset(m, live_cart(m), dest, value, len);
  return zk_finish(L, mark, 0);
}

const zk_api_entry zk_memory_api[] = {
    {"peek", zk_peek},
    {"poke", zk_poke},
    {"memcpy", zk_memcpy},
    {"memset", zk_memset},
    {"reload", zk_reload},
    {"cstore", zk_cstore},
    {nullptr, nullptr},
};
