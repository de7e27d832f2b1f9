// The size limits of a cartridge's code and the console texts that report
// them.
#pragma once
#include <string>

constexpr int ZURKEL_CHAR_LIMIT = 65536;         // characters of code text
constexpr int ZURKEL_TOKEN_LIMIT = 8192;         // counted tokens
constexpr int ZURKEL_COMPRESSED_LIMIT = 15360;   // bytes of compressed code
constexpr int ZURKEL_INFO_CHAR_LIMIT = 65535;    // the figure `info` shows
constexpr int ZURKEL_HEAP_BYTES_PER_TOKEN = 16;  // heap baseline per token

// Before a program runs (both lines in colour 6).
constexpr const char* MSG_CHAR_LIMIT = "program exceeds char limit";
constexpr const char* FMT_CHARS = "%d / %d chars\n";
constexpr const char* MSG_TOKEN_LIMIT = "program too large";
constexpr const char* FMT_TOKENS = "%d / %d tokens\n";
// Before saving.
constexpr const char* MSG_SAVE_SIZE_LIMIT = "program over size limit\n";
constexpr const char* MSG_COMPRESSED_TOO_LARGE = "compressed code size too large\n";  // colour 8
constexpr const char* FMT_BYTES = "%d / %d bytes";
constexpr const char* MSG_COMPRESSED_WARNING = "warning: compressed code too big";    // colour 9
constexpr const char* MSG_COMPRESSED_HINT = "to be exported or saved as png";       // colour 9
constexpr const char* MSG_SAVING_ANYWAY = "(saving .zk anyway)\n";
// The `info` lines.
constexpr const char* FMT_INFO_TOKENS = "tokens:     %5d /  %d";
constexpr const char* FMT_INFO_CHARS = "chars:      %5d / %d";
constexpr const char* FMT_INFO_COMPRESSED = "compressed: %5d / %d";

// Checks a code text against the limits that apply before it runs. Returns
// true when it may run; otherwise fills the two console lines (colour 6).
// `tokens_out` (may be null) receives the token count when it was counted.
bool check_run_limits(const char* code, std::string* first_line,
                      std::string* second_line, int* tokens_out);

// One `info` line and its colour (6 within the limit, 9 over it).
struct zurkel_info_line {
  std::string text;
  int colour;
};
zurkel_info_line info_tokens_line(int tokens);
zurkel_info_line info_chars_line(int chars);
zurkel_info_line info_compressed_line(int compressed_bytes);
