#include "input/keys.h"

#include <cstring>

#include "input/scancodes.h"

namespace {
uint8_t current[BRIM_KEY_COUNT];
uint8_t previous[BRIM_KEY_COUNT];
uint8_t went_down[BRIM_KEY_COUNT];   // pressed since the last frame
uint8_t blocked[BRIM_KEY_COUNT];
int queue[32];
int queue_len = 0;

void push(int code) {
  if (code && queue_len < 32) queue[queue_len++] = code;
}

bool down(int sc) { return sc >= 0 && sc < BRIM_KEY_COUNT && current[sc]; }
}  // namespace

void brim_key_event(int sc, bool is_down, bool ctrl, bool alt, bool shift) {
  if (sc < 0 || sc >= BRIM_KEY_COUNT) return;
  if (!is_down) {
    current[sc] = 0;
    blocked[sc] = 0;
    return;
  }
  if (!current[sc]) went_down[sc] = 1;
  current[sc] = 1;
  int ch = 0;
  if (sc == KEY_RETURN || sc == KEY_KP_ENTER) ch = 13;
  else if (sc == KEY_BACKSPACE) ch = 8;
  else if (sc == KEY_ESCAPE) ch = 27;
  else if (sc == KEY_TAB) ch = alt ? 0 : 9;
  else if (ctrl && !alt && !shift && sc >= KEY_A && sc <= KEY_Z) ch = 'a' + (sc - KEY_A);
  push(ch);
}

void brim_key_text(const char* utf8) {
  if (utf8 && utf8[0] && !utf8[1]) push(static_cast<unsigned char>(utf8[0]));
}

void brim_key_frame() {
  std::memcpy(previous, current, sizeof previous);
  std::memset(went_down, 0, sizeof went_down);
}

int brim_get_key_state(int code) {
  if (code == KEY_ANY_ALT) return brim_get_key_state(KEY_LALT) | brim_get_key_state(KEY_RALT);
  if (code == KEY_ANY_CTRL) return brim_get_key_state(KEY_LCTRL) | brim_get_key_state(KEY_RCTRL);
  if (code == KEY_ANY_SHIFT)
    return brim_get_key_state(KEY_LSHIFT) | brim_get_key_state(KEY_RSHIFT);
  if (code < 0) code = 0;
  if (code >= BRIM_KEY_COUNT || blocked[code]) return 0;
  if (went_down[code] || (down(code) && !previous[code])) return 3;
  return down(code) ? 1 : 0;
}

bool brim_keypressed() { return queue_len > 0; }

int brim_readkey_nowait() {
  if (!queue_len) return 0;
  int c = queue[0];
  std::memmove(queue, queue + 1, sizeof(int) * (queue_len - 1));
  queue_len--;
  return c;
}

void brim_drain_keys() { queue_len = 0; }

void brim_key_block(int sc) {
  if (sc >= 0 && sc < BRIM_KEY_COUNT) blocked[sc] = 1;
}

void brim_keys_reset() {
  std::memset(blocked, 0, sizeof blocked);
  std::memset(current, 0, sizeof current);
  std::memset(previous, 0, sizeof previous);
  std::memset(went_down, 0, sizeof went_down);
  queue_len = 0;
}
