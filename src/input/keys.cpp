#include "input/keys.h"

#include <cstring>

#include "input/scancodes.h"


namespace {
// The key layer's state.
struct key_state {
  uint8_t current[BRIM_KEY_COUNT];    // 0 up, 1 down, 3 repeated this frame
  uint8_t previous[BRIM_KEY_COUNT];
  uint8_t tapped[BRIM_KEY_COUNT];     // a key-down event arrived this frame
  uint8_t blocked[BRIM_KEY_COUNT];
  uint64_t next_press_t;
  uint64_t now_t;                     // time of the latest sample
  uint64_t focus_t;
  bool focus_seen;
  int queue[BRIM_KEY_QUEUE];          // key codes for the console, oldest first
  int queue_len;
  bool queued_this_frame;
} keys;

void push(int code) {
  if (!code) return;
  keys.queued_this_frame = true;
  if (keys.queue_len < BRIM_KEY_QUEUE) keys.queue[keys.queue_len++] = code;
}

bool valid(int sc) { return sc >= 0 && sc < BRIM_KEY_COUNT; }

// The console's code for a key-down (typed characters come as text).
int key_code(int sc, bool ctrl, bool alt, bool shift) {
  if (sc == KEY_RETURN || sc == KEY_KP_ENTER) return 13;
  if (sc == KEY_BACKSPACE) return 8;
  if (sc == KEY_ESCAPE) return 27;
  if (sc == KEY_TAB) {
    if (alt || (keys.focus_seen && keys.now_t - keys.focus_t < 10)) return 0;
    return 9;
  }
  if (ctrl && !alt && !shift && sc >= KEY_A && sc <= KEY_Z) return 'a' + (sc - KEY_A);
  return 0;
}
}  // namespace

void brim_key_sample(uint64_t now_ms, const uint8_t* host_keys) {
  keys.now_t = now_ms;
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++)
    if (keys.current[sc] == 1 && keys.previous[sc] == 0) keys.next_press_t = now_ms + BRIM_KEY_FIRST_REPEAT_MS;
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++) {
    keys.previous[sc] = keys.current[sc];
    keys.current[sc] = host_keys && host_keys[sc] ? 1 : 0;
    if (!keys.current[sc]) keys.blocked[sc] = 0;
  }
  std::memset(keys.tapped, 0, sizeof keys.tapped);
  if (now_ms >= keys.next_press_t) {
    for (uint8_t& c : keys.current)
      if (c == 1) c = 3;
    keys.next_press_t = now_ms + BRIM_KEY_REPEAT_MS;
  }
  keys.queued_this_frame = false;
}

void brim_key_frame() {
  std::memcpy(keys.previous, keys.current, sizeof keys.previous);
  std::memset(keys.tapped, 0, sizeof keys.tapped);
  keys.queued_this_frame = false;
}

void brim_key_frame_end() {
  if (keys.queued_this_frame) return;
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++)
    if (brim_get_key_state(sc) == 3) {
      push(-1);
      return;
    }
}

brim_key_action brim_key_event(int sc, bool is_down, bool ctrl, bool alt, bool shift,
                               bool repeat) {
  if (!valid(sc)) return BRIM_KEY_NONE;
  if (!is_down) {
    keys.current[sc] = 0;
    keys.blocked[sc] = 0;
    return BRIM_KEY_NONE;
  }
  if (!keys.current[sc]) {  // a new press (host repeats are not)
    keys.current[sc] = 1;
    keys.tapped[sc] = 1;
  }
  int code = key_code(sc, ctrl, alt, shift);
  if (sc == KEY_F11 || ((sc == KEY_RETURN || sc == KEY_KP_ENTER) && alt)) {
    if (repeat) return BRIM_KEY_NONE;
    keys.blocked[sc] = 1;  // the console does not see the key that toggled
    return BRIM_KEY_FULLSCREEN;
  }
  if (sc == KEY_1 && ctrl) return repeat ? BRIM_KEY_NONE : BRIM_KEY_SHOW_FPS;
  if (sc == KEY_F4 && alt) return BRIM_KEY_QUIT;
  push(code);
  return BRIM_KEY_NONE;
}

void brim_key_text(const char* utf8) {
  if (utf8 && utf8[0] && !utf8[1]) push(static_cast<unsigned char>(utf8[0]));
}

void brim_key_focus_gained() {
  keys.focus_t = keys.now_t;
  keys.focus_seen = true;
}

int brim_get_key_state(int code) {
  if (code == KEY_ANY_ALT) return brim_get_key_state(KEY_LALT) | brim_get_key_state(KEY_RALT);
  if (code == KEY_ANY_CTRL) return brim_get_key_state(KEY_LCTRL) | brim_get_key_state(KEY_RCTRL);
  if (code == KEY_ANY_SHIFT)
    return brim_get_key_state(KEY_LSHIFT) | brim_get_key_state(KEY_RSHIFT);
  if (code < 0) code = 0;
  if (code >= BRIM_KEY_COUNT || keys.blocked[code]) return 0;
  if (!keys.current[code] && !keys.tapped[code]) return 0;
  if (keys.current[code] == 3 || keys.tapped[code] || !keys.previous[code]) return 3;
  return 1;
}

int brim_get_any_key_down() {
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++)
    if (sc != KEY_CAPSLOCK && brim_get_key_state(sc)) return sc;
  return 0;
}

bool brim_keypressed() { return keys.queue_len > 0; }

int brim_readkey_nowait() {
  if (!keys.queue_len) return 0;
  int c = keys.queue[0];
  std::memmove(keys.queue, keys.queue + 1, sizeof(int) * (keys.queue_len - 1));
  keys.queue_len--;
  return c;
}

int brim_readkey(bool (*wait)()) {
  while (!keys.queue_len)
    if (!wait || !wait()) return 0;
  return brim_readkey_nowait();
}

void brim_drain_keys() { keys.queue_len = 0; }

void brim_key_block(int sc) {
  if (valid(sc)) keys.blocked[sc] = 1;
}

void brim_keys_reset() {
  std::memset(keys.blocked, 0, sizeof keys.blocked);
  std::memset(keys.current, 0, sizeof keys.current);
  std::memset(keys.previous, 0, sizeof keys.previous);
  std::memset(keys.tapped, 0, sizeof keys.tapped);
  keys.next_press_t = 0;
  keys.now_t = 0;
  keys.focus_seen = false;
  keys.queue_len = 0;
  keys.queued_this_frame = false;
}
