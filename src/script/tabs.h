// Code tabs: a cartridge's code text is up to eight tabs joined by the
// separator "\n-->8\n". The tabs are the console's working copy of the code;
// the loaded cart's code text is split into them and merged back from them.
#pragma once
#include <cstddef>
#include <string>

struct zurkel_cart;
struct zurkel_machine;

constexpr int ZURKEL_CODE_TABS = 8;
constexpr const char* ZURKEL_TAB_SEPARATOR = "\n-->8\n";

struct zurkel_code_tabs {
  std::string text[ZURKEL_CODE_TABS];
  int selected = 0;                    // the currently selected tab
  const zurkel_cart* owner = nullptr;  // the cart the tabs were split from
};

extern zurkel_code_tabs code_tabs;

// Fills the eight tabs from a code text (NUL-terminated). Text after an
// eighth separator is dropped.
void split_code_to_tabs(const char* code);
void split_code_to_tabs(const zurkel_cart* cart);

// The merged code text: tab 0, then separator + tab for tabs 1..n-1, where n
// is one more than the highest tab that is non-empty or selected.
std::string merged_code_text();
// Writes the merged text into `out` (capacity bytes including the NUL), cut
// to fit; returns the full merged length so callers can see it did not fit.
size_t merge_code_from_tabs(char* out, size_t capacity);
// Merges into the cart's code buffer (ZURKEL_CODE_BUFFER bytes). Tabs that
// were not split from this cart are first split from it, so a cart's code is
// never replaced by another cart's tabs.
size_t merge_code_from_tabs(zurkel_cart* cart);

// The same for the machine's loaded cart (nothing happens while there is none).
void split_code_to_tabs(const zurkel_machine* m);
size_t merge_code_from_tabs(zurkel_machine* m);

// Clears the tab selection (a newly loaded cart starts on tab 0).
void reset_code_tab_selection();

// Maps a 0-based line of the merged code text to its tab: returns the 0-based
// line within the tab and stores the tab in *tab (may be null). A line beyond
// tab 7 gives -1 and tab 0.
int find_tab_line(int line, int* tab);
