#include "web_keys.h"

#include <cstdio>
#include <cstring>

namespace {

struct key_def {
  const char* code;
  int scancode;
  const char* name;
};

// Letters, digits and F1-F12 follow from their runs (below).
const key_def keys[] = {
    {"Enter", 40, "Return"}, {"Escape", 41, "Escape"}, {"Backspace", 42, "Backspace"},
    {"Tab", 43, "Tab"}, {"Space", 44, "Space"}, {"Minus", 45, "-"}, {"Equal", 46, "="},
    {"BracketLeft", 47, "["}, {"BracketRight", 48, "]"}, {"Backslash", 49, "\\"},
    {"Semicolon", 51, ";"}, {"Quote", 52, "'"}, {"Backquote", 53, "`"}, {"Comma", 54, ","},
    {"Period", 55, "."}, {"Slash", 56, "/"}, {"CapsLock", 57, "CapsLock"},
    {"PrintScreen", 70, "PrintScreen"}, {"ScrollLock", 71, "ScrollLock"}, {"Pause", 72, "Pause"},
    {"Insert", 73, "Insert"}, {"Home", 74, "Home"}, {"PageUp", 75, "PageUp"},
    {"Delete", 76, "Delete"}, {"End", 77, "End"}, {"PageDown", 78, "PageDown"},
    {"ArrowRight", 79, "Right"}, {"ArrowLeft", 80, "Left"}, {"ArrowDown", 81, "Down"},
    {"ArrowUp", 82, "Up"}, {"NumLock", 83, "Numlock"}, {"NumpadDivide", 84, "Keypad /"},
    {"NumpadMultiply", 85, "Keypad *"}, {"NumpadSubtract", 86, "Keypad -"},
    {"NumpadAdd", 87, "Keypad +"}, {"NumpadEnter", 88, "Keypad Enter"},
    {"Numpad1", 89, "Keypad 1"}, {"Numpad2", 90, "Keypad 2"}, {"Numpad3", 91, "Keypad 3"},
    {"Numpad4", 92, "Keypad 4"}, {"Numpad5", 93, "Keypad 5"}, {"Numpad6", 94, "Keypad 6"},
    {"Numpad7", 95, "Keypad 7"}, {"Numpad8", 96, "Keypad 8"}, {"Numpad9", 97, "Keypad 9"},
    {"Numpad0", 98, "Keypad 0"}, {"NumpadDecimal", 99, "Keypad ."},
    {"IntlBackslash", 100, nullptr}, {"ControlLeft", 224, "Left Ctrl"},  // SDL names no 100
    {"ShiftLeft", 225, "Left Shift"}, {"AltLeft", 226, "Left Alt"}, {"MetaLeft", 227, "Left GUI"},
    {"ControlRight", 228, "Right Ctrl"}, {"ShiftRight", 229, "Right Shift"},
    {"AltRight", 230, "Right Alt"}, {"MetaRight", 231, "Right GUI"},
};

// "A".."Z" (4-29), "1".."9", "0" (30-39), "F1".."F12" (58-69).
char run_names[26 + 10 + 12][4];

const char* run_name(int scancode) {
  static bool made = false;
  if (!made) {
    for (int i = 0; i < 26; i++) std::snprintf(run_names[i], 4, "%c", 'A' + i);
    for (int i = 0; i < 10; i++) std::snprintf(run_names[26 + i], 4, "%d", (i + 1) % 10);
    for (int i = 0; i < 12; i++) std::snprintf(run_names[36 + i], 4, "F%d", i + 1);
    made = true;
  }
  if (scancode >= 4 && scancode <= 29) return run_names[scancode - 4];
  if (scancode >= 30 && scancode <= 39) return run_names[26 + scancode - 30];
  if (scancode >= 58 && scancode <= 69) return run_names[36 + scancode - 58];
  return nullptr;
}

}  // namespace

int web_scancode(const char* code) {
  if (!code) return 0;
  size_t n = std::strlen(code);
  if (n == 4 && std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z')
    return 4 + code[3] - 'A';
  if (n == 6 && std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9')
    return code[5] == '0' ? 39 : 30 + code[5] - '1';
  if ((n == 2 || n == 3) && code[0] == 'F') {
    int f = 0;
    if (std::sscanf(code + 1, "%d", &f) == 1 && f >= 1 && f <= 12) return 57 + f;
  }
  for (const key_def& k : keys)
    if (std::strcmp(k.code, code) == 0) return k.scancode;
  return 0;
}

const char* web_scancode_name(int scancode) {
  if (const char* r = run_name(scancode)) return r;
  for (const key_def& k : keys)
    if (k.scancode == scancode) return k.name;
  return nullptr;
}
