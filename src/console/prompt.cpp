// The command line's editing keys and Enter.
#include "console/prompt.h"

#include <cstdio>

#include "base/debug.h"
#include "console/boot.h"
#include "console/main_loop.h"
#include "gfx/printer.h"
#include "host/clipboard.h"
#include "input/keys.h"
#include "input/scancodes.h"
#include "machine/machine.h"
#include "runner/runner.h"
#include "settings/options.h"

zurkel_command_line zprompt;

namespace {
zurkel_machine* logged_machine = nullptr;   // set by the first typed line
bool echoing = false;                       // the echo is logged as "typed:"
void (*earlier_listener)(const char* text, int colour) = nullptr;

// Once a line has been typed, what the console prints outside a cart (the
// typed lines' output, their errors) also goes to log.txt, so a session can
// be read back and scripted runs checked.
void log_typed_output(const char* text, int colour) {
  if (earlier_listener) earlier_listener(text, colour);
  const zurkel_machine* m = logged_machine;
  if (m && !echoing && (m->run.typed_command || m->mode != 1)) brim_debugf("console: %s\n", text);
}

// Execute mode has no command line: its console lines go to standard
// output and it ends when the cart stops.
bool shown(const zurkel_machine* m) {
  return m->mode == 0 && m->console_screen == 0 && !m->pending_command && !zopts.exec;
}

void insert(zurkel_command_line& l, const std::string& s) {
  for (char c : s) {
    if (static_cast<int>(l.text.size()) >= PROMPT_MAX_CHARS) return;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');   // the console's letters are lower case
    if (c < 32 || c > 126) continue;
    l.text.insert(l.text.begin() + l.cursor, c);
    l.cursor++;
  }
}

void set_text(zurkel_command_line& l, const std::string& s) {
  l.text = s;
  l.cursor = static_cast<int>(s.size());
}

void recall(zurkel_command_line& l, int step) {
  int size = static_cast<int>(l.history.size());
  int to = l.history_pos + step;
  if (to < 0 || to > size) return;
  if (l.history_pos == size) l.draft = l.text;
  l.history_pos = to;
  set_text(l, to == size ? l.draft : l.history[to]);
}

// The typed line stays on screen as the prompt showed it, 30 characters a row.
void echo(zurkel_machine* m, const std::string& text) {
  m->draw[DS_CURSOR_X] = 0;
  size_t at = 0;
  do {
    std::string row = (at == 0 ? "> " : "  ") + text.substr(at, PROMPT_ROW_CHARS);
    zurkel_print_col(m, row.c_str(), 7);
    at += PROMPT_ROW_CHARS;
  } while (at < text.size());
}

void enter(zurkel_machine* m) {
  zurkel_command_line& l = zprompt;
  std::string line = l.text;
  echoing = true;
  echo(m, line);
  echoing = false;
  set_text(l, "");
  l.draft.clear();
  if (!line.empty() && (l.history.empty() || l.history.back() != line)) {
    l.history.push_back(line);
    if (static_cast<int>(l.history.size()) > PROMPT_HISTORY) l.history.erase(l.history.begin());
  }
  l.history_pos = static_cast<int>(l.history.size());
  if (line.find_first_not_of(' ') == std::string::npos) return;
  if (m->print_listener != log_typed_output) {
    earlier_listener = m->print_listener;
    m->print_listener = log_typed_output;
  }
  logged_machine = m;
  brim_debugf("typed: %s\n", line.c_str());
  // "resume" goes on with the stopped cart's main loop: that is the cart
  // running again, not a typed line.
  m->run.typed_command = line != "resume";
  if (!run_program(m, line.c_str())) m->run.typed_command = false;
}

void key_code(zurkel_machine* m, int code, bool ctrl) {
  zurkel_command_line& l = zprompt;
  if (ctrl) {
    // Other Ctrl keys belong to the console's own shortcuts.
    if (code == 'v') {
      std::snprintf(zcon.clipboard, sizeof zcon.clipboard, "%s", host_clipboard_text().c_str());
      zcon.clipboard_set = true;
      if (const char* paste = zurkel_paste_buffer()) {
        std::string s = paste;
        insert(l, s.substr(0, s.find_first_of("\r\n")));
      }
    }
    return;
  }
  if (code == 13) {
    enter(m);
  } else if (code == 8) {
    if (l.cursor > 0) l.text.erase(static_cast<size_t>(--l.cursor), 1);
  } else if (code >= 32 && code <= 126) {
    insert(l, std::string(1, static_cast<char>(code)));
  }
}
}  // namespace

void prompt_update(zurkel_machine* m) {
  if (zprompt.reboot_requested && m->mode != 1) {
    // Asked for by a typed line; its script machine has finished by now.
    zprompt.reboot_requested = false;
    set_text(zprompt, "");
    boot_init(m);
    return;
  }
  bool now_shown = shown(m);
  // Keys typed on another screen (the browser, a cart's frame) are not the
  // line's: the queue starts empty whenever the line comes back.
  if (now_shown && !zprompt.was_shown) brim_drain_keys();
  zprompt.was_shown = now_shown;
  if (!now_shown) return;
  zurkel_command_line& l = zprompt;
  if (brim_get_key_state(KEY_LEFT) == 3 && l.cursor > 0) l.cursor--;
  if (brim_get_key_state(KEY_RIGHT) == 3 && l.cursor < static_cast<int>(l.text.size())) l.cursor++;
  if (brim_get_key_state(KEY_UP) == 3) recall(l, -1);
  if (brim_get_key_state(KEY_DOWN) == 3) recall(l, 1);
  while (shown(m) && brim_keypressed()) {
    bool ctrl = brim_get_key_state(KEY_ANY_CTRL) != 0;
    key_code(m, brim_readkey_nowait(), ctrl);
  }
}
