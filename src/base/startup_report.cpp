#include "base/startup_report.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
using clock_type = std::chrono::steady_clock;
const clock_type::time_point process_start = clock_type::now();
bool enabled = false;
const char* moments_seen[8];
int moments_count = 0;

bool seen_before(const char* name) {
  for (int i = 0; i < moments_count; i++)
    if (moments_seen[i] == name || std::strcmp(moments_seen[i], name) == 0) return true;
  if (moments_count < 8) moments_seen[moments_count++] = name;
  return false;
}
}  // namespace

void brim_startup_report_enable(bool on) { enabled = on; }
bool brim_startup_report_enabled() { return enabled; }

double brim_startup_now_ms() {
  return std::chrono::duration<double, std::milli>(clock_type::now() - process_start).count();
}

void brim_startup_part(const char* part, double since_ms) {
  if (!enabled) return;
  double now = brim_startup_now_ms();
  std::fprintf(stderr, "startup: %s %.1f ms (at %.1f ms)\n", part, now - since_ms, now);
  std::fflush(stderr);
}

void brim_startup_moment(const char* name) {
  if (!enabled || seen_before(name)) return;
  std::fprintf(stderr, "startup: %s at %.1f ms\n", name, brim_startup_now_ms());
  std::fflush(stderr);
}
