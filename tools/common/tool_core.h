// The developer tools' shared door into the console's own code: data.pod's
// palette, font and cart template, PNG encoding, the code's comment lines,
// whole-file reads and the safe-write routine. Plain C++ types only, so a
// move of the console's files touches this pair and each tool's own adapter.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The data.pod to use: the given path (empty when it does not exist), else
// the one beside the executable, else the build tree's (../../data.pod from
// build/tools/NAME). Empty when none exists.
std::string tool_find_data_pod(const std::string& given);
// Reads data.pod's palette, font and cartridge template. False with a
// message when it cannot be read. Call once, before anything that draws.
bool tool_load_resources(const std::string& data_pod, std::string& err);
// 256 entries of red, green, blue (colours 0-15 are the console's).
const uint8_t* tool_palette_rgb();

// w x h pixels of 8-bit channels (RGB, or RGBA with alpha) as a PNG file.
// Safe to call from several threads at once.
bool tool_encode_png(const uint8_t* pixels, int w, int h, bool alpha, std::string& png);

// Text of code line n (0 or 1) when it is a "--" comment: what follows the
// "--" and one optional space, up to the line end. Empty otherwise.
std::string tool_code_comment(const char* code, int n);

// Writes a file through a temporary name beside it and a rename, so a
// failed write never leaves half a file.
bool tool_write_file(const std::string& path, const std::string& data);
// Reads a whole file of at most max_size bytes.
bool tool_read_file(const std::string& path, std::string& data, size_t max_size = 16u << 20);
