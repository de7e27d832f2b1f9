// The script heap budget: the script machine's allocator, which counts
// what a program keeps alive into its machine's heap_bytes, and the collection
// policy the runner applies in front of every program slice.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;
struct zurkel_machine;

constexpr int32_t ZURKEL_HEAP_SOFT_LIMIT = 0x200000;   // 2 MiB, with the code allowance
constexpr int32_t ZURKEL_HEAP_HARD_LIMIT = 0x8000000;  // 128 MiB: blocks are refused past it
// Real bytes (counted or not, headers included) the host will hand to one
// script machine. Long strings are not counted against the budget, so
// without this a program doubling a string could take the host down.
constexpr int64_t ZURKEL_HEAP_HOST_LIMIT = 0x10000000;  // 256 MiB

// The script machine's allocator (the interpreter's allocator signature);
// user is the zurkel_machine that counts the blocks (null: nothing counted,
// no limits). With block null, old_size_or_kind is the kind of object being
// created.
void* zurkel_lua_alloc(void* user, void* block, size_t old_size_or_kind, size_t new_size);

// Bytes a new block of new_size adds to heap_bytes, by object kind.
int32_t zurkel_heap_count_for_kind(size_t kind, size_t new_size, bool compiling);

// Real bytes currently held by the machine's blocks of zurkel_lua_alloc.
int64_t zurkel_heap_host_bytes(const zurkel_machine* m);

// heap_bytes + code_allowance, the figure the budget and stat(0) use.
int64_t zurkel_heap_in_use(const zurkel_machine* m);

// stat(0): memory in use in KiB as a 16.16 number, 0 to 2048.
int32_t zurkel_heap_stat(const zurkel_machine* m);

// The collection in front of a slice: restart the collector and collect;
// while over the 2 MiB budget, a second full collection and an emergency
// one ("gc hard collect" in the log). Then the collector is stopped for the
// slice and the over-budget and refused marks cleared. False when the program is still
// over budget: the caller ends it with "out of memory". Finalizers run
// protected and under the CPU budget; the first one that fails leaves its
// message in *error (when given), a runtime error of the program.
bool zurkel_heap_collect_for_slice(zurkel_machine* m, std::string* error = nullptr);
