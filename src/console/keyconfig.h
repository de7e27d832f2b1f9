// The key configuration screen: a console mode in which the user presses,
// one after another, the key for each of the 13 entries of the key map.
#pragma once
#include <cstddef>

constexpr int BRIM_SCANCODE_NAMES = 311;   // scancodes 0-310
constexpr int KEYCONFIG_DONE = 13;

// Scancode names, made at engine start from the host's names: upper-cased,
// "?" when missing or longer than 19 characters.
void brim_set_scancode_name(int scancode, const char* host_name);
const char* brim_scancode_name(int scancode);

struct zurkel_keyconfig {
  int key_index = 0;     // entry being asked for; 13 finished
  int ready = 0;         // 1 once no key is down: one entry per release
  int backup[13] = {};   // the key map as it was on entry
};
extern zurkel_keyconfig zkeyconfig;

// Labels of the entries and the names shown for entries left at 0.
extern const char* const keyconfig_button_name[13];
extern const char* const keyconfig_default_key_name[13];

struct zurkel_machine;

void keyconfig_init();
// The "keyconfig" command: start, switch the console to the screen and
// block the buttons.
void keyconfig_enter(zurkel_machine* m);
// True while the console shows the screen.
bool keyconfig_active(const zurkel_machine* m);
// Once per machine frame while the screen is up and no program runs.
void keyconfig_update();
// A console key code while the screen is up: Escape before the end
// restores the key map and leaves; any key after the end leaves.
void keyconfig_keypress(zurkel_machine* m, int code);
// The console loop's step: queued key codes first, then the update.
void keyconfig_step(zurkel_machine* m);
// The line shown for an entry: "label : key name", lower-case; the
// default key's name for an entry of 0.
void keyconfig_entry_text(int entry, char* out, size_t size);
// Draws the screen into the machine screen with the console font.
void keyconfig_draw(zurkel_machine* m);
