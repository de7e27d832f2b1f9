#include "console/input_record.h"

#include <cinttypes>
#include <cstdio>

#include "base/safe_write.h"
#include "input/buttons.h"

namespace {
constexpr int kPlayers = 8;

struct {
  std::string text = "# buttons per update step: STEP MASK0 MASK1 ... (hex, bit b = button b)\n";
  int last[kPlayers] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int64_t steps = 0;   // steps seen: -frames with this count ends a replay where the session ended
} rec;

// What read_buttons sees as down, before blocking and edge detection: the
// keys, the controllers and the scripted masks.
int held_mask(int p) {
  int mask = 0;
  for (int b = 0; b < 8; b++)
    if (player_key(b, p) || player_button(b, p) > 128) mask |= 1 << b;
  return mask;
}

bool write_text(FILE* f, void* ctx) {
  auto* s = static_cast<std::string*>(ctx);
  return std::fwrite(s->data(), 1, s->size(), f) == s->size();
}
}  // namespace

void input_record_step(int64_t step) {
  rec.steps = step + 1;
  int now[kPlayers];
  bool changed = false;
  int players = 1;
  for (int p = 0; p < kPlayers; p++) {
    now[p] = held_mask(p);
    changed |= now[p] != rec.last[p];
    if (now[p]) players = p + 1;
  }
  if (!changed) return;
  char line[128];
  int n = std::snprintf(line, sizeof line, "%" PRId64, step);
  for (int p = 0; p < players; p++) n += std::snprintf(line + n, sizeof line - n, " %x", now[p]);
  rec.text += line;
  rec.text += '\n';
  for (int p = 0; p < kPlayers; p++) rec.last[p] = now[p];
}

const std::string& input_record_text() { return rec.text; }

bool input_record_finish(const char* path) {
  std::string text = rec.text + "# " + std::to_string(rec.steps) + " steps\n";
  return brim_write_file_safely(path, write_text, &text);
}

void input_record_reset() { rec = {}; }
