#include "input/keys.h"

#include <cstring>

#include "input/scancodes.h"


namespace {
uint8_t current[BRIM_KEY_COUNT];    // 0 up, 1 down, 3 repeated this frame
uint8_t previous[BRIM_KEY_COUNT];
uint8_t tapped[BRIM_KEY_COUNT];     // a key-down event arrived this frame
uint8_t blocked[BRIM_KEY_COUNT];
uint64_t next_press_t = 0;
uint64_t now_t = 0;                 // time of the latest sample
uint64_t focus_t = 0;
bool focus_seen = false;
int queue[BRIM_KEY_QUEUE];
int queue_len = 0;
bool queued_this_frame = false;

void push(int code) {
  if (!code) return;
  queued_this_frame = true;
  if (queue_len < BRIM_KEY_QUEUE) queue[queue_len++] = code;
}

bool valid(int sc) { return sc >= 0 && sc < BRIM_KEY_COUNT; }

// The console's code for a key-down (typed characters come as text).
int key_code(int sc, bool ctrl, bool alt, bool shift) {
  if (sc == KEY_RETURN || sc == KEY_KP_ENTER) return 13;
  if (sc == KEY_BACKSPACE) return 8;
  if (sc == KEY_ESCAPE) return 27;
  if (sc == KEY_TAB) {
    if (alt || (focus_seen && now_t - focus_t < 10)) return 0;
    return 9;
  }
  if (ctrl && !alt && !shift && sc >= KEY_A && sc <= KEY_Z) return 'a' + (sc - KEY_A);
  return 0;
}
}  // namespace

void brim_key_sample(uint64_t now_ms, const uint8_t* host_keys) {
  now_t = now_ms;
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++)
    if (current[sc] == 1 && previous[sc] == 0) next_press_t = now_ms + BRIM_KEY_FIRST_REPEAT_MS;
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++) {
    previous[sc] = current[sc];
    current[sc] = host_keys && host_keys[sc] ? 1 : 0;
    if (!current[sc]) blocked[sc] = 0;
  }
  std::memset(tapped, 0, sizeof tapped);
  if (now_ms >= next_press_t) {
    for (uint8_t& c : current)
      if (c == 1) c = 3;
    next_press_t = now_ms + BRIM_KEY_REPEAT_MS;
  }
  queued_this_frame = false;
}

void brim_key_frame() {
  std::memcpy(previous, current, sizeof previous);
  std::memset(tapped, 0, sizeof tapped);
  queued_this_frame = false;
}

void brim_key_frame_end() {
  if (queued_this_frame) return;
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
    current[sc] = 0;
    blocked[sc] = 0;
    return BRIM_KEY_NONE;
  }
  if (!current[sc]) {  // a new press (host repeats are not)
    current[sc] = 1;
    tapped[sc] = 1;
  }
  int code = key_code(sc, ctrl, alt, shift);
  if (sc == KEY_F11 || ((sc == KEY_RETURN || sc == KEY_KP_ENTER) && alt)) {
    if (repeat) return BRIM_KEY_NONE;
    blocked[sc] = 1;  // the console does not see the key that toggled
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
  focus_t = now_t;
  focus_seen = true;
}

int brim_get_key_state(int code) {
  if (code == KEY_ANY_ALT) return brim_get_key_state(KEY_LALT) | brim_get_key_state(KEY_RALT);
  if (code == KEY_ANY_CTRL) return brim_get_key_state(KEY_LCTRL) | brim_get_key_state(KEY_RCTRL);
  if (code == KEY_ANY_SHIFT)
    return brim_get_key_state(KEY_LSHIFT) | brim_get_key_state(KEY_RSHIFT);
  if (code < 0) code = 0;
  if (code >= BRIM_KEY_COUNT || blocked[code]) return 0;
  if (!current[code] && !tapped[code]) return 0;
  if (current[code] == 3 || tapped[code] || !previous[code]) return 3;
  return 1;
}

int brim_get_any_key_down() {
  for (int sc = 0; sc < BRIM_KEY_COUNT; sc++)
    if (sc != KEY_CAPSLOCK && brim_get_key_state(sc)) return sc;
  return 0;
}

bool brim_keypressed() { return queue_len > 0; }

int brim_readkey_nowait() {
  if (!queue_len) return 0;
  int c = queue[0];
  std::memmove(queue, queue + 1, sizeof(int) * (queue_len - 1));
  queue_len--;
  return c;
}

int brim_readkey(bool (*wait)()) {
  while (!queue_len)
    if (!wait || !wait()) return 0;
  return brim_readkey_nowait();
}

void brim_drain_keys() { queue_len = 0; }

void brim_key_block(int sc) {
  if (valid(sc)) blocked[sc] = 1;
}

void brim_keys_reset() {
  std::memset(blocked, 0, sizeof blocked);
  std::memset(current, 0, sizeof current);
  std::memset(previous, 0, sizeof previous);
  std::memset(tapped, 0, sizeof tapped);
  next_press_t = 0;
  now_t = 0;
  focus_seen = false;
  queue_len = 0;
  queued_this_frame = false;
}
