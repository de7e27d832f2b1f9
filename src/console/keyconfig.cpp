#include "console/keyconfig.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/bitmap.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/resources.h"
#include "input/buttons.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "settings/config.h"

zurkel_keyconfig zkeyconfig;

const char* const keyconfig_button_name[13] = {
    "p1 left    ", "p1 right   ", "p1 up      ", "p1 down    ", "p1 button o",
    "p1 button x", "p2 left    ", "p2 right   ", "p2 up      ", "p2 down    ",
    "p2 button o", "p2 button x", "pause      ",
};

const char* const keyconfig_default_key_name[13] = {
    "left", "right", "up", "down", "z", "x", "s", "f", "e", "d", "tab", "q", "p",
};

namespace {
constexpr int KEY_NAME_MAX = 19;  // not NAME_MAX: <limits.h> defines that as a macro on some hosts
char names[BRIM_SCANCODE_NAMES][KEY_NAME_MAX + 1];

int* key_map() { return console_config.button_keys; }

void text(brim_bitmap* b, const char* s, int x, int y, int c) {
  brim_draw_text_ex(b, s, zurkel_console_font, x, y, BRIM_TEXT_COLOUR, static_cast<uint32_t>(c));
}

void leave(zurkel_machine* m) { m->console_screen = 0; }

// The key name shown for an entry, lower-cased.
void entry_key_name(int entry, char* out, size_t size) {
  int sc = key_map()[entry];
  const char* name = keyconfig_default_key_name[entry];
  if (sc) name = brim_scancode_name(sc < 0 ? 0 : sc > 255 ? 255 : sc);
  std::snprintf(out, size, "%s", name);
  for (char* p = out; *p; p++) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
}
}  // namespace

void brim_set_scancode_name(int scancode, const char* host_name) {
  if (scancode < 0 || scancode >= BRIM_SCANCODE_NAMES) return;
  char* out = names[scancode];
  if (!host_name || !*host_name || std::strlen(host_name) > KEY_NAME_MAX) {
    std::strcpy(out, "?");
    return;
  }
  for (int i = 0; host_name[i]; i++)
    out[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(host_name[i])));
  out[std::strlen(host_name)] = 0;
}

const char* brim_scancode_name(int scancode) {
  if (scancode < 0 || scancode >= BRIM_SCANCODE_NAMES || !names[scancode][0]) return "?";
  return names[scancode];
}

void keyconfig_init() {
  zkeyconfig.key_index = 0;
  zkeyconfig.ready = 0;
  std::memcpy(zkeyconfig.backup, key_map(), sizeof zkeyconfig.backup);
}

void keyconfig_enter(zurkel_machine* m) {
  keyconfig_init();
  m->console_screen = 1;
  block_buttons();
}

bool keyconfig_active(const zurkel_machine* m) { return m->console_screen == 1; }

void keyconfig_update() {
  zurkel_keyconfig& k = zkeyconfig;
  if (!k.ready && k.key_index < KEYCONFIG_DONE) {
    bool any = false;
    for (int sc = 0; sc < BRIM_KEY_COUNT && !any; sc++) any = brim_get_key_state(sc) != 0;
    if (!any) k.ready = 1;
  }
  if (!k.ready) return;
  for (int sc = 0; sc < BRIM_KEY_COUNT && k.key_index < KEYCONFIG_DONE; sc++) {
    if (!brim_get_key_state(sc)) continue;
    key_map()[k.key_index] = sc == KEY_DELETE || sc == KEY_BACKSPACE ? 0 : sc;
    k.ready = 0;
    k.key_index++;
    // The key that finished does not also leave the screen.
    if (k.key_index == KEYCONFIG_DONE) brim_drain_keys();
  }
}

void keyconfig_keypress(zurkel_machine* m, int code) {
  if (zkeyconfig.key_index < KEYCONFIG_DONE) {
    if (code == 27) {
      std::memcpy(key_map(), zkeyconfig.backup, sizeof zkeyconfig.backup);
      leave(m);
    }
    return;
  }
  leave(m);
  m->draw[DS_CURSOR_Y] = 120;
}

void keyconfig_step(zurkel_machine* m) {
  while (keyconfig_active(m) && brim_keypressed()) keyconfig_keypress(m, brim_readkey_nowait());
  if (keyconfig_active(m)) keyconfig_update();
}

void keyconfig_entry_text(int entry, char* out, size_t size) {
  if (entry < 0 || entry > 12) entry = 0;
  char name[KEY_NAME_MAX + 1];
  entry_key_name(entry, name, sizeof name);
  std::snprintf(out, size, "%s : %s", keyconfig_button_name[entry], name);
}

void keyconfig_draw(zurkel_machine* m) {
  brim_bitmap* b = m->screen;
  if (!b) return;
  int cl = b->cl, ct = b->ct, cr = b->cr, cb = b->cb;
  brim_reset_clip(b);
  const zurkel_keyconfig& k = zkeyconfig;
  brim_fill_rect(b, 0, 0, 127, 127, 1);
  brim_fill_rect(b, 4, 41, 123, 124, 6);
  brim_fill_rect(b, 0, 0, 127, 6, 7);
  text(b, "player key config", 6, 1, 12);
  int icon = k.key_index < 12 ? GFX_RES_KEY_FIRST + k.key_index
                              : k.key_index == 12 ? GFX_RES_KEY_PAUSE : GFX_RES_KEY_DONE;
  gfx_draw_icon(b, icon, 6, 8);
  if (k.key_index < KEYCONFIG_DONE) {
    text(b, "press key for:", 60, 12, 6);
    text(b, keyconfig_button_name[k.key_index], 60, 19, 7);
    text(b, "del to reset", 60, 26, 13);
    text(b, "esc to cancel", 60, 33, 13);
  } else {
    text(b, "saved config.", 60, 12, 11);
    text(b, "any key to quit", 60, 22, 12);
  }
  for (int e = 0; e < 13; e++) {
    int y = 44 + 6 * e;
    char line[64];
    keyconfig_entry_text(e, line, sizeof line);
    bool current = e == k.key_index;
    if (current) brim_fill_rect(b, 7, y - 1, 120, y + 5, 14);
    text(b, line, 10, y, current ? 1 : 5);
  }
  brim_set_clip(b, cl, ct, cr, cb);
}
