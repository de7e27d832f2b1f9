// Code tabs: splitting the code text at its separators, merging it back,
// and mapping program lines to tab lines.
#include "script/tabs.h"

#include <algorithm>
#include <cstring>

#include "machine/cart.h"
#include "machine/machine.h"

zurkel_code_tabs code_tabs;

namespace {
constexpr size_t kSeparatorLength = 6;
constexpr size_t kLineCountWindow = 10000;  // characters of a tab scanned for line breaks
}  // namespace

void split_code_to_tabs(const char* code) {
  code_tabs.owner = nullptr;
  for (std::string& t : code_tabs.text) t.clear();
  if (!code) return;
  const char* p = code;
  for (int tab = 0; tab < ZURKEL_CODE_TABS; ++tab) {
    const char* sep = std::strstr(p, ZURKEL_TAB_SEPARATOR);
    if (!sep) {
      code_tabs.text[tab] = p;
      return;
    }
    code_tabs.text[tab].assign(p, static_cast<size_t>(sep - p));
    p = sep + kSeparatorLength;
  }
  // Anything after an eighth separator has no tab to go to.
}

void split_code_to_tabs(const zurkel_cart* cart) {
  split_code_to_tabs(cart ? cart->code : nullptr);
  code_tabs.owner = cart;
}

std::string merged_code_text() {
  int n = 1;
  for (int i = 0; i < ZURKEL_CODE_TABS; ++i)
    if (!code_tabs.text[i].empty() || i == code_tabs.selected) n = std::max(n, i + 1);
  std::string out = code_tabs.text[0];
  for (int i = 1; i < n; ++i) {
    out += ZURKEL_TAB_SEPARATOR;
    out += code_tabs.text[i];
  }
  return out;
}

size_t merge_code_from_tabs(char* out, size_t capacity) {
  const std::string merged = merged_code_text();
  if (out && capacity > 0) {
    const size_t n = std::min(merged.size(), capacity - 1);
    std::memcpy(out, merged.data(), n);
    out[n] = '\0';
  }
  return merged.size();
}

size_t merge_code_from_tabs(zurkel_cart* cart) {
  if (!cart || !cart->code) return merged_code_text().size();
  if (code_tabs.owner != cart) split_code_to_tabs(cart);
  return merge_code_from_tabs(cart->code, ZURKEL_CODE_BUFFER);
}

void split_code_to_tabs(const zurkel_machine* m) {
  if (m->loaded.cart) split_code_to_tabs(static_cast<const zurkel_cart*>(m->loaded.cart));
}

size_t merge_code_from_tabs(zurkel_machine* m) {
  return m->loaded.cart ? merge_code_from_tabs(m->loaded.cart) : 0;
}

void reset_code_tab_selection() { code_tabs.selected = 0; }

int find_tab_line(int line, int* tab) {
  int a = line;
  for (int i = 0; i < ZURKEL_CODE_TABS; ++i) {
    const std::string& t = code_tabs.text[i];
    const size_t window = std::min(t.size(), kLineCountWindow);
    const int breaks = static_cast<int>(std::count(t.begin(), t.begin() + static_cast<long>(window), '\n'));
    if (a < breaks + 2) {
      if (tab) *tab = i;
      return a;
    }
    a -= breaks + 2;
  }
  if (tab) *tab = 0;
  return -1;
}
