// The engine's key layer: per-key states sampled once per host frame, a
// time-based auto-repeat and a queue of typed key codes for the console.
// The event pump (src/platform) feeds it; tests feed it directly.
#pragma once
#include <cstdint>

constexpr int BRIM_KEY_COUNT = 512;
constexpr int BRIM_KEY_QUEUE = 32;
constexpr int BRIM_KEY_FIRST_REPEAT_MS = 500;
constexpr int BRIM_KEY_REPEAT_MS = 80;

// Once per host frame, before the events are read: the host's key states
// (BRIM_KEY_COUNT bytes, non-zero = down) become the current states and the
// auto-repeat turns held keys into new presses (3) every 80 ms, starting
// 500 ms after the latest new press.
void brim_key_sample(uint64_t now_ms, const uint8_t* host_keys);
// previous = current without a host sample (scripted input and tests).
void brim_key_frame();
// After the frame's events: a key that went down or repeated without giving
// a character queues -1.
void brim_key_frame_end();

// What the pump must do about a key-down beside queueing its code.
enum brim_key_action { BRIM_KEY_NONE, BRIM_KEY_FULLSCREEN, BRIM_KEY_SHOW_FPS, BRIM_KEY_QUIT };
// A key event. A key-down reads as newly pressed until the next sample,
// even if it is released again before then. `repeat` marks the host's own
// repeated key-downs (full-screen toggles happen once per press).
brim_key_action brim_key_event(int scancode, bool down, bool ctrl, bool alt, bool shift,
                               bool repeat = false);
// A text-input event: single-byte texts are queued.
void brim_key_text(const char* utf8);
// The window gained focus (Tab gives no code for the next 10 ms).
void brim_key_focus_gained();

// 0 up or blocked, 1 down, 3 down with a new press or a repeat this frame.
// Pseudo codes -4 Alt, -5 Ctrl, -6 Shift (either side); -3 and -2 read
// scancode 0.
int brim_get_key_state(int code);
// The lowest scancode that is down, ignoring Caps Lock, or 0.
int brim_get_any_key_down();

// The queue of key codes for the console.
bool brim_keypressed();
int brim_readkey_nowait();   // 0 when empty
// The oldest code, calling wait (which should sleep briefly and pump the
// host's events) while the queue is empty; 0 when wait is null or gives up
// (false: no more events will come, or the program is quitting).
int brim_readkey(bool (*wait)());
void brim_drain_keys();

// A blocked key reads as up until it is released (full-screen toggles).
void brim_key_block(int scancode);
// Forgets every key (tests, new session).
void brim_keys_reset();
