#include "console/automation.h"
#include "console/input_record.h"

#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "audio/audio.h"
#include "base/bitmap.h"
#include "base/safe_write.h"
#include "gfx/png_encode.h"
#include "gfx/video.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "settings/folders.h"
#include "settings/options.h"

namespace {
std::vector<input_script_line> script;
size_t script_pos = 0;
std::vector<input_key_event> key_events;
size_t key_pos = 0;
const input_script_line* current = nullptr;
std::vector<int16_t> audio;
int64_t audio_carry = 0;
int exit_status = 0;

bool write_bytes(FILE* f, void* ctx) {
  auto* v = static_cast<std::vector<unsigned char>*>(ctx);
  return std::fwrite(v->data(), 1, v->size(), f) == v->size();
}

bool is_key_line(const std::string& second) { return second == "text" || second == "key"; }

// A key goes down and up within the step: it reads as newly pressed until
// the next host sample, as a quick tap does.
void tap(const input_key_event& e) {
  if (e.ctrl) brim_key_event(KEY_LCTRL, true, true, false, false);
  brim_key_event(e.scancode, true, e.ctrl, false, false);
  brim_key_event(e.scancode, false, e.ctrl, false, false);
  if (e.ctrl) brim_key_event(KEY_LCTRL, false, true, false, false);
}

void put_le(std::vector<unsigned char>& v, uint32_t x, int n) {
  for (int i = 0; i < n; i++) v.push_back(static_cast<unsigned char>(x >> (8 * i)));
}
}  // namespace

std::vector<input_script_line> parse_input_script(const std::string& text) {
  std::vector<input_script_line> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string word;
    if (!(ls >> word) || word[0] == '#') continue;
    char* end = nullptr;
    long long step = std::strtoll(word.c_str(), &end, 10);
    if (*end || step < 0) continue;
    std::string first, second;
    if (std::istringstream(line) >> first >> second && is_key_line(second)) continue;
    input_script_line l{step, {}};
    while (ls >> word && l.masks.size() < 8) {
      unsigned long m = std::strtoul(word.c_str(), &end, 16);
      if (*end) break;
      l.masks.push_back(static_cast<int>(m & 0xFF));
    }
    out.push_back(l);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const input_script_line& a, const input_script_line& b) { return a.step < b.step; });
  return out;
}

int input_key_scancode(const std::string& name) {
  static const struct { const char* name; int scancode; } named[] = {
      {"enter", KEY_RETURN}, {"backspace", KEY_BACKSPACE}, {"tab", KEY_TAB}, {"escape", KEY_ESCAPE},
      {"left", KEY_LEFT},    {"right", KEY_RIGHT},         {"up", KEY_UP},   {"down", KEY_DOWN},
      {"delete", KEY_DELETE},
  };
  for (const auto& n : named)
    if (name == n.name) return n.scancode;
  if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return KEY_A + (name[0] - 'a');
  if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') return KEY_1 + (name[0] - '1');
  if (name == "0") return KEY_1 + 9;
  if (name.size() >= 2 && name[0] == 'f') {
    char* end = nullptr;
    long f = std::strtol(name.c_str() + 1, &end, 10);
    if (!*end && f >= 1 && f <= 12) return KEY_F1 + static_cast<int>(f) - 1;
  }
  return 0;
}

std::vector<input_key_event> parse_input_keys(const std::string& text) {
  std::vector<input_key_event> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream ls(line);
    std::string word, kind;
    if (!(ls >> word >> kind) || word[0] == '#' || !is_key_line(kind)) continue;
    char* end = nullptr;
    long long step = std::strtoll(word.c_str(), &end, 10);
    if (*end || step < 0) continue;
    std::string rest;
    std::getline(ls, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    input_key_event e{step, "", 0, false};
    if (kind == "text") {
      e.text = rest.substr(0, BRIM_KEY_QUEUE);
      if (e.text.empty()) continue;
    } else {
      std::string name = rest.substr(0, rest.find(' '));
      if (name.compare(0, 5, "ctrl+") == 0) {
        e.ctrl = true;
        name.erase(0, 5);
      }
      e.scancode = input_key_scancode(name);
      if (!e.scancode) continue;
    }
    out.push_back(e);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const input_key_event& a, const input_key_event& b) { return a.step < b.step; });
  return out;
}

bool automation_init() {
  script.clear();
  script_pos = 0;
  key_events.clear();
  key_pos = 0;
  current = nullptr;
  audio.clear();
  audio_carry = 0;
  input_record_reset();
  if (!zopts.input_file[0]) return true;
  std::ifstream f(zopts.input_file, std::ios::binary);
  if (!f) {
    std::printf("could not read input script %s\n", zopts.input_file);
    std::fflush(stdout);
    return false;
  }
  std::stringstream s;
  s << f.rdbuf();
  script = parse_input_script(s.str());
  key_events = parse_input_keys(s.str());
  return true;
}

void automation_step_begin(int64_t step) {
  for (; key_pos < key_events.size() && key_events[key_pos].step <= step; key_pos++) {
    const input_key_event& e = key_events[key_pos];
    if (e.scancode) tap(e);
    for (char c : e.text) brim_key_text(std::string(1, c).c_str());
  }
  while (script_pos < script.size() && script[script_pos].step <= step) current = &script[script_pos++];
  if (current)
    for (size_t p = 0; p < current->masks.size(); p++)
      buttons_set_mask(static_cast<int>(p), current->masks[p]);
  if (zopts.record_file[0]) input_record_step(step);
}

void automation_step_end(const zurkel_machine* m, int rate) {
  bool dump = zopts.dump_audio[0] != 0;
  // Under the virtual clock there is no device: the mixer advances here
  // even without a dump, so sound state follows emulated time.
  if ((!dump && !zopts.fast) || rate <= 0) return;
  // 22,050 samples per emulated second, split evenly over the steps.
  audio_carry += 22050;
  int n = static_cast<int>(audio_carry / rate);
  audio_carry -= static_cast<int64_t>(n) * rate;
  if (!dump) {
    // Mixed as one call, exactly as for a dump, then dropped.
    static std::vector<int16_t> scratch;
    scratch.resize(static_cast<size_t>(n));
    if (n > 0) brim_mix_samples(m, scratch.data(), n);
    return;
  }
  size_t at = audio.size();
  audio.resize(at + n);
  brim_mix_samples(m, audio.data() + at, n);
}

void automation_finish(const zurkel_machine* m) {
  // The display bitmap: the machine screen through the screen palette and
  // screen mode, without what the host draws over it (pause menu, disk icon,
  // banner), so a dump shows what the cartridge drew.
  if (zopts.dump_screen[0] && m->display &&
      !write_bitmap_png(zopts.dump_screen, m->display, brim_palette)) {
    std::printf("could not write %s\n", zopts.dump_screen);
    std::fflush(stdout);
  }
  if (zopts.dump_audio[0] && !write_wav(zopts.dump_audio, audio)) {
    std::printf("could not write %s\n", zopts.dump_audio);
    std::fflush(stdout);
  }
  if (zopts.record_file[0] && !input_record_finish(zopts.record_file)) {
    std::printf("could not write %s\n", zopts.record_file);
    std::fflush(stdout);
  }
}

bool write_bitmap_png(const char* path, const brim_bitmap* b, const uint8_t* pal) {
  if (!b || !pal || b->depth != 8) return false;
  std::vector<unsigned char> rgb(static_cast<size_t>(b->w) * b->h * 3);
  for (int y = 0; y < b->h; y++)
    for (int x = 0; x < b->w; x++) {
      int v = b->line[y][x];
      std::memcpy(&rgb[(static_cast<size_t>(y) * b->w + x) * 3], pal + 3 * v, 3);
    }
  std::vector<unsigned char> png;
  if (!brim_encode_png(rgb.data(), b->w, b->h, LCT_RGB, png)) return false;
  return brim_write_file_safely(path, write_bytes, &png);
}

bool write_wav(const char* path, const std::vector<int16_t>& samples) {
  std::vector<unsigned char> w;
  uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  for (char c : std::string("RIFF")) w.push_back(c);
  put_le(w, 36 + data, 4);
  for (char c : std::string("WAVEfmt ")) w.push_back(c);
  put_le(w, 16, 4);
  put_le(w, 1, 2);          // PCM
  put_le(w, 1, 2);          // mono
  put_le(w, 22050, 4);
  put_le(w, 22050 * 2, 4);  // bytes per second
  put_le(w, 2, 2);
  put_le(w, 16, 2);
  for (char c : std::string("data")) w.push_back(c);
  put_le(w, data, 4);
  for (int16_t s : samples) put_le(w, static_cast<uint16_t>(s), 2);
  return brim_write_file_safely(path, write_bytes, &w);
}

void automation_set_exit_status(int status) {
  if (status > exit_status) exit_status = status;
}
int automation_exit_status() { return exit_status; }
