#include "machine/heap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/debug.h"
#include "lua.h"
#include "machine/cpu.h"
#include "machine/machine.h"

// The interpreter's full collection; isemergency runs no finalizers.
void luaC_fullgc(lua_State* L, int isemergency);

namespace {
// Each block's count (the bytes it adds to heap_bytes) sits in the 4 bytes
// just before the address handed out. The prefix is a whole alignment unit
// so the interpreter's objects stay aligned as the host allocator made them.
constexpr size_t kPrefix = alignof(std::max_align_t);
static_assert(kPrefix >= sizeof(int32_t));

int32_t read_count(const char* base) {
  int32_t c;
  std::memcpy(&c, base + kPrefix - sizeof c, sizeof c);
  return c;
}

void write_count(char* base, int32_t c) { std::memcpy(base + kPrefix - sizeof c, &c, sizeof c); }

bool over_budget(const zurkel_machine* m) { return zurkel_heap_in_use(m) > ZURKEL_HEAP_SOFT_LIMIT; }

int full_collection(lua_State* T) {
  lua_gc(T, LUA_GCCOLLECT, 0);
  return 0;
}

// A full collection runs finalizers (__gc), which are script code: they may
// fail, loop or create more finalizers. Run outside a protected call, or on
// the program's own thread while it is suspended mid-frame, that ends the
// whole host. So every collection runs under protection on the machine's
// helper thread, with the count hook of the CPU budget (the helper cannot
// yield, so a finalizer that never returns fails once its budget is spent).
// The first error is kept in *error; a failed collection is not repeated:
// the program ends with that error.
void collect_protected(zurkel_machine* m, std::string* error) {
  lua_State* T = m->gc_thread;
  if (!T) {
    // A script machine made without a helper (tests of the budget alone)
    // has no program thread to protect; the console's always has one.
    if (lua_status(m->L) == LUA_OK) lua_gc(m->L, LUA_GCCOLLECT, 0);
    return;
  }
  if (!error->empty()) return;
  lua_sethook(T, instruction_limiter, LUA_MASKCOUNT, ZURKEL_HOOK_INSTRUCTIONS);
  int top = lua_gettop(T);
  lua_pushcfunction(T, full_collection);
  if (lua_pcall(T, 0, 0, 0) != LUA_OK) {
    const char* text = lua_tostring(T, -1);
    *error = text ? text : "error in __gc metamethod";
  }
  lua_settop(T, top);
}
}  // namespace

int32_t zurkel_heap_count_for_kind(size_t kind, size_t new_size, bool compiling) {
  // Kinds are the interpreter's type tags: 0 plain memory (arrays, buffers),
  // 4 short string, 5 table, 6 script function, 7-19 userdata, threads,
  // prototypes and upvalues, 20+ long strings and host functions.
  if (kind == 0) return compiling ? 0 : static_cast<int32_t>(new_size);
  if (kind == 2 || kind >= 20) return 0;
  if (kind <= 6) return static_cast<int32_t>(new_size);
  return 32;
}

zurkel_machine* zk_machine(lua_State* L) {
  void* user = nullptr;
  lua_Alloc f = lua_getallocf(L, &user);
  return f == zurkel_lua_alloc ? static_cast<zurkel_machine*>(user) : nullptr;
}

void* zurkel_lua_alloc(void* user, void* block, size_t old_size_or_kind, size_t new_size) {
  auto* m = static_cast<zurkel_machine*>(user);
  char* base = block ? static_cast<char*>(block) - kPrefix : nullptr;
  size_t old_real = block ? old_size_or_kind + kPrefix : 0;

  if (new_size == 0) {
    if (base) {
      if (m) {
        m->heap_bytes -= read_count(base);
        m->heap_host_bytes -= static_cast<int64_t>(old_real);
      }
      std::free(base);
    }
    return nullptr;
  }

  // A shrink is never refused: the interpreter shrinks blocks inside its
  // collector, where a failure could not be handled.
  bool grows = !block || new_size > old_size_or_kind;
  if (m && !m->heap_collecting) {
    int64_t used = static_cast<int64_t>(m->heap_bytes) - m->code_allowance;
    if (used > ZURKEL_HEAP_SOFT_LIMIT) {
      m->heap_over_budget = 1;
      if (m->L) lua_zurkel_soft_yield(m->L);
    }
    if (grows && used > ZURKEL_HEAP_HARD_LIMIT) {
      m->heap_refused = 1;
      return nullptr;
    }
  }
  int64_t new_real = static_cast<int64_t>(new_size) + static_cast<int64_t>(kPrefix);
  if (m && grows &&
      m->heap_host_bytes - static_cast<int64_t>(old_real) + new_real > ZURKEL_HEAP_HOST_LIMIT) {
    m->heap_refused = 1;
    return nullptr;
  }

  int32_t count;
  if (base) {
    count = read_count(base) != 0 ? static_cast<int32_t>(new_size) : 0;  // uncounted stays uncounted
  } else {
    count = zurkel_heap_count_for_kind(old_size_or_kind, new_size, m && m->heap_compiling);
  }
  int32_t old_count = base ? read_count(base) : 0;
  char* p = static_cast<char*>(std::realloc(base, static_cast<size_t>(new_real)));
  if (!p) return nullptr;  // the old block, if any, is untouched
  write_count(p, count);
  if (m) {
    m->heap_host_bytes += new_real - static_cast<int64_t>(old_real);
    m->heap_bytes += count - old_count;
  }
  return p + kPrefix;
}

int64_t zurkel_heap_host_bytes(const zurkel_machine* m) { return m->heap_host_bytes; }

int64_t zurkel_heap_in_use(const zurkel_machine* m) {
  return m ? static_cast<int64_t>(m->heap_bytes) + m->code_allowance : 0;
}

int32_t zurkel_heap_stat(const zurkel_machine* m) {
  int64_t bytes = std::clamp<int64_t>(zurkel_heap_in_use(m), 0, ZURKEL_HEAP_SOFT_LIMIT);
  return static_cast<int32_t>(bytes << 6);
}

bool zurkel_heap_collect_for_slice(zurkel_machine* m, std::string* error) {
  lua_State* L = m ? m->L : nullptr;
  if (!L) return true;
  std::string ignored;
  if (!error) error = &ignored;
  m->heap_collecting = true;
  lua_gc(L, LUA_GCRESTART, 0);
  if (lua_gc(L, LUA_GCISRUNNING, 0)) collect_protected(m, error);
  bool fits = true;
  if (over_budget(m)) {
    collect_protected(m, error);
    if (over_budget(m)) {
      int32_t before = m->heap_bytes;
      luaC_fullgc(L, 1);
      brim_debugf("gc hard collect: %d -> %d\n", before,
                  static_cast<int>(zurkel_heap_in_use(m)));
      fits = !over_budget(m);
    }
  }
  // No collection while the program runs: memory only grows until the next slice.
  lua_gc(L, LUA_GCSTOP, 0);
  m->heap_collecting = false;
  m->heap_over_budget = 0;
  // A refusal belongs to the slice it happened in: one whose error a
  // coroutine caught must not hide the traceback of a later, unrelated error.
  m->heap_refused = 0;
  return fits;
}
