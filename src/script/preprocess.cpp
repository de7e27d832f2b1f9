// The source preprocessor: collects logical lines with the code tokenizer,
// drops comments, rewrites each line and keeps every source line on its
// line number by re-emitting the line breaks the dropped tokens held.
//
// Size policy: the current line and the result live in 128 KiB work buffers.
// A source line longer than that, a rewrite that would grow a line past it,
// or a result that would not fit makes the whole call fail with an empty
// output: cutting the text instead would hand the compiler a different
// program than the one written. Cartridge code is at most 65,536 characters,
// so only programs with extreme rewrites can meet this.
#include "script/preprocess.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "script/preprocess_line.h"
#include "script/tokens.h"

namespace {
constexpr size_t kMaxText = ZURKEL_PREPROCESS_BUFFER - 1;  // characters, NUL not counted
}  // namespace

const char* pstrstr(const char* text, const char* pattern, const uint8_t* mask) {
  if (!text || !pattern) return nullptr;
  const size_t m = std::strlen(pattern);
  if (m == 0) return text;
  for (const char* p = text; (p = std::strchr(p, pattern[0])) != nullptr; ++p) {
    if (std::strncmp(p, pattern, m) != 0) continue;
    const uint8_t* mk = mask + (p - text);
    if (std::all_of(mk, mk + m, [](uint8_t b) { return b == 0; })) return p;
  }
  return nullptr;
}

bool zurkel_preprocess(const char* source, std::string& output) {
  output.clear();
  if (!source) return true;
  std::string line;
  std::vector<uint8_t> mask;
  zk_pp_buffers work;
  line.reserve(256);
  mask.reserve(256);
  output.reserve(std::min(std::strlen(source) + std::strlen(source) / 4 + 16, kMaxText));

  const char* p = source;
  bool at_end = false;
  for (int count = 0; count < ZURKEL_MAX_LOGICAL_LINES && !at_end; ++count) {
    line.clear();
    mask.clear();
    size_t newlines = 0;
    for (;;) {
      zk_token t;
      const char* next = zk_scan_token(p, &t);
      if (t.kind == TOK_EOF) {
        at_end = true;
        break;
      }
      if (t.kind == TOK_COMMENT || t.kind == TOK_NEWLINE) {
        newlines += static_cast<size_t>(std::count(t.start, t.end, '\n'));
        p = next;
        if (t.kind == TOK_NEWLINE) break;
        continue;
      }
      const size_t len = static_cast<size_t>(t.end - t.ws);
      if (line.size() + len > kMaxText) {
        output.clear();
        return false;
      }
      line.append(t.ws, len);
      mask.insert(mask.end(), len, t.kind == TOK_STRING ? 1 : 0);
      p = next;
    }
    if (!line.empty() && !preprocess_logical_line(line, mask, work)) {
      output.clear();
      return false;
    }
    if (output.size() + line.size() + newlines > kMaxText) {
      output.clear();
      return false;
    }
    output += line;
    output.append(newlines, '\n');
  }
  return true;
}
