// The run chain (machine/program.h).
#include "base/strings.h"
#include "machine/machine.h"

namespace {
const zurkel_run_chain_item* top(const zurkel_machine* m) {
  return m->run.run_chain.empty() ? nullptr : &m->run.run_chain.back();
}
}  // namespace

void reset_run_chain(zurkel_machine* m) { m->run.run_chain.clear(); }

void add_run_chain_item(zurkel_machine* m, const char* file, const char* label, int pending) {
  if (m->run.run_chain.size() >= ZURKEL_RUN_CHAIN_MAX) return;
  zurkel_run_chain_item& it = m->run.run_chain.emplace_back();
  zurkel_copy_cut(it.file, file, sizeof it.file - 1);
  zurkel_copy_cut(it.label, label, sizeof it.label - 1);
  zurkel_copy_cut(it.params, m->run.current_params, 1024);
  it.pending = pending;
}

void pop_run_chain(zurkel_machine* m) {
  if (!m->run.run_chain.empty()) m->run.run_chain.pop_back();
}

const char* get_run_chain_filename(const zurkel_machine* m) { return top(m) ? top(m)->file : nullptr; }
const char* get_run_chain_label(const zurkel_machine* m) { return top(m) ? top(m)->label : nullptr; }
const char* get_run_chain_param_str(const zurkel_machine* m) { return top(m) ? top(m)->params : nullptr; }

int run_chain_cancel_pending(zurkel_machine* m) {
  const zurkel_run_chain_item* t = top(m);
  if (!t || !t->pending) return 0;
  m->run.run_chain.pop_back();
  return 1;
}

void run_chain_confirm_pending(zurkel_machine* m) {
  if (!m->run.run_chain.empty()) m->run.run_chain.back().pending = 0;
}
