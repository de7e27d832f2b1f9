// The run chain: carts a program loaded with a breadcrumb, to return to
// from the pause menu with the parameters each was running with.
#include <cstring>

#include "runner/runner.h"

namespace {
zurkel_run_chain_item* top() {
  return zrun.run_chain && zrun.run_chain_items > 0 ? &zrun.run_chain[zrun.run_chain_items - 1] : nullptr;
}

}  // namespace

void reset_run_chain() { zrun.run_chain_items = 0; }

void add_run_chain_item(const char* file, const char* label, int pending) {
  if (!zrun.run_chain) zrun.run_chain = new zurkel_run_chain_item[ZURKEL_RUN_CHAIN_MAX]();
  if (zrun.run_chain_items >= ZURKEL_RUN_CHAIN_MAX) return;
  zurkel_run_chain_item& it = zrun.run_chain[zrun.run_chain_items++];
  zurkel_copy_cut(it.file, file, sizeof it.file - 1);
  zurkel_copy_cut(it.label, label, sizeof it.label - 1);
  zurkel_copy_cut(it.params, zrun.current_params, 1024);
  it.pending = pending;
}

void pop_run_chain() {
  if (zrun.run_chain_items > 0) zrun.run_chain_items--;
}

const char* get_run_chain_filename() { return top() ? top()->file : nullptr; }
const char* get_run_chain_label() { return top() ? top()->label : nullptr; }
const char* get_run_chain_param_str() { return top() ? top()->params : nullptr; }

int run_chain_cancel_pending() {
  zurkel_run_chain_item* t = top();
  if (!t || !t->pending) return 0;
  zrun.run_chain_items--;
  return 1;
}

void run_chain_confirm_pending() {
  if (zurkel_run_chain_item* t = top()) t->pending = 0;
}
