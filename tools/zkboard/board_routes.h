// Requests to answers: the one place that knows the board's paths and query
// keys, shared by `serve` and `render` so both give the same bytes.
#pragma once
#include <string>

#include "board_snapshot.h"

constexpr size_t BOARD_URI_MAX = 2048;

struct board_reply {
  int status = 200;
  const char* type = "text/plain; charset=utf-8";
  board_bytes body;
};

// uri: the request target as sent, "path" or "path?query".
board_reply board_route(const board_snapshot& b, const std::string& uri);
