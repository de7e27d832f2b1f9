// The code size limits and their console texts.
#include "script/tokens_limits.h"

#include <cstdio>
#include <cstring>

#include "script/tokens.h"

namespace {
std::string format2(const char* fmt, int a, int b) {
  char buf[96];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}
}  // namespace

bool check_run_limits(const char* code, std::string* first_line, std::string* second_line,
                      int* tokens_out) {
  const size_t length = code ? std::strlen(code) : 0;
  if (length > static_cast<size_t>(ZURKEL_CHAR_LIMIT)) {
    if (first_line) *first_line = MSG_CHAR_LIMIT;
    if (second_line) *second_line = format2(FMT_CHARS, static_cast<int>(length), ZURKEL_CHAR_LIMIT);
    return false;
  }
  const int tokens = count_tokens(code);
  if (tokens_out) *tokens_out = tokens;
  if (tokens > ZURKEL_TOKEN_LIMIT) {
    if (first_line) *first_line = MSG_TOKEN_LIMIT;
    if (second_line) *second_line = format2(FMT_TOKENS, tokens, ZURKEL_TOKEN_LIMIT);
    return false;
  }
  return true;
}

zurkel_info_line info_tokens_line(int tokens) {
  return {format2(FMT_INFO_TOKENS, tokens, ZURKEL_TOKEN_LIMIT), tokens <= ZURKEL_TOKEN_LIMIT ? 6 : 9};
}

zurkel_info_line info_chars_line(int chars) {
  return {format2(FMT_INFO_CHARS, chars, ZURKEL_INFO_CHAR_LIMIT), chars < ZURKEL_CHAR_LIMIT ? 6 : 9};
}

zurkel_info_line info_compressed_line(int compressed_bytes) {
  return {format2(FMT_INFO_COMPRESSED, compressed_bytes, ZURKEL_COMPRESSED_LIMIT),
          compressed_bytes <= ZURKEL_COMPRESSED_LIMIT ? 6 : 9};
}
