// The code tokenizer and token counting.
#include "script/tokens.h"

#include <cstring>
#include <set>
#include <string>

namespace {

bool is_blank(unsigned char c) { return c == '\b' || c == '\t' || c == '\r' || c == ' '; }
bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_name_start(unsigned char c) { return is_letter(c) || c == '_' || c >= 0x80; }
bool is_name_char(unsigned char c) { return is_name_start(c) || is_digit(c); }

struct keyword {
  std::string_view text;
  int kind;
};

// Keywords and the built-in names of the runtime header, grouped by length.
constexpr keyword kWords[] = {
    {"do", TOK_DO},         {"if", TOK_IF},         {"in", TOK_IN},
    {"or", TOK_OR},         {"end", TOK_END},       {"for", TOK_FOR},
    {"and", TOK_AND},       {"not", TOK_NOT},       {"nil", TOK_LITERAL},
    {"all", TOK_API},       {"add", TOK_API},       {"del", TOK_API},
    {"then", TOK_THEN},     {"else", TOK_ELSE},     {"goto", TOK_GOTO},
    {"true", TOK_LITERAL},  {"while", TOK_WHILE},   {"local", TOK_LOCAL},
    {"until", TOK_UNTIL},   {"break", TOK_BREAK},   {"false", TOK_LITERAL},
    {"elseif", TOK_ELSEIF}, {"return", TOK_RETURN}, {"repeat", TOK_REPEAT},
    {"function", TOK_FUNCTION}, {"foreach", TOK_API}, {"menuitem", TOK_API},
};

// Registered API globals. Kept small and sorted; lookups take a view.
std::set<std::string, std::less<>> g_api_names;
constexpr size_t kApiNameEntry = 64;     // bytes per entry, NUL included
constexpr size_t kApiNameMax = 4096;     // registration is ours, but stay bounded

int classify_name(const char* s, size_t n) {
  if (n >= 2 && n <= 8) {
    const std::string_view word(s, n);
    for (const keyword& k : kWords)
      if (k.text == word) return k.kind;
  }
  if (!g_api_names.empty() && n < kApiNameEntry &&
      g_api_names.find(std::string_view(s, n)) != g_api_names.end())
    return TOK_API;
  return TOK_NAME;
}

// A number starts at a digit. The character after it picks the digit set;
// "x" or "b" may stand in second place and "." anywhere after the first.
// The first digit is always taken, so "2b" is one token (it fits none of the
// forms, but the scan must still move on).
const char* scan_number(const char* p) {
  const char form = p[1];
  auto in_set = [form](unsigned char c) {
    if (form == 'b') return c == '0' || c == '1';
    if (form == 'x') return is_digit(c) || (c >= 'a' && c <= 'f');
    return is_digit(c);
  };
  const char* q = p + 1;
  for (;; ++q) {
    unsigned char c = static_cast<unsigned char>(*q);
    if (c == 0) break;
    if (in_set(c)) continue;
    if (q == p + 1 && (c == 'x' || c == 'b')) continue;
    if (c == '.') continue;
    break;
  }
  return q;
}

// "[[" ... "]]" with nested pairs counted; p points after the opening "[[".
// Returns the position after the closing "]]", or null when it never closes.
const char* scan_long_bracket(const char* p) {
  int depth = 1;
  while (*p) {
    if (p[0] == '[' && p[1] == '[') {
      ++depth;
      p += 2;
    } else if (p[0] == ']' && p[1] == ']') {
      p += 2;
      if (--depth == 0) return p;
    } else {
      ++p;
    }
  }
  return nullptr;
}

// A quoted string runs to its matching quote or stops before a newline or
// the end of text. A backslash escapes the character after it, so "\\"
// closes where a reader expects it to.
const char* scan_quoted(const char* p) {
  const char quote = *p++;
  while (*p && *p != '\n') {
    if (*p == '\\' && p[1] && p[1] != '\n') {
      p += 2;
    } else if (*p == quote) {
      return p + 1;
    } else {
      ++p;
    }
  }
  return p;
}

int two_char_kind(char a, char b) {
  if (b == '=') {
    switch (a) {
      case '<': return TOK_LE;
      case '>': return TOK_GE;
      case '=': return TOK_EQ;
      case '~':
      case '!': return TOK_NE;
      case '+':
      case '-':
      case '*':
      case '/':
      case '%': return TOK_COMPOUND;
      default: return 0;
    }
  }
  if (a == '<' && b == '>') return TOK_NE;
  if (a == '.' && b == '.') return TOK_CONCAT;
  return 0;
}

// State of the stateful tokenizer.
struct {
  zk_token token;
  int newlines = 0;
} scan;

}  // namespace

const char* zk_scan_token(const char* pos, zk_token* tok) {
  const char* p = pos;
  tok->ws = pos;
  while (is_blank(static_cast<unsigned char>(*p))) ++p;
  tok->start = p;
  const unsigned char c = static_cast<unsigned char>(*p);

  if (c == 0) {
    tok->kind = TOK_EOF;
    tok->end = p;
    return p;
  }
  if (c == '-' && p[1] == '-') {
    const char* end = nullptr;
    if (p[2] == '[' && p[3] == '[') end = scan_long_bracket(p + 4);
    if (!end) {
      end = p + 2;
      while (*end && *end != '\n') ++end;
    }
    tok->kind = TOK_COMMENT;
    tok->end = end;
    return end;
  }
  if (is_name_start(c)) {
    const char* q = p + 1;
    while (is_name_char(static_cast<unsigned char>(*q))) ++q;
    tok->kind = classify_name(p, static_cast<size_t>(q - p));
    tok->end = q;
    return q;
  }
  if (is_digit(c)) {
    tok->kind = TOK_NUMBER;
    tok->end = scan_number(p);
    return tok->end;
  }
  if (c == '"' || c == '\'') {
    tok->kind = TOK_STRING;
    tok->end = scan_quoted(p);
    return tok->end;
  }
  if (c == '[' && p[1] == '[') {
    const char* end = scan_long_bracket(p + 2);
    if (!end) end = p + std::strlen(p);
    tok->kind = TOK_STRING;
    tok->end = end;
    return end;
  }
  if (c == '/' && p[1] == '/') {
    const char* end = p + 2;
    while (*end && *end != '\n') ++end;
    tok->kind = TOK_NEWLINE;
    tok->end = end;
    return end;
  }
  if (c == '\n') {
    tok->kind = TOK_NEWLINE;
    tok->end = p + 1;
    return p + 1;
  }
  if (int k = two_char_kind(p[0], p[1])) {
    tok->kind = k;
    tok->end = p + 2;
    return p + 2;
  }
  tok->kind = c;
  tok->end = p + 1;
  return p + 1;
}

const char* get_first_token(const char* text) {
  scan.newlines = 0;
  return get_next_token(text);
}

const char* get_next_token(const char* pos) {
  const char* next = zk_scan_token(pos, &scan.token);
  if (scan.token.kind == TOK_NEWLINE && *scan.token.start == '\n') ++scan.newlines;
  return next;
}

int get_token() { return scan.token.kind; }

std::string_view get_token_text() {
  if (!scan.token.start) return {};
  return std::string_view(scan.token.start, static_cast<size_t>(scan.token.end - scan.token.start));
}

int get_token_newlines() { return scan.newlines; }

bool token_counts(int kind) {
  switch (kind) {
    case TOK_NEWLINE:
    case TOK_EOF:
    case TOK_COMMENT:
    case TOK_LOCAL:
    case TOK_END:
    case ';':
    case ')':
    case '}':
    case ']':
    case '.':
    case ',':
    case ':':
      return false;
    default:
      return true;
  }
}

int count_tokens(const char* text) {
  if (!text) return 0;
  int count = 0;
  zk_token tok;
  const char* p = text;
  for (;;) {
    p = zk_scan_token(p, &tok);
    if (tok.kind == TOK_EOF) break;
    if (token_counts(tok.kind)) ++count;
  }
  return count;
}

void init_api_function_names() { g_api_names.clear(); }

void add_api_function_name(const char* name) {
  if (!name || !*name) return;
  const size_t n = std::strlen(name);
  if (n >= kApiNameEntry || g_api_names.size() >= kApiNameMax) return;
  g_api_names.emplace(name, n);
}

bool is_api_function_name(std::string_view name) {
  return g_api_names.find(name) != g_api_names.end();
}

int api_function_name_count() { return static_cast<int>(g_api_names.size()); }
