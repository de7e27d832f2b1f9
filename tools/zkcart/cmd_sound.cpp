// export-sfx and export-music: a cart's sounds as WAV files, rendered by the
// console's own synthesiser and mixer.
#include <cstdio>

#include "commands.h"

namespace {

constexpr int kMaxSeconds = 180;

int export_sound(const zkc_args& a, bool music) {
  int n = zkc_sound_number(a.pos[1]);
  if (n < 0) return zkc_usage_error(std::string(music ? "a pattern" : "a sound effect") + " is 0-63, not " + a.pos[1]);
  zkc_cart c;
  if (!zkc_open(a.pos[0], c)) return 1;
  std::vector<int16_t> samples;
  zkc_render_end end = music ? zkc_render_music(c, n, kMaxSeconds * ZKC_RATE, samples)
                             : zkc_render_sfx(c, n, kMaxSeconds * ZKC_RATE, samples);
  std::string what = std::string(music ? "pattern " : "sound effect ") + a.pos[1];
  if (end == zkc_render_end::silent && music) return zkc_fail(a.pos[0], what + " plays nothing");
  if (end == zkc_render_end::silent) zkc_warn(a.pos[0], what + " has no audible note");
  if (end == zkc_render_end::capped) zkc_warn(a.pos[0], what + " goes on: cut at 3 minutes");
  if (!zkc_write_wav(a.pos[2], samples)) return zkc_fail(a.pos[2], "cannot write it");
  char length[64];
  std::snprintf(length, sizeof length, "%.2f s%s", static_cast<double>(samples.size()) / ZKC_RATE,
                end == zkc_render_end::looped ? (music ? ", once to the loop" : ", twice round its loop") : "");
  zkc_wrote(a.pos[2], length);
  return 0;
}

}  // namespace

int cmd_export_sfx(const zkc_args& a) { return export_sound(a, false); }
int cmd_export_music(const zkc_args& a) { return export_sound(a, true); }
