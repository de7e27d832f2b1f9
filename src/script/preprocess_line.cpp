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
#include "script/preprocess_line.h"

#include <algorithm>
#include <cstring>

#include "script/preprocess.h"
#include "script/tokens.h"

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

// Bracket nesting beyond this inside a right-hand side is refused: the
// compiler rejects more than 200 nested levels anyway, and each nested
// rewrite rescans everything inside it, so deep nesting would cost
// quadratic time on a long line.
constexpr int kMaxRhsDepth = 256;

// The end of a compound assignment's right-hand side, which starts at
// `from` (NUL-terminated text): the start (leading blanks included) of the
// token that begins the tail, or the end of the text. Null when its brackets
// nest deeper than kMaxRhsDepth.
const char* rhs_end(const char* from) {
  enum { kExpect, kInside, kAfter } state = kExpect;
  int depth = 0;
  const char* p = from;
  for (;;) {
    zk_token t;
    const char* next = zk_scan_token(p, &t);
    if (t.kind == TOK_EOF) return t.start;
    // A "//" that joined this line (around a dropped block comment) ends the
    // right-hand side; the text from it on stays as the tail, so none is lost.
    if (t.kind == TOK_NEWLINE) return t.ws;
    if (state == kInside) {
      if (t.kind == '(' || t.kind == '[') {
        if (++depth > kMaxRhsDepth) return nullptr;
      } else if (t.kind == ')' || t.kind == ']') {
        if (--depth == 0) state = kAfter;
      }
    } else if (is_rhs_operator(t.kind)) {
      state = kExpect;
    } else if (t.kind == '(' || t.kind == '[') {
      state = kInside;
      depth = 1;
    } else if (t.kind == ')') {
      return t.ws;
    } else if (state == kAfter) {
      return t.ws;
    } else {
      state = kAfter;
    }
    p = next;
  }
}

// Marks the string tokens of text[0, n) (text[n] is NUL) in mask. Returns
// false when the text holds comment or newline tokens.
bool mask_strings(const char* text, size_t n, uint8_t* mask) {
  std::memset(mask, 0, n);
  const char* p = text;
  bool regular = true;
  for (;;) {
    zk_token t;
    p = zk_scan_token(p, &t);
    if (t.kind == TOK_EOF) break;
    if (t.kind == TOK_STRING)
      std::memset(mask + (t.ws - text), 1, static_cast<size_t>(t.end - t.ws));
    else if (t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE)
      regular = false;
  }
  return regular;
}

// A line and its mask in a gap buffer: logical [0, g) sits at the front of
// the storage, logical [g, n) at the back, ending just before a NUL. Edits
// happen at the gap, and a pass's edits move left to right, so moving the gap
// costs about one copy of the line per sweep instead of one per rewrite.
struct gap_line {
  char* t = nullptr;
  uint8_t* m = nullptr;
  size_t cap = 0;   // storage bytes; t[cap - 1] is the NUL after the back part
  size_t g = 0;     // length of the front part
  size_t bl = 0;    // length of the back part

  size_t size() const { return g + bl; }
  size_t back() const { return cap - 1 - bl; }
  size_t phys(size_t i) const { return i < g ? i : i - g + back(); }
  char at(size_t i) const { return t[phys(i)]; }
  uint8_t mk(size_t i) const { return m[phys(i)]; }

  void load(const std::string& line, const std::vector<uint8_t>& mask) {
    g = line.size();
    bl = 0;
    std::memcpy(t, line.data(), g);
    std::memcpy(m, mask.data(), g);
    t[cap - 1] = '\0';
  }
  void move_gap(size_t pos) {
    if (pos < g) {
      const size_t k = g - pos;
      std::memmove(t + back() - k, t + pos, k);
      std::memmove(m + back() - k, m + pos, k);
      bl += k;
      g = pos;
    } else if (pos > g) {
      const size_t k = pos - g;
      std::memmove(t + g, t + back(), k);
      std::memmove(m + g, m + back(), k);
      bl -= k;
      g = pos;
    }
  }
  // The whole line at the front, NUL-terminated in the gap.
  void gather() {
    move_gap(size());
    t[g] = '\0';
  }
  void store(std::string& line, std::vector<uint8_t>& mask) {
    gather();
    line.assign(t, g);
    mask.assign(m, m + g);
  }
};

struct rewriter {
  gap_line ln;
  std::string& middle;
  std::vector<uint8_t>& middle_mask;
  size_t cur[kPatterns] = {};  // pattern k does not occur (unmasked) before cur[k]
  bool regular = false;        // mask is exact and incremental updates are safe

  // First unmasked occurrence of pattern k starting in [from, to), or npos.
  size_t search(int k, size_t from, size_t to) const;

  size_t find(int k) {
    const size_t hit = search(k, cur[k], ln.size());
    cur[k] = hit == npos ? ln.size() : hit;
    return hit;
  }

  void rebuild() {
    ln.gather();
    regular = mask_strings(ln.t, ln.g, ln.m);
    for (size_t& c : cur) c = 0;
  }

  bool rewrite_compound(size_t c, char op);
};

size_t rewriter::search(int k, size_t from, size_t to) const {
  const size_t n = ln.size();
  const bool single = k >= kGlyph0 && k < kCompound0;
  if (!single) {
    if (n == 0) return npos;
    to = std::min(to, n - 1);  // room for the '='
  }
  to = std::min(to, n);
  const char first = single ? static_cast<char>(kGlyphs[k - kGlyph0])
                            : (k == kNe ? '!' : kOps[k - kCompound0]);
  // The front and back parts are each contiguous; the second character of a
  // pair may lie across the gap, so it is read by logical position.
  while (from < to) {
    const size_t seg_end = from < ln.g ? std::min(to, ln.g) : to;
    const size_t base = ln.phys(from);
    const char* seg = ln.t + base;
    size_t i = 0;
    const size_t len = seg_end - from;
    while (i < len) {
      const void* hit = std::memchr(seg + i, first, len - i);
      if (!hit) break;
      i = static_cast<size_t>(static_cast<const char*>(hit) - seg);
      const size_t at = from + i;
      if (ln.m[base + i] == 0 &&
          (single || (ln.at(at + 1) == '=' && ln.mk(at + 1) == 0)))
        return at;
      ++i;
    }
    from = seg_end;
  }
  return npos;
}

// "%s = %s %c (%s) %s": prefix, left-hand side, operator, right-hand side,
// tail. Returns false when the result would not fit the work buffer.
bool rewriter::rewrite_compound(size_t c, char op) {
  const size_t n = ln.size();
  long e = static_cast<long>(c) - 1;
  while (e >= 0 && ln.at(static_cast<size_t>(e)) == ' ') --e;
  const size_t d = static_cast<size_t>(e + 1);  // prefix length
  size_t s = d;                                  // left-hand side is [s, d)
  int depth = 0;
  for (long i = e; i >= 0; --i) {
    const unsigned char ch = static_cast<unsigned char>(ln.at(static_cast<size_t>(i)));
    if (depth < 1 && !is_lhs_char(ch)) break;
    if (ch == ']') ++depth;
    else if (ch == '[') --depth;
    s = static_cast<size_t>(i);
  }
  const size_t lhs_len = d - s;

  // With the gap at d the prefix is the front part and the rest is one
  // NUL-terminated run for the tokenizer.
  ln.move_gap(d);
  const char* rest = ln.t + ln.back();
  const size_t r0 = c + 2;
  const char* tail = rhs_end(rest + (r0 - d));
  if (!tail) return false;
  const size_t t0 = d + static_cast<size_t>(tail - rest);
  const size_t r1 = d + 3 + lhs_len + 4;
  const size_t t1 = r1 + (t0 - r0) + 2;
  if (t1 + (n - t0) > kMaxLine) return false;

  // The inserted text " = lhs op (" and, when the state allows, its mask.
  middle.assign(" = ");
  middle.append(ln.t + s, lhs_len);
  middle += ' ';
  middle += op;
  middle += " (";
  middle_mask.assign(middle.size(), 0);
  if (regular) {
    const char* base = middle.c_str();
    const char* end = base + middle.size();
    const char* p = base;
    int last = TOK_EOF;
    while (p < end) {
      zk_token t;
      p = zk_scan_token(p, &t);
      last = t.kind;
      if (t.kind == TOK_EOF || t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE) break;
      if (t.kind == TOK_STRING)
        std::memset(middle_mask.data() + (t.ws - base), 1, static_cast<size_t>(t.end - t.ws));
    }
    // Exact only when the inserted text ends on its own "(" token; a string
    // opened inside it would run on into the right-hand side.
    if (p != end || last != '(') regular = false;
  }

  // Drop the blanks and the operator, put ") " after the right-hand side,
  // then append the inserted text to the front part.
  const size_t rhs_len = t0 - r0;
  ln.bl -= r0 - d;
  const size_t b = ln.back();
  std::memmove(ln.t + b - 2, ln.t + b, rhs_len);
  std::memmove(ln.m + b - 2, ln.m + b, rhs_len);
  ln.t[b - 2 + rhs_len] = ')';
  ln.t[b - 1 + rhs_len] = ' ';
  ln.m[b - 2 + rhs_len] = 0;
  ln.m[b - 1 + rhs_len] = 0;
  ln.bl += 2;
  std::memcpy(ln.t + ln.g, middle.data(), middle.size());
  std::memcpy(ln.m + ln.g, middle_mask.data(), middle.size());
  ln.g += middle.size();

  if (!regular) return true;  // the caller rebuilds the mask after the pass

  // Cursors: text before d is unchanged; the inserted text is searched now;
  // what a cursor knew about the moved right-hand side and tail still holds.
  for (int k = 0; k < kPatterns; ++k) {
    const size_t old = cur[k];
    if (old <= d) continue;
    if (old <= r0) {
      cur[k] = d;
      continue;
    }
    const size_t hit = search(k, d, r1);
    if (hit != npos) cur[k] = hit;
    else if (old <= t0) cur[k] = old - r0 + r1;
    else cur[k] = old - t0 + t1;
  }
  return true;
}

}  // namespace

bool build_string_mask(const std::string& line, std::vector<uint8_t>& mask) {
  mask.assign(line.size(), 0);
  return mask_strings(line.c_str(), line.size(), mask.data());
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

bool apply_rewrite_loop(std::string& line, std::vector<uint8_t>& mask, zk_pp_buffers& work) {
  if (mask.size() != line.size()) build_string_mask(line, mask);
  if (line.size() > kMaxLine) return false;
  constexpr size_t kCap = ZURKEL_PREPROCESS_BUFFER + 1;  // the longest line, a gap byte, the NUL
  if (!work.text) {
    work.text.reset(new char[kCap]);
    work.mask.reset(new uint8_t[kCap]);
  }
  rewriter rw{{}, work.middle, work.middle_mask};
  rw.ln.t = work.text.get();
  rw.ln.m = work.mask.get();
  rw.ln.cap = kCap;
  rw.ln.load(line, mask);
  // The first pass searches with the mask as collected; the first change
  // rebuilds it from the line.
  rw.regular = false;
  bool rebuild = true;
  bool ok = true;
  // Every pass changes the line; a line that keeps changing longer than it
  // could ever grow is refused rather than rewritten without end.
  for (size_t pass = 0;; ++pass) {
    if (pass > kMaxLine) {
      ok = false;
      break;
    }
    bool changed = false;
    size_t p = rw.find(kNe);
    if (p != npos) {
      rw.ln.t[rw.ln.phys(p)] = '~';
      rw.cur[kNe] = p + 1;
      changed = true;
    }
    for (int g = 0; g < 7; ++g) {
      p = rw.find(kGlyph0 + g);
      if (p != npos) {
        rw.ln.t[rw.ln.phys(p)] = static_cast<char>('0' + g);
        rw.cur[kGlyph0 + g] = p + 1;
        changed = true;
      }
    }
    for (int t = 0; t < 5 && ok; ++t) {
      p = rw.find(kCompound0 + t);
      if (p == npos) continue;
      // An operator at the very start of the line is left alone.
      if (p > 0) {
        ok = rw.rewrite_compound(p, kOps[t]);
        changed = true;
        if (!rw.regular) rebuild = true;
      }
      break;
    }
    if (!ok || !changed) break;
    // Replacing "!=" or a glyph in place leaves every string and comment
    // token where it was (both only touch runs of name and number
    // characters), so only the first change and inexact rewrites rebuild.
    if (rebuild) {
      rw.rebuild();
      rebuild = false;
    }
  }
  rw.ln.store(line, mask);
  return ok;
}

bool apply_rewrite_loop(std::string& line, std::vector<uint8_t>& mask) {
  zk_pp_buffers work;
  return apply_rewrite_loop(line, mask, work);
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

bool preprocess_logical_line(std::string& line, std::vector<uint8_t>& mask, zk_pp_buffers& work) {
  if (!apply_print_shorthand(line, mask) && !apply_rewrite_loop(line, mask, work)) return false;
  return apply_conditional_shorthand(line, mask);
}
