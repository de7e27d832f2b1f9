#include "runner/errors.h"

#include <cstring>

// Placeholder until the runner lands: the last message is kept.
char zurkel_runtime_error_text[512];

void zurkel_runtime_error(const char* message) {
  std::strncpy(zurkel_runtime_error_text, message, sizeof zurkel_runtime_error_text - 1);
}
