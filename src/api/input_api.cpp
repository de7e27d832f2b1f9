// Script API entry points of this subsystem, registered by the runner.
#include "api/registry.h"
#include "input/buttons.h"
#include "script/zk_args.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/machine.h"

namespace {
// btn and btnp: the held array or the pressed array.
int zk_btn_0(lua_State* L, bool use_pressed) {
  const int* source = use_pressed ? zbuttons.pressed : zbuttons.held;
  if (!zk_arg_present(L, 1)) {
    // Bit k: button k mod 8 of player k / 8, players 0 and 1.
    int bits = 0;
    for (int k = 0; k < 16; k++)
      if (source[8 * (k / 8) + k % 8]) bits |= 1 << k;
    zk_push_int(L, bits);
    return 1;
  }
  int i = zk_arg_int(L, 1);
  i = i < 0 ? 0 : i > 7 ? 7 : i;
  int p = 0;
  if (zk_arg_present(L, 2)) p = zk_arg_int(L, 2);
  spend_cpu(zk_machine(L), 4);
  lua_pushboolean(L, p >= 0 && p <= 7 && source[8 * p + i]);
  return 1;
}
}  // namespace

int zk_btn(lua_State* L) { return zk_btn_0(L, false); }
int zk_btnp(lua_State* L) { return zk_btn_0(L, true); }

const zk_api_entry zk_input_api[] = {
    {"btn", zk_btn},
    {"btnp", zk_btnp},
    {nullptr, nullptr},
};
