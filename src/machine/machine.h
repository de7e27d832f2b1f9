// The machine: the live parts of the 32 KiB memory image and every register
// of the running machine, in one record. The console owns the one instance
// and passes it to whatever acts on the machine; a script function finds it
// through the script machine it was called from (zk_machine).
#pragma once
#include <cstdint>

#include "base/bitmap.h"
#include "machine/cart.h"
#include "machine/cpu.h"
#include "machine/fault.h"
#include "machine/loaded_cart.h"
#include "machine/machine_host.h"
#include "machine/program.h"

struct lua_State;

// Draw-state registers are held as integers indexed by address - 0x5F00.
enum zurkel_draw_reg {
  DS_PAL = 0x00,          // draw palette, 16 entries
  DS_SCREEN_PAL = 0x10,   // screen palette, 16 entries
  DS_CLIP_LEFT = 0x20,
  DS_CLIP_TOP = 0x21,
  DS_CLIP_RIGHT = 0x22,
  DS_CLIP_BOTTOM = 0x23,
  DS_PEN = 0x25,
  DS_CURSOR_X = 0x26,
  DS_CURSOR_Y = 0x27,
  DS_CAMERA_X = 0x28,     // signed 16-bit, seen through 0x5F28/0x5F29
  DS_CAMERA_Y = 0x2A,     // signed 16-bit, seen through 0x5F2A/0x5F2B
  DS_SCREEN_MODE = 0x2C,
  DS_FILLP = 0x31,        // pattern word: bits 0-15 pattern, bit 16 transparent
  DS_COUNT = 0x40
};

struct zurkel_machine {
  uint8_t ram[0x8000] = {};
  zurkel_cart* cart = nullptr;       // the live cart
  brim_bitmap* screen = nullptr;     // 128 x 128, colours 0-15
  int32_t draw[DS_COUNT] = {};       // draw-state registers
  uint32_t cartdata[64] = {};        // cart-data words (0x5E00-0x5EFF)
  int32_t audio_fx[4] = {};          // half-rate, echo, distortion, low-pass
  int reset_glitch = 0;              // 0 idle, 1-4 while the reset effect runs
  bool cartdata_dirty = false;

  // Run modes and requests carried out by the main loop.
  int mode = 2;                      // 0 console, 1 running cart, 2 boot, 3 splash
  int console_screen = 0;            // 0 command line, 1 key config, 2 browser
  int pending_command = 0;           // 0 none, 1 run loaded cart, 2 stop, 4 stop + show error
  char run_args[1025] = {};          // parameter string for the next run
  int frame_count = 0;               // update steps; the boot sequence starts at -15
  int disk_pause = 0;                // frames a running program is held for disk activity
  bool hold_frame = false;           // set by holdframe(), cleared by flip()
  int fps_target = 30;               // 60, 30 or 15
  int32_t frame_accumulator = 0;     // 16.16 count of update steps owed
  brim_bitmap* display = nullptr;    // the presented frame (screen palette applied)
  brim_bitmap* capture = nullptr;    // copy of each finished frame for recordings

  // Script heap budget (the allocator counts, the runner collects).
  int32_t heap_bytes = 0;            // bytes of script-machine memory counted
  int32_t code_allowance = 0;        // 16 bytes per token of the running program
  int32_t heap_compiling = 0;        // 1 while compiling: blocks are not counted
  int32_t heap_over_budget = 0;      // set by the allocator past the soft limit
  int32_t heap_refused = 0;          // set when the allocator refused a block
  int64_t heap_host_bytes = 0;       // real bytes of every live block, prefixes included
  bool heap_collecting = false;      // the runner's own collections do not trip the budget

  // The script machine (a new one replaces the old at each run) and its
  // helper thread for finalizers; null while there is none.
  lua_State* L = nullptr;
  lua_State* gc_thread = nullptr;
  zurkel_program run;                // the running program's state
  zurkel_cpu_state cpu;              // CPU budget and frame-rate control
  zurkel_fault fault;                // the runtime-fault record
  zurkel_loaded_cart loaded;         // the cart as loaded from its file
  char cartdata_id[65] = {};         // the open cart-data slot; "" none
  uint8_t gpio[128] = {};            // I/O pins behind 0x5F80-0x5FFF

  // The console's side of the machine (machine/machine_host.h), and a
  // listener that also receives every console line printed (tests, logs).
  const zurkel_machine_host* host = &zurkel_quiet_host;
  void (*print_listener)(const char* text, int colour) = nullptr;
};

// The machine a script machine belongs to (the user pointer of its
// allocator, machine/heap.h); null for a script machine made otherwise.
zurkel_machine* zk_machine(lua_State* L);
