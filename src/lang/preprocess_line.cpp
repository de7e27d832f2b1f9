// Rewriting one logical line: print shorthand, the rewrite loop ("!=",
// button glyphs, compound assignment) and the one-line conditional.
//
// The rewrite loop is defined pass by pass: each pass replaces the first
// "!=", the first of each glyph and the first compound operator, and every
// search skips string text. Done literally, a line with k rewrites costs k
// full rescans and re-tokenizations. Instead each searched pattern keeps a
// cursor before which it is known not to occur, and a compound rewrite only
// re-tokenizes the text it inserts: the prefix keeps its tokens (they end
// before the operator), and the right-hand side and the tail move whole
// (both start and end on token boundaries). Lines whose tokens could shift
// across those boundaries (comment tokens, a string opened by a copied
// left-hand side) fall back to a full rebuild, which is always exact.
#include "lang/preprocess_line.h"

#include <cstring>

#include "lang/preprocess.h"
#include "lang/tokens.h"

namespace {

constexpr size_t kMaxLine = ZURKEL_PREPROCESS_BUFFER - 1;  // characters, NUL not counted
constexpr size_t npos = std::string::npos;

// The patterns of one pass, in the order a pass applies them.
constexpr int kNe = 0;         // "!="
constexpr int kGlyph0 = 1;     // seven button glyphs
constexpr int kCompound0 = 8;  // "+=", "-=", "*=", "/=", "%="
constexpr int kPatterns = 13;
constexpr unsigned char kGlyphs[7] = {0x8B, 0x91, 0x94, 0x83, 0x8E, 0x97, 0x8F};
constexpr char kOps[5] = {'+', '-', '*', '/', '%'};

bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
bool is_lhs_char(unsigned char c) {
  return is_letter(c) || is_digit(c) || c == '_' || c == '.' || c == '[' || c == ']';
}
bool is_rhs_operator(int kind) {
  switch (kind) {
    case '+': case '-': case '*': case '/': case '%':
    case '^': case '.': case '#': case ':':
      return true;
    default:
      return false;
  }
}

// First unmasked occurrence of pattern k starting in [from, to), or npos.
size_t search_pattern(const std::string& line, const std::vector<uint8_t>& mask, int k,
                      size_t from, size_t to) {
  const char* s = line.data();
  const uint8_t* m = mask.data();
  const size_t n = line.size();
  if (to > n) to = n;
  if (k >= kGlyph0 && k < kCompound0) {
    const char g = static_cast<char>(kGlyphs[k - kGlyph0]);
    for (size_t i = from; i < to;) {
      const void* hit = std::memchr(s + i, g, to - i);
      if (!hit) break;
      i = static_cast<size_t>(static_cast<const char*>(hit) - s);
      if (!m[i]) return i;
      ++i;
    }
    return npos;
  }
  const char first = k == kNe ? '!' : kOps[k - kCompound0];
  if (to > n - 1 && n > 0) to = n - 1;  // the '=' must fit
  if (n == 0) return npos;
  for (size_t i = from; i < to;) {
    const void* hit = std::memchr(s + i, first, to - i);
    if (!hit) break;
    i = static_cast<size_t>(static_cast<const char*>(hit) - s);
    if (s[i + 1] == '=' && !m[i] && !m[i + 1]) return i;
    ++i;
  }
  return npos;
}

// The end of a compound assignment's right-hand side: the start (leading
// blanks included) of the token that begins the tail, or the line's end.
size_t rhs_end(const std::string& line, size_t from) {
  enum { kExpect, kInside, kAfter } state = kExpect;
  int depth = 0;
  const char* base = line.c_str();
  const char* p = base + from;
  for (;;) {
    zk_token t;
    const char* next = zk_scan_token(p, &t);
    const size_t here = static_cast<size_t>(t.ws - base);
    if (t.kind == TOK_EOF) return line.size();
    // A "//" that joined this line (around a dropped block comment) ends the
    // right-hand side; the text from it on stays as the tail, so none is lost.
    if (t.kind == TOK_NEWLINE) return here;
    if (state == kInside) {
      if (t.kind == '(' || t.kind == '[') {
        ++depth;
      } else if (t.kind == ')' || t.kind == ']') {
        if (--depth == 0) state = kAfter;
      }
    } else if (is_rhs_operator(t.kind)) {
      state = kExpect;
    } else if (t.kind == '(' || t.kind == '[') {
      state = kInside;
      depth = 1;
    } else if (t.kind == ')') {
      return here;
    } else if (state == kAfter) {
      return here;
    } else {
      state = kAfter;
    }
    p = next;
  }
}

struct rewriter {
  std::string& line;
  std::vector<uint8_t>& mask;
  size_t cur[kPatterns] = {};  // pattern k does not occur (unmasked) before cur[k]
  bool regular = false;        // mask is exact and incremental updates are safe

  size_t find(int k) {
    const size_t hit = search_pattern(line, mask, k, cur[k], line.size());
    cur[k] = hit == npos ? line.size() : hit;
    return hit;
  }

  void rebuild() {
    regular = build_string_mask(line, mask);
    for (size_t& c : cur) c = 0;
  }

  bool rewrite_compound(size_t c, char op);
};

// "%s = %s %c (%s) %s": prefix, left-hand side, operator, right-hand side,
// tail. Returns false when the result would not fit the work buffer.
bool rewriter::rewrite_compound(size_t c, char op) {
  const size_t n = line.size();
  long e = static_cast<long>(c) - 1;
  while (e >= 0 && line[static_cast<size_t>(e)] == ' ') --e;
  const size_t d = static_cast<size_t>(e + 1);  // prefix length
  size_t s = d;                                  // left-hand side is [s, d)
  int depth = 0;
  for (long i = e; i >= 0; --i) {
    const unsigned char ch = static_cast<unsigned char>(line[static_cast<size_t>(i)]);
    if (depth < 1 && !is_lhs_char(ch)) break;
    if (ch == ']') ++depth;
    else if (ch == '[') --depth;
    s = static_cast<size_t>(i);
  }
  const size_t lhs_len = d - s;
  const size_t r0 = c + 2;
  const size_t t0 = rhs_end(line, r0);
  const size_t r1 = d + 3 + lhs_len + 4;
  const size_t t1 = r1 + (t0 - r0) + 2;
  const size_t new_len = t1 + (n - t0);
  if (new_len > kMaxLine) return false;

  std::string out;
  out.reserve(new_len);
  out.append(line, 0, d);
  out += " = ";
  out.append(line, s, lhs_len);
  out += ' ';
  out += op;
  out += " (";
  out.append(line, r0, t0 - r0);
  out += ") ";
  out.append(line, t0, npos);

  if (!regular) {
    line.swap(out);
    return true;  // the caller rebuilds the mask after the pass
  }

  // Mask: keep the prefix, tokenize the inserted text, move the rest.
  std::vector<uint8_t> nm;
  nm.reserve(new_len);
  nm.assign(mask.begin(), mask.begin() + static_cast<long>(d));
  nm.resize(r1, 0);
  const char* base = out.c_str();
  const char* p = base + d;
  bool exact = true;
  while (p < base + r1) {
    zk_token t;
    const char* next = zk_scan_token(p, &t);
    if (t.kind == TOK_EOF || t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE || next > base + r1) {
      exact = false;
      break;
    }
    if (t.kind == TOK_STRING)
      std::memset(nm.data() + (t.ws - base), 1, static_cast<size_t>(t.end - t.ws));
    p = next;
  }
  line.swap(out);
  if (!exact) {
    regular = false;
    return true;
  }
  nm.insert(nm.end(), mask.begin() + static_cast<long>(r0), mask.begin() + static_cast<long>(t0));
  nm.push_back(0);
  nm.push_back(0);
  nm.insert(nm.end(), mask.begin() + static_cast<long>(t0), mask.end());
  mask.swap(nm);

  // Cursors: text before d is unchanged; the inserted text is searched now;
  // what a cursor knew about the moved right-hand side and tail still holds.
  for (int k = 0; k < kPatterns; ++k) {
    const size_t old = cur[k];
    if (old <= d) continue;
    if (old <= r0) {
      cur[k] = d;
      continue;
    }
    const size_t hit = search_pattern(line, mask, k, d, r1);
    if (hit != npos) cur[k] = hit;
    else if (old <= t0) cur[k] = old - r0 + r1;
    else cur[k] = old - t0 + t1;
  }
  return true;
}

}  // namespace

bool build_string_mask(const std::string& line, std::vector<uint8_t>& mask) {
  mask.assign(line.size(), 0);
  const char* base = line.c_str();
  const char* p = base;
  bool regular = true;
  for (;;) {
    zk_token t;
    p = zk_scan_token(p, &t);
    if (t.kind == TOK_EOF) break;
    if (t.kind == TOK_STRING)
      std::memset(mask.data() + (t.ws - base), 1, static_cast<size_t>(t.end - t.ws));
    else if (t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE)
      regular = false;
  }
  return regular;
}

bool apply_print_shorthand(std::string& line, std::vector<uint8_t>& mask) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size() || line[i] != '?') return false;
  std::string out = "print(";
  out.append(line, i + 1, npos);
  out += ')';
  line.swap(out);
  build_string_mask(line, mask);
  return true;
}

bool apply_rewrite_loop(std::string& line, std::vector<uint8_t>& mask) {
  if (mask.size() != line.size()) build_string_mask(line, mask);
  rewriter rw{line, mask};
  // The first pass searches with the mask as collected; the first change
  // rebuilds it from the line.
  rw.regular = false;
  for (;;) {
    bool changed = false;
    size_t p = rw.find(kNe);
    if (p != npos) {
      line[p] = '~';
      rw.cur[kNe] = p + 1;
      changed = true;
    }
    for (int g = 0; g < 7; ++g) {
      p = rw.find(kGlyph0 + g);
      if (p != npos) {
        line[p] = static_cast<char>('0' + g);
        rw.cur[kGlyph0 + g] = p + 1;
        changed = true;
      }
    }
    for (int t = 0; t < 5; ++t) {
      p = rw.find(kCompound0 + t);
      if (p == npos) continue;
      // An operator at the very start of the line is left alone.
      if (p > 0) {
        if (!rw.rewrite_compound(p, kOps[t])) return false;
        changed = true;
      }
      break;
    }
    if (!changed) return true;
    // Replacing "!=" or a glyph in place leaves every string token where it
    // was, so only an inexact state needs the full rebuild.
    if (!rw.regular) rw.rebuild();
  }
}

bool apply_conditional_shorthand(std::string& line, const std::vector<uint8_t>& mask) {
  const char* text = line.c_str();
  const uint8_t* m = mask.data();
  const char* at = pstrstr(text, "if(", m);
  if (!at) at = pstrstr(text, "if ", m);
  if (!at) return true;
  if (pstrstr(text, "then", m)) return true;
  const size_t pos = static_cast<size_t>(at - text);
  if (pos > 0 && line[pos - 1] != ' ' && line[pos - 1] != '\t') return true;
  size_t q = pos + 2;
  while (q < line.size() && (line[q] == ' ' || line[q] == '\t')) ++q;
  if (q >= line.size() || line[q] != '(') return true;
  // Brackets are counted without regard to strings.
  int depth = 0;
  size_t close = npos;
  for (size_t r = q; r < line.size() && line[r] != '\n'; ++r) {
    if (line[r] == '(') {
      ++depth;
    } else if (line[r] == ')') {
      if (--depth == 0) {
        close = r;
        break;
      }
    }
  }
  if (close == npos) return true;
  size_t body = close + 1;
  while (body < line.size() && (line[body] == ' ' || line[body] == '\t')) ++body;
  if (body >= line.size()) return true;
  const unsigned char first = static_cast<unsigned char>(line[body]);
  if (!is_letter(first) && first != '_') return true;
  zk_token t;
  zk_scan_token(text + body, &t);
  if (t.kind == TOK_AND || t.kind == TOK_OR) return true;
  if (line.size() + 10 > kMaxLine) return false;
  std::string out;
  out.reserve(line.size() + 10);
  out.append(line, 0, close + 1);
  out += " then ";
  out.append(line, close + 1, npos);
  out += " end ";
  line.swap(out);
  return true;
}

bool preprocess_logical_line(std::string& line, std::vector<uint8_t>& mask) {
  if (!apply_print_shorthand(line, mask) && !apply_rewrite_loop(line, mask)) return false;
  return apply_conditional_shorthand(line, mask);
}
