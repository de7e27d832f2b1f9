// `zkboard serve`: the board over HTTP (libmicrohttpd).
#pragma once
#include <string>

struct board_serve_options {
  std::string host = "127.0.0.1";
  int port = 8128;
  int threads = 4;        // worker threads
  int max_clients = 256;  // connections at once; more are refused
  int timeout = 10;       // seconds a connection may stay idle
  std::string log;        // request log file; empty: standard error
};

// Serves until SIGINT or SIGTERM; 0 after a clean stop, 1 when the board
// cannot be read or the address cannot be bound.
int board_serve(const std::string& folder, const board_serve_options& o);
