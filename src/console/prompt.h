// The console's command line: shown whenever no program runs on console
// screen 0, a small line editor (printable keys, Backspace, Left/Right,
// Up/Down through earlier lines, Ctrl+V pastes) whose line runs at Enter as
// a typed command (the runner's command substitution makes "ls" a call of
// ls(), and so on).
#pragma once
#include <string>
#include <vector>

struct zurkel_machine;

constexpr int PROMPT_MAX_CHARS = 255;     // longer typing is cut
constexpr int PROMPT_HISTORY = 64;        // earlier lines kept for Up/Down
constexpr int PROMPT_ROW_CHARS = 30;      // characters per prompt row

struct zurkel_command_line {
  std::string text;
  int cursor = 0;                         // 0..text.size()
  std::vector<std::string> history;       // oldest first
  int history_pos = 0;                    // history.size() while not browsing
  std::string draft;                      // the line being typed before browsing
  bool reboot_requested = false;          // carried out once the typed line ended
  bool was_shown = false;                 // the line was shown last iteration
  // What the last draw cleared (row and strip widths), so a shorter line
  // leaves none of its old pixels behind.
  int drawn_y = -1;
  std::vector<int> drawn_widths;
};
extern zurkel_command_line zprompt;

// Once per host-loop iteration: the editing keys and Enter while the
// command line is shown, and a reboot a typed line asked for.
void prompt_update(zurkel_machine* m);

// Draws the prompt into the machine screen at the text cursor's row: one
// cleared strip per 30 characters, ">" at x 0 and the text at x 8 in colour
// 7, the cursor as a 4 x 5 block of colour 8 while bit 8 of the millisecond
// clock is set and the window is active. Only on the command line (mode 0).
void draw_command_string(zurkel_machine* m, bool place_cursor, bool draw_text);

// The machine host's typed_command: ls/dir (the current folder under the
// cartridge root, folders first), help, splore, reboot, shutdown.
bool prompt_typed_command(zurkel_machine* m, const char* name, const char* arg);
