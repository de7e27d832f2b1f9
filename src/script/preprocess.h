// The source preprocessor: rewrites the dialect's shorthand ("?" print,
// "!=", compound assignment, one-line "if", button glyphs, "//" comments)
// into plain Lua, line by line, keeping every line on its line number.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Work buffers hold 128 KiB each (a line and its NUL).
constexpr size_t ZURKEL_PREPROCESS_BUFFER = 0x20000;
constexpr int ZURKEL_MAX_LOGICAL_LINES = 65536;

// Rewrites `source` (NUL-terminated) into `output`, which is cleared first.
// Returns false, with `output` empty, when a logical line or the whole
// result would not fit in the 128 KiB work buffers, or a compound
// assignment's right-hand side nests brackets more than 256 deep (which no
// program can compile); the program should then be refused (nothing was cut
// or overflowed).
bool zurkel_preprocess(const char* source, std::string& output);

// The first occurrence of `pattern` in `text` whose characters all have a
// zero byte in `mask` (mask[i] belongs to text[i]); null when there is none.
const char* pstrstr(const char* text, const char* pattern, const uint8_t* mask);
