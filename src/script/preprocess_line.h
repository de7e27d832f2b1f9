// The steps of the preprocessor that work on one logical line and its string
// mask (one byte per character, 1 inside string tokens and the blanks in
// front of them). Exposed for the preprocessor and its tests.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Rebuilds `mask` for `line` by tokenizing it. Returns false when the line
// holds comment or newline tokens, which later rewrites may reshape.
bool build_string_mask(const std::string& line, std::vector<uint8_t>& mask);

// Print shorthand: "?" as the first non-blank character. Returns true (and
// rewrites the line to "print(...)" with a rebuilt mask) when it applied.
bool apply_print_shorthand(std::string& line, std::vector<uint8_t>& mask);

// Work buffers of the rewrite loop (a line and its mask with room to grow to
// 128 KiB); allocated once and reused for every line of a program.
struct zk_pp_buffers {
  std::unique_ptr<char[]> text;
  std::unique_ptr<uint8_t[]> mask;
  std::string middle;
  std::vector<uint8_t> middle_mask;
};

// The rewrite loop: "!=", button glyphs and compound assignment, pass after
// pass until nothing changes. Returns false when the line would outgrow the
// work buffer (the line is then left in a partly rewritten state).
bool apply_rewrite_loop(std::string& line, std::vector<uint8_t>& mask, zk_pp_buffers& work);
bool apply_rewrite_loop(std::string& line, std::vector<uint8_t>& mask);

// The one-line conditional. Returns false when the line would outgrow the
// work buffer.
bool apply_conditional_shorthand(std::string& line, const std::vector<uint8_t>& mask);

// All of the above in order: print shorthand or rewrite loop, then the
// conditional shorthand.
bool preprocess_logical_line(std::string& line, std::vector<uint8_t>& mask, zk_pp_buffers& work);
