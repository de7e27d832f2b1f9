#include "splore/fetch.h"

#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "cart/cart_files.h"
#include "gfx/png_decode.h"
#include "settings/config.h"

namespace {
std::thread worker;
std::shared_ptr<splore_fetch> worker_job;

struct sink {
  FILE* f;
  splore_fetch* job;
  bool over;
};

size_t on_body(char* data, size_t size, size_t n, void* ctx) {
  auto* s = static_cast<sink*>(ctx);
  size_t bytes = size * n;
  long long now = s->job->received.load() + static_cast<long long>(bytes);
  if (now > s->job->cap || s->job->cancel.load()) {
    s->over = now > s->job->cap;
    return 0;  // stops the transfer
  }
  if (std::fwrite(data, 1, bytes, s->f) != bytes) return 0;
  s->job->received.store(now);
  return bytes;
}

int on_progress(void* ctx, curl_off_t total, curl_off_t, curl_off_t, curl_off_t) {
  auto* job = static_cast<splore_fetch*>(ctx);
  if (total > 0) job->expected.store(total);
  return job->cancel.load() ? 1 : 0;
}

void run(std::shared_ptr<splore_fetch> job) {
  std::string part = job->target + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) {
    job->state.store(3);
    return;
  }
  sink s{f, job.get(), false};
  CURLcode rc = CURLE_FAILED_INIT;
  long status = 0;
  if (CURL* c = curl_easy_init()) {
    curl_easy_setopt(c, CURLOPT_URL, job->url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, job->timeout_s < 10 ? long(job->timeout_s) : 10L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, 1000L * job->timeout_s);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(job->cap));
    curl_easy_setopt(c, CURLOPT_USERAGENT, "zurkel/0.1.11c");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &s);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, job.get());
    rc = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(c);
  }
  bool closed = std::fclose(f) == 0;
  static_assert(CURLE_OPERATION_TIMEDOUT == SPLORE_FETCH_TIMED_OUT);
  bool ok = rc == CURLE_OK && closed && !job->cancel.load() && check_bbs_file_ok(part);
  if (ok && std::rename(part.c_str(), job->target.c_str()) != 0) ok = false;
  if (!ok) std::remove(part.c_str());
  job->curl_code = static_cast<int>(rc);
  job->http_status = status;
  job->over_cap = s.over;
  job->state.store(ok ? 2 : 3);
}

void wait_for_worker() {
  if (worker.joinable()) worker.join();
  worker_job.reset();
}
}  // namespace

bool check_bbs_file_ok(const std::string& path) {
  if (path.find(".png") == std::string::npos) return true;
  std::vector<uint8_t> bytes;
  if (!cart_read_file(path, bytes, 16u << 20)) return false;
  unsigned w = 0, h = 0;
  std::vector<uint8_t> rgba;
  return brim_png_decode_rgba(bytes.data(), bytes.size(), 2048, 2048, rgba, w, h) == BRIM_PNG_OK;
}

void splore_fetch_start(const std::shared_ptr<splore_fetch>& job) {
  static bool curl_ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (worker_job) worker_job->cancel.store(true);
  wait_for_worker();
  if (!curl_ready) {
    job->state.store(3);
    return;
  }
  worker_job = job;
  worker = std::thread(run, job);
}

void splore_fetch_shutdown() {
  if (worker_job) worker_job->cancel.store(true);
  wait_for_worker();
}

namespace {
// At exit a transfer still running is stopped and its worker joined
// (declared after the worker, so it runs first).
struct stop_at_exit {
  ~stop_at_exit() { splore_fetch_shutdown(); }
} stopper;
}  // namespace
