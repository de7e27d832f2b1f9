// Interpreter-wide globals shared between the patched interpreter and the
// program runner. All are used on the main thread only.
#include "lua.h"

int zurkel_runtime_line = 0;
int zurkel_last_line_number = 0;
int zurkel_soft_yield_count = 0;

// Until the code tabs install their mapping, a program line is its own
// line in tab 0.
static int identity_tab_line(int line, int* tab) {
  if (tab) *tab = 0;
  return line;
}
int (*zurkel_tab_line_mapper)(int line, int* tab) = identity_tab_line;
