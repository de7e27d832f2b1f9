// The engine's key layer: per-key states sampled once per host frame and a
// queue of typed key codes. The event pump (src/platform) feeds it.
#pragma once
#include <cstdint>

constexpr int BRIM_KEY_COUNT = 512;

// From the event pump.
void brim_key_event(int scancode, bool down, bool ctrl, bool alt, bool shift);
void brim_key_text(const char* utf8);
// Once per host frame, before the events are read: previous = current. A
// key that goes down during the frame reads as newly pressed (3) until the
// next call, even if it is released again before then.
void brim_key_frame();

// 0 up, 1 down, 3 down with a new press this frame. Pseudo codes -4 Alt,
// -5 Ctrl, -6 Shift (either side).
int brim_get_key_state(int code);
// The queue of key codes for the console (at most 32).
bool brim_keypressed();
int brim_readkey_nowait();   // 0 when empty
void brim_drain_keys();
// A blocked key reads as up until it is released (full-screen toggles).
void brim_key_block(int scancode);
// Forgets every key (tests, new session).
void brim_keys_reset();
