// Checks the preprocessor against a literal, pass-by-pass rendering of the
// rewrite rules (full rescan and full mask rebuild after every change) on
// many generated programs, including the odd corners: strings and comments
// inside compound assignments, joined lines, glyphs in names, unbalanced
// brackets and unterminated strings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "script/preprocess.h"
#include "script/preprocess_line.h"
#include "script/tokens.h"

namespace {

using mask_t = std::vector<uint8_t>;

void ref_mask(const std::string& line, mask_t& mask) {
  mask.assign(line.size(), 0);
  const char* base = line.c_str();
  const char* p = base;
  for (;;) {
    zk_token t;
    p = zk_scan_token(p, &t);
    if (t.kind == TOK_EOF) break;
    if (t.kind == TOK_STRING)
      for (const char* c = t.ws; c < t.end; ++c) mask[static_cast<size_t>(c - base)] = 1;
  }
}

long ref_find(const std::string& line, const mask_t& mask, const std::string& pat) {
  const char* hit = pstrstr(line.c_str(), pat.c_str(), mask.data());
  return hit ? hit - line.c_str() : -1;
}

bool lhs_char(unsigned char c) { return std::isalnum(c) || c == '_' || c == '.' || c == '[' || c == ']'; }

std::string ref_compound(const std::string& line, size_t c, char op) {
  long e = static_cast<long>(c) - 1;
  while (e >= 0 && line[e] == ' ') --e;
  long s = e + 1;
  int depth = 0;
  for (long i = e; i >= 0; --i) {
    unsigned char ch = line[i];
    bool part = depth >= 1 || (ch < 0x80 && lhs_char(ch));
    if (!part) break;
    if (ch == ']') ++depth;
    if (ch == '[') --depth;
    s = i;
  }
  const std::string prefix = line.substr(0, e + 1);
  const std::string lhs = line.substr(s, e + 1 - s);
  // Right-hand side by tokens.
  int state = 0, bdepth = 0;   // 0 expecting, 1 inside, 2 after
  const char* base = line.c_str();
  const char* p = base + c + 2;
  size_t end = line.size();
  for (;;) {
    zk_token t;
    const char* next = zk_scan_token(p, &t);
    size_t here = t.ws - base;
    if (t.kind == TOK_EOF) break;
    if (t.kind == TOK_NEWLINE) { end = here; break; }
    if (state == 1) {
      if (t.kind == '(' || t.kind == '[') ++bdepth;
      if (t.kind == ')' || t.kind == ']') if (--bdepth == 0) state = 2;
    } else if (std::strchr("+-*/%^.#:", t.kind) && t.kind > 0) {
      state = 0;
    } else if (t.kind == '(' || t.kind == '[') {
      state = 1;
      bdepth = 1;
    } else if (t.kind == ')') {
      end = here;
      break;
    } else if (state == 2) {
      end = here;
      break;
    } else {
      state = 2;
    }
    p = next;
  }
  const std::string rhs = line.substr(c + 2, end - (c + 2));
  const std::string tail = line.substr(end);
  return prefix + " = " + lhs + " " + op + " (" + rhs + ") " + tail;
}

// Returns false when the line outgrows the work buffer.
bool ref_line(std::string& line, mask_t& mask) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && line[i] == '?') {
    line = "print(" + line.substr(i + 1) + ")";
    ref_mask(line, mask);
  } else {
    static const char* glyphs[] = {"\x8b", "\x91", "\x94", "\x83", "\x8e", "\x97", "\x8f"};
    static const char* ops[] = {"+=", "-=", "*=", "/=", "%="};
    for (;;) {
      bool changed = false;
      long p = ref_find(line, mask, "!=");
      if (p >= 0) { line[p] = '~'; changed = true; }
      for (int g = 0; g < 7; ++g) {
        p = ref_find(line, mask, glyphs[g]);
        if (p >= 0) { line[p] = static_cast<char>('0' + g); changed = true; }
      }
      for (int t = 0; t < 5; ++t) {
        p = ref_find(line, mask, ops[t]);
        if (p < 0) continue;
        if (p > 0) {
          line = ref_compound(line, p, ops[t][0]);
          if (line.size() >= ZURKEL_PREPROCESS_BUFFER) return false;
          changed = true;
        }
        break;
      }
      if (!changed) break;
      ref_mask(line, mask);
    }
  }
  return apply_conditional_shorthand(line, mask);
}

bool ref_preprocess(const std::string& src, std::string& out) {
  out.clear();
  const char* p = src.c_str();
  bool at_end = false;
  while (!at_end) {
    std::string line;
    mask_t mask;
    size_t nl = 0;
    for (;;) {
      zk_token t;
      const char* next = zk_scan_token(p, &t);
      if (t.kind == TOK_EOF) { at_end = true; break; }
      if (t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE) {
        nl += std::count(t.start, t.end, '\n');
        p = next;
        if (t.kind == TOK_NEWLINE) break;
        continue;
      }
      line.append(t.ws, t.end);
      mask.insert(mask.end(), t.end - t.ws, t.kind == TOK_STRING);
      p = next;
    }
    if (!line.empty() && !ref_line(line, mask)) return false;
    out += line;
    out.append(nl, '\n');
  }
  return out.size() < ZURKEL_PREPROCESS_BUFFER;
}

const char* kPieces[] = {
    "a", "b", "x1", "t", "t[i]", "p.x", "f(", "f(a)", "g()", "(", ")", "[", "]", "{", "}",
    "+=", "-=", "*=", "/=", "%=", "!=", "==", "=", "+", "-", "*", "/", "%", "..", "#", "^",
    ":", ",", ".", "1", "0x1F", "2.5", "\"s\"", "\"+=\"", "'!='", "\"a[\"", "'x]'", "[[l]]",
    "[[m\nn]]", "\"", "'", "\x8b", "\x91", "\x94", "\x83", "\x8e", "\x97", "\x8f", "b\x8b",
    "if", "if (", "if(", "then", "end", "and", "or", "not", "?", " ", " ", " ", "  ", "\t",
    "--[[c]]", "--[[\n]]", "-- note", "//", "// x", "\n", "\n", "elseif", "_v", "\\",
};

std::string random_program(std::mt19937& rng, int pieces) {
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::string s;
  for (int i = 0; i < pieces; ++i) s += kPieces[pick(rng)];
  return s;
}

TEST(TextPreprocessReference, MatchesLiteralRulesOnGeneratedPrograms) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> len(1, 60);
  int mismatches = 0;
  for (int n = 0; n < 40000 && mismatches < 5; ++n) {
    const std::string src = random_program(rng, len(rng));
    std::string want, got;
    const bool want_ok = ref_preprocess(src, want);
    const bool got_ok = zurkel_preprocess(src.c_str(), got);
    EXPECT_EQ(got_ok, want_ok) << src;
    if (want_ok && got != want) {
      ++mismatches;
      ADD_FAILURE() << "source: [" << src << "]\nwant:   [" << want << "]\ngot:    [" << got << "]";
    }
  }
}

TEST(TextPreprocessReference, MatchesOnLongRewriteHeavyLines) {
  // Many rewrites in one logical line exercise the search cursors and the
  // incremental string mask.
  std::mt19937 rng(777);
  const char* statements[] = {"a+=1 ", "t[i]-=f(b) ", "x*=(y+1) ", "s..=\"+=\" ", "q!=r ",
                              "btn(\x8b) ", "v/=2 ", "w%=3 ", "c+=\"a\"..d ", "u+=g(h+=1) ",
                              "k[\"]\"]+=1 ", "m-=-n "};
  std::uniform_int_distribution<size_t> pick(0, std::size(statements) - 1);
  for (int n = 0; n < 60; ++n) {
    std::string src;
    const int count = 20 + n * 8;
    for (int i = 0; i < count; ++i) src += statements[pick(rng)];
    std::string want, got;
    ASSERT_EQ(zurkel_preprocess(src.c_str(), got), ref_preprocess(src, want));
    ASSERT_EQ(got, want) << src;
  }
}

}  // namespace
