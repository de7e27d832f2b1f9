#include "console/cart_watch.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cart/pipeline.h"
#include "console/pause_menu.h"
#include "gfx/printer.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "settings/options.h"

namespace {
constexpr int64_t kPollMs = 100;
constexpr int64_t kSettleMs = 200;

struct file_state {
  bool exists = false;
  int64_t size = 0, sec = 0, nsec = 0;
  uint64_t inode = 0;
  bool operator==(const file_state&) const = default;
};

struct {
  bool on = false;
  std::string path;
  file_state loaded, seen;   // as last loaded; as last polled
  int64_t seen_ms = 0, next_poll_ms = 0;
} watch;

// Wall time: an editor saves in wall time whatever clock the machine runs on.
int64_t wall_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

file_state state_of(const std::string& path) {
  file_state f;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return f;
  f.exists = true;
  f.size = st.st_size;
  f.sec = st.st_mtim.tv_sec;
  f.nsec = st.st_mtim.tv_nsec;
  f.inode = st.st_ino;
  return f;
}

void reload(zurkel_machine* m) {
  zurkel_cart* cart = load_zurkel_cart_any_format(m, watch.path.c_str());
  if (!cart) {
    if (m->mode == 1) suspend_program(m);
    std::string line = "could not load " + watch.path;
    zurkel_print_col(m, line.c_str(), 8);
    return;
  }
  prepare_loaded_cart(m, cart, watch.path.c_str());
  close_paused_menu();
  reset_run_chain(m);
  m->reset_glitch = 0;
  m->disk_pause = 0;
  std::snprintf(m->run_args, sizeof m->run_args, "%s", zopts.params_given ? zopts.params : "");
  m->pending_command = 1;
}
}  // namespace

void cart_watch_begin(const char* path) {
  watch.on = true;
  watch.path = path ? path : "";
  watch.loaded = watch.seen = state_of(watch.path);
  watch.seen_ms = wall_ms();
  watch.next_poll_ms = watch.seen_ms + kPollMs;
}

bool cart_watch_active() { return watch.on; }

void cart_watch_poll(zurkel_machine* m) {
  if (!watch.on) return;
  int64_t now = wall_ms();
  if (now < watch.next_poll_ms) return;
  watch.next_poll_ms = now + kPollMs;
  file_state s = state_of(watch.path);
  if (s == watch.loaded) {
    watch.seen = s;
    return;
  }
  if (!(s == watch.seen)) {
    watch.seen = s;
    watch.seen_ms = now;
    return;
  }
  if (now - watch.seen_ms < kSettleMs) return;
  watch.loaded = s;
  reload(m);
}
