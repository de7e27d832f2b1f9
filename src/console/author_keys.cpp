#include "console/author_keys.h"

#include <cstring>
#include <string>

#include "base/bitmap.h"
#include "cart/pipeline.h"
#include "console/main_loop.h"
#include "gfx/video.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "machine/program.h"

namespace {
// A captured label that no save has written yet. Reloading the cart's file
// (Ctrl+R, -watch) makes a new loaded cart; the capture is laid over it
// until a reload finds the label in the file, that is, once a save wrote it.
struct {
  brim_bitmap* label = nullptr;
  std::string name;                    // the loaded cart's file
  const zurkel_cart* cart = nullptr;   // the loaded cart that holds the capture
} capture;

bool pressed(int key) { return brim_get_key_state(key) == 3; }

// Palette indices 0-15: a display colour from the extended palette becomes
// the nearest of the sixteen, as both cart forms keep labels.
uint8_t label_colour(int v) {
  if (v < 16) return static_cast<uint8_t>(v);
  const uint8_t* c = brim_palette + 3 * v;
  int best = 0, best_d = 1 << 30;
  for (int k = 0; k < 16; k++) {
    const uint8_t* p = brim_palette + 3 * k;
    int d = (c[0] - p[0]) * (c[0] - p[0]) + (c[1] - p[1]) * (c[1] - p[1]) + (c[2] - p[2]) * (c[2] - p[2]);
    if (d < best_d) best_d = d, best = k;
  }
  return static_cast<uint8_t>(best);
}

bool same_picture(const brim_bitmap* a, const brim_bitmap* b) {
  return a && b && a->w == b->w && a->h == b->h && std::memcmp(a->data, b->data, size_t(a->w) * a->h) == 0;
}

void put_label(zurkel_cart* cart, const brim_bitmap* from) {
  if (!cart->label) cart->label = brim_create_bitmap(128, 128, 8);
  if (cart->label) std::memcpy(cart->label->data, from->data, 128 * 128);
}

void capture_label(zurkel_machine* m) {
  zurkel_cart* cart = m->loaded.cart;
  if (!cart || !m->display) return;
  if (!capture.label) capture.label = brim_create_bitmap(128, 128, 8);
  if (!capture.label) return;
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) capture.label->line[y][x] = label_colour(m->display->line[y][x]);
  put_label(cart, capture.label);
  capture.name = m->loaded.name;
  capture.cart = cart;
  show_message("captured label image", 1400);
}

void keep_capture(zurkel_machine* m) {
  zurkel_cart* cart = m->loaded.cart;
  if (capture.name.empty() || !cart || cart == capture.cart || capture.name != m->loaded.name) return;
  if (same_picture(cart->label, capture.label)) {
    capture.name.clear();   // the file has it now
    return;
  }
  put_label(cart, capture.label);
  capture.cart = cart;
}

// A cart file that ran and has stopped, on the console's own screen.
bool stopped_cart(const zurkel_machine* m) {
  return m->mode == 0 && m->console_screen == 0 && m->run.end_reason != ZK_END_NONE &&
         m->loaded.name[0] && !m->pending_command && m->reset_glitch == 0;
}

void rerun_stopped_cart(zurkel_machine* m) {
  do_quick_load(m);
  m->reset_glitch = 1;   // the reset effect, then the run
  zcon.last_reset_ms = brim_get_time();
  zcon.reset_seen = true;
  brim_drain_keys();
}
}  // namespace

void author_keys(zurkel_machine* m) {
  keep_capture(m);
  if (brim_get_key_state(KEY_ANY_ALT)) return;
  if (pressed(KEY_F7) && m->mode == 1 && m->run.program_started) capture_label(m);
  if (brim_get_key_state(KEY_ANY_CTRL) && pressed(KEY_R) && stopped_cart(m)) rerun_stopped_cart(m);
}
