#include "machine/fault.h"

#include "base/strings.h"
#include "machine/machine.h"

void zurkel_runtime_error(zurkel_machine* m, const char* message) {
  if (!m || m->reset_glitch) return;
  m->pending_command = 4;
  zurkel_copy_cut(m->fault.error_text, message ? message : "", sizeof m->fault.error_text - 1);
}

const char* zurkel_runtime_error_text(const zurkel_machine* m) { return m->fault.error_text; }

void zurkel_assert_message(zurkel_machine* m, const char* text) {
  m->fault.assert_message[0] = 0;
  if (text) zurkel_copy_cut(m->fault.assert_message, text, 254);
}
