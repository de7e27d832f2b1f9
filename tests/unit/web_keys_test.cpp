#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/web/web_keys.h"

namespace {

TEST(WebKeys, CodesAreTheDesktopsScancodes) {
  struct { const char* code; int scancode; } cases[] = {
      {"KeyA", SDL_SCANCODE_A},       {"KeyZ", SDL_SCANCODE_Z},         {"Digit1", SDL_SCANCODE_1},
      {"Digit0", SDL_SCANCODE_0},     {"F1", SDL_SCANCODE_F1},          {"F12", SDL_SCANCODE_F12},
      {"ArrowLeft", SDL_SCANCODE_LEFT}, {"ArrowDown", SDL_SCANCODE_DOWN}, {"Enter", SDL_SCANCODE_RETURN},
      {"Escape", SDL_SCANCODE_ESCAPE}, {"Tab", SDL_SCANCODE_TAB},       {"Space", SDL_SCANCODE_SPACE},
      {"ShiftLeft", SDL_SCANCODE_LSHIFT}, {"ControlRight", SDL_SCANCODE_RCTRL},
      {"AltLeft", SDL_SCANCODE_LALT}, {"Numpad0", SDL_SCANCODE_KP_0},   {"NumpadEnter", SDL_SCANCODE_KP_ENTER},
      {"Backquote", SDL_SCANCODE_GRAVE}, {"Slash", SDL_SCANCODE_SLASH},
      {"F13", 0}, {"Key", 0}, {"KeyAA", 0}, {"Digit", 0}, {"Unidentified", 0}, {"", 0},
  };
  for (auto& c : cases) EXPECT_EQ(web_scancode(c.code), c.scancode) << c.code;
  EXPECT_EQ(web_scancode(nullptr), 0);
}

// The key configuration screen shows the same names on both hosts.
TEST(WebKeys, NamesAreTheDesktops) {
  int named = 0;
  for (int sc = 1; sc < SDL_NUM_SCANCODES; sc++) {
    const char* web = web_scancode_name(sc);
    if (!web) continue;
    named++;
    EXPECT_STREQ(web, SDL_GetScancodeName(static_cast<SDL_Scancode>(sc))) << sc;
  }
  EXPECT_GT(named, 90);
}

}  // namespace
