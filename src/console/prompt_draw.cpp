// The command line as drawn into the machine screen.
#include <algorithm>
#include <string>
#include <vector>

#include "base/bitmap.h"
#include "console/main_loop.h"
#include "console/prompt.h"
#include "console/screen.h"
#include "host/events.h"
#include "machine/machine.h"
#include "settings/options.h"

void draw_command_string(zurkel_machine* m, bool place_cursor, bool draw_text) {
  if (!m || m->mode != 0 || !m->screen || zopts.exec) return;   // execute mode has no command line
  brim_bitmap* s = m->screen;
  zurkel_command_line& l = zprompt;
  int y = m->draw[DS_CURSOR_Y];
  int n = static_cast<int>(l.text.size());
  std::vector<int> widths;
  for (int i = 0; i <= n / PROMPT_ROW_CHARS; i++)
    widths.push_back(4 * std::min(n - PROMPT_ROW_CHARS * i, PROMPT_ROW_CHARS) + 12);
  if (l.drawn_y == y)
    for (size_t i = widths.size(); i < l.drawn_widths.size(); i++) widths.push_back(0);
  for (size_t i = 0; i < widths.size(); i++) {
    // Strips of the last draw that this one no longer covers are cleared as well.
    int old = l.drawn_y == y && i < l.drawn_widths.size() ? l.drawn_widths[i] : 0;
    int w = std::max(widths[i], old);
    if (w > 0) brim_fill_rect(s, 0, y + 6 * static_cast<int>(i), w - 1, y + 6 * static_cast<int>(i) + 5, 0);
  }
  while (!widths.empty() && widths.back() == 0) widths.pop_back();
  l.drawn_y = y;
  l.drawn_widths = widths;
  if (draw_text) {
    console_text(s, ">", 0, y, 7);
    for (int i = 0; i * PROMPT_ROW_CHARS < n; i++)
      console_text(s, l.text.substr(static_cast<size_t>(i * PROMPT_ROW_CHARS), PROMPT_ROW_CHARS).c_str(), 8,
                   y + 6 * i, 7);
  }
  if (!place_cursor) return;
  int cx = 8 + 4 * l.cursor, cy = y;
  while (cx > 124) {
    cx -= 120;
    cy += 6;
  }
  if (host_window_active() && (brim_get_time() & 256)) brim_fill_rect(s, cx, cy, cx + 3, cy + 4, 8);
}
