// The fetcher: one HTTP(S) transfer at a time on a worker thread, with
// libcurl in-process (no shell). The body goes to TARGET.part beside the
// target and is renamed to the target only once complete and checked (a
// name containing ".png" must decode as a PNG), so a cut, cancelled or
// oversized transfer never leaves a file under the target's name.
#pragma once
#include <atomic>
#include <memory>
#include <string>

constexpr int SPLORE_FETCH_TIMED_OUT = 28;  // libcurl's code for a time limit

struct splore_fetch {
  std::string url, target;
  long long cap = 0;          // most body bytes taken
  int timeout_s = 30;         // the whole transfer
  // Written by the worker, read by the main thread.
  std::atomic<int> state{1};  // 1 running, 2 finished and checked, 3 failed
  std::atomic<bool> cancel{false};
  std::atomic<long long> received{0}, expected{-1};
  // How it ended, set before state (for the main thread's log line).
  int curl_code = 0;
  long http_status = 0;
  bool over_cap = false;
};

// Starts the worker for job (waiting first for a cancelled earlier one to
// let go of the network). Redirects followed (at most 5), certificates
// checked, proxies from the environment, http and https only.
void splore_fetch_start(const std::shared_ptr<splore_fetch>& job);
// Cancels the running transfer, if any, and waits for its worker.
void splore_fetch_shutdown();
// The check a finished body has to pass: a name containing ".png" must be
// a PNG of at most 2048 x 2048 that decodes.
bool check_bbs_file_ok(const std::string& path);
