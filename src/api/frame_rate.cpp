#include "api/frame_rate.h"

#include <algorithm>

#include "gfx/video.h"
#include "host/events.h"
#include "host/time.h"
#include "machine/machine.h"
#include "settings/config.h"

void update_frame_rate(zurkel_machine* m) {
  zurkel_cpu_state& c = m->cpu;
  // 1. host rate history
  std::copy(c.host_rates + 1, c.host_rates + 30, c.host_rates);
  c.host_rates[29] = brim_host_fps();
  int sum = 0, n = 0;
  for (int r : c.host_rates)
    if (r) sum += r, n++;
  int avg = n ? sum / n : 1;

  // 2. update-plus-draw load of this frame
  int32_t load = 16 << 16;
  const int cap = std::max(c.fps_cap, 1);
  if (c.mark_cycles[2] > c.mark_cycles[0]) {
    int64_t per_frame = ZURKEL_CYCLES_PER_SECOND / cap;
    int32_t current = static_cast<int32_t>(
        static_cast<int64_t>(c.mark_cycles[2] - c.mark_cycles[0]) * 65536 / per_frame);
    int32_t previous = c.load_current;
    c.load_previous = previous;
    c.load_current = current;
    load = previous ? std::max(previous, current) : current;
  }

  // 3. estimated frame time. A frame whose marks fall in the same
  // millisecond took less than one, so it counts from 0 rather than as a
  // whole second (which would keep a fast program at half rate forever).
  int64_t ms = 1000;
  bool measured = c.mark_ms[2] > c.mark_ms[0] ||
                  (c.mark_ms[2] == c.mark_ms[0] && c.mark_cycles[2] > c.mark_cycles[0]);
  if (measured)
    ms = c.penalty + static_cast<int64_t>(c.mark_ms[2] - c.mark_ms[0]) +
         std::max(m->host->last_draw_ms(), 0) + brim_configured_sleep_ms();

  // 4.
  if (!console_config.host_framerate_control) {
    avg = 10000;
    ms = 0;
  }
  int& tgt = m->fps_target;

  // 5. an overrun frame halves the rate
  if (c.frame_held && tgt == c.fps_cap) {
    tgt /= 2;
    c.frame_held = false;
    return;
  }
  c.frame_held = false;

  if (tgt == 60 && c.fps_cap == 60) {
    // 7. the host cannot keep up
    if (avg <= 57) {
      tgt = 30;
      uint64_t now = host_ticks_ms();
      if (host_window_active() && c.dropped_before && now - c.last_drop_ms < 200)
        c.penalty = std::min(c.penalty + 1, 10);
      c.last_drop_ms = now;
      c.dropped_before = true;
    }
  } else if (tgt < c.fps_cap) {
    // 8. back up when host, time and load allow
    if (avg >= c.fps_cap - 2 && (c.fps_cap == 30 || ms <= 16) && load <= 0xF7FF) tgt = c.fps_cap;
  }
}
