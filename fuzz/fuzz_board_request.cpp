// Any bytes as the request target the board server is asked for, answered
// from the shipped board (assets/board) as `zkboard serve` answers it. Every
// answer has a known status and a body; a fault is a text line naming it.
#include <cstdint>
#include <memory>
#include <string>

#include "board_routes.h"
#include "board_snapshot.h"

namespace {
std::shared_ptr<board_snapshot> board;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string err;
  if (!tool_load_resources(ZURKEL_DATA_POD, err) ||
      !(board = board_open(ZURKEL_SOURCE_DIR "/assets/board", err)))
    __builtin_trap();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  board_reply r = board_route(*board, std::string(reinterpret_cast<const char*>(data), size));
  if (!r.body) __builtin_trap();
  const std::string& body = *r.body;
  switch (r.status) {
    case 200:
      if (body.empty()) __builtin_trap();
      break;
    case 400: case 404: case 414: case 500: case 503:
      if (body.rfind(std::to_string(r.status) + " ", 0) != 0 || body.back() != '\n')
        __builtin_trap();
      break;
    default:
      __builtin_trap();
  }
  return 0;
}
