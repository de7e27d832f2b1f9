#include "splore/download.h"

#include <cstdio>
#include <memory>

#include "base/debug.h"
#include "base/safe_write.h"
#include "settings/config.h"
#include "splore/bbs_names.h"
#include "splore/fetch.h"
#include "splore/list_page.h"
#include "splore/splore.h"
#include "splore/splore_state.h"

namespace {
std::shared_ptr<splore_fetch> current;
uint64_t started_ms = 0;
std::string cache_file;

void start(const std::string& url, const std::string& target, long long cap) {
  auto job = std::make_shared<splore_fetch>();
  job->url = url;
  job->target = target;
  job->cap = cap;
  job->timeout_s = cconfig.timeout < 1 ? 1 : cconfig.timeout > 240 ? 240 : cconfig.timeout;
  brim_debugf("download %s -> %s\n", url.c_str(), target.c_str());
  current = job;
  started_ms = splore_wall_ms();
  splore_fetch_start(job);
}

struct file_copy {
  FILE* from;
};
bool copy_into(FILE* f, void* ctx) {
  FILE* from = static_cast<file_copy*>(ctx)->from;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, from)) > 0)
    if (std::fwrite(buf, 1, n, f) != n) return false;
  return true;
}

void copy_file(const std::string& from, const std::string& to) {
  file_copy c{std::fopen(from.c_str(), "rb")};
  if (!c.from) return;
  brim_write_file_safely(to.c_str(), copy_into, &c);
  std::fclose(c.from);
}

// The list whose name occurs in the target's file name (the last such of
// lists 1-7); only the name is looked at, never the folders above it.
int list_for(const std::string& target) {
  std::string name = target.substr(target.find_last_of('/') + 1);
  int found = -1;
  for (int i = LIST_FAV; i < LIST_COUNT; i++)
    if (name.find(splore.lists[i].name) != std::string::npos) found = i;
  return found;
}

void page_arrived(zurkel_machine* m, const std::string& target, const std::string& cache) {
  int i = list_for(target);
  if (i < 0) return;
  splore_list& l = splore.lists[i];
  bool first = target.find("__") == std::string::npos;
  int r = populate_splore_list_from_png_file(l, target.c_str(), !first);
  brim_debugf("splore: list %s: %s, %d items\n", l.name.c_str(), r ? "unreadable" : "read",
              static_cast<int>(l.items.size()));
  if (r != 0) {
    splore_message(m, "could not connect to bbs", 1500);
  } else {
    if (!cache.empty()) copy_file(target, cache);
    if (first && l.items.size() >= 2) splore_set_selected(l, 1);
  }
  splore_clamp_selection(l);
}
}  // namespace

void download_list(const std::string& name, const std::string& request, int start_index) {
  if (splore_download_running()) return;
  std::string target, cache;
  if (start_index <= 0) {
    start_index = 0;
    target = splore_bbs_path("temp_" + name + ".pip.png");
    cache = splore_bbs_path(name + ".pip.png");
  } else {
    target = splore_bbs_path("temp_" + name + "__.pip.png");
  }
  // Built whole: a long request is never cut into another query.
  std::string url = splore_board_url() + "/bbs/cpost_lister3.php?max=32&start_index=" +
                    std::to_string(start_index) + "&" + request + "&version=000111cm";
  cache_file = cache;
  start(url, target, SPLORE_PAGE_MAX_BYTES);
}

void download_bbs_cart(zurkel_machine* m, const std::string& id) {
  if (!splore_valid_id(id)) {
    cancel_download(m, "download failed");
    return;
  }
  if (splore_download_running()) return;
  cache_file.clear();
  start(get_bbs_cart_url(id), get_bbs_cart_filename_ex(id, false), SPLORE_CART_MAX_BYTES);
}

bool splore_download_running() { return current != nullptr; }

void splore_download_progress(long long& received, long long& expected) {
  received = current ? current->received.load() : 0;
  expected = current ? current->expected.load() : -1;
}

void update_splore_download(zurkel_machine* m) {
  if (!current) return;
  uint64_t elapsed = splore_wall_ms() - started_ms;
  int state = current->state.load();
  if (state == 1 && elapsed > static_cast<uint64_t>(current->timeout_s) * 1000) {
    cancel_download(m, "timeout");
    return;
  }
  if (elapsed < 500 || state == 1) return;
  std::string target = current->target, cache = cache_file;
  bool timed_out = current->curl_code == SPLORE_FETCH_TIMED_OUT;
  brim_debugf("fetch %s: %s (curl %d, http %ld, %lld bytes%s)\n", current->url.c_str(),
              state == 2 ? "ok" : "failed", current->curl_code, current->http_status,
              current->received.load(), current->over_cap ? ", over the size cap" : "");
  current.reset();
  if (state == 3) {
    // The worker's own limit may run out a moment before this poll's.
    splore_message(m, timed_out ? "timeout" : "could not connect to bbs.", 1500);
    return;
  }
  if (target.find(".pip") != std::string::npos) page_arrived(m, target, cache);
  else if (target.find(".zk.png") != std::string::npos) splore_cart_arrived(m, target);
}

void cancel_download(zurkel_machine* m, const char* message) {
  if (current) {
    current->cancel.store(true);
    brim_debugf("fetch %s: cancelled\n", current->url.c_str());
  }
  current.reset();
  if (message) splore_message(m, message, 1500);
}
