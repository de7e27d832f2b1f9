// zkcart's only door into the console's own code (with tools/common's
// tool_core.h): cart readers and writers, the code's size limits and the
// runner's compile step, the synthesiser and mixer, PNG files and the
// palette. The subcommands are plain C++ on these calls, so a move of the
// console's files touches this pair only.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

constexpr int ZKC_SHEET = 128;       // sprite sheet and label: 128 x 128 pixels
constexpr int ZKC_MAP_W = 128;       // map cells
constexpr int ZKC_MAP_H = 64;
constexpr int ZKC_SHARED_ROW = 32;   // map rows 32-63 are the sheet's rows 64-127
constexpr int ZKC_SOUNDS = 64;       // sound effects, and music patterns
constexpr int ZKC_RATE = 22050;      // samples per second of the sound chip

using zkc_picture = std::array<uint8_t, ZKC_SHEET * ZKC_SHEET>;  // colours 0-15
using zkc_map = std::array<uint8_t, ZKC_MAP_W * ZKC_MAP_H>;      // sprite numbers

struct zkc_sound;  // sound effects and music, kept as the console reads them

// A cartridge as the tool edits it. Map rows 32-63 and the sheet's lower
// half are one memory: after changing one, call zkc_sync_shared.
struct zkc_cart {
  std::string code;
  zkc_picture gfx{};
  zkc_map map{};
  std::array<uint8_t, 256> flags{};
  bool has_label = false;
  zkc_picture label{};
  std::shared_ptr<zkc_sound> sound;
};

// What loading noticed about a file besides its data.
struct zkc_load_notes {
  bool png = false;                    // a .zk.png picture cart
  std::string header;                  // text carts: the first line
  bool version_line = false;           // text carts: a "version N" second line
  std::vector<std::pair<int, std::string>> unknown_sections;  // line, text
  std::vector<std::string> console_lines;  // what the console prints loading it
};

// Reads a .zk.png or text cart (by content) as the console loads it: old
// formats upgraded, code tabs merged, the shared map rows settled. False with
// a message naming the problem (err does not name the file).
bool zkc_load(const std::string& path, zkc_cart& cart, zkc_load_notes& notes, std::string& err);
// A text cart from memory (the text must end with an empty line).
bool zkc_parse_text(const std::string& text, zkc_cart& cart, std::string& err);
// Writes a .zk.png picture cart when path names one (zkc_is_png_name), else
// a text cart, through a temporary file and a rename.
bool zkc_save(const zkc_cart& cart, const std::string& path, std::string& err);
bool zkc_is_png_name(const std::string& path);

// Copies the shared memory one way: map rows 32-63 from the sheet's lower
// half, or the sheet's lower half from those map rows.
void zkc_sync_shared(zkc_cart& cart, bool map_from_sheet);

// The console's `info` lines for code: tokens, characters and compressed
// bytes against their limits, and whether each is over.
struct zkc_size_line {
  std::string text;
  bool over;
};
std::vector<zkc_size_line> zkc_size_lines(const std::string& code);
// Compiles the cart as the runner does before a run (size limits, the
// preprocessor, the runtime header, the interpreter) without running it.
// True when it would start; lines receive what the console would print.
bool zkc_compile(const zkc_cart& cart, std::vector<std::string>& lines);

// Sound effects with an audible note, and music patterns that name at
// least one effect.
int zkc_sfx_count(const zkc_cart& cart);
int zkc_pattern_count(const zkc_cart& cart);

// Renders through the console's synthesiser and mixer, from a silent chip.
// An effect plays as sfx(n) would, to its end (a looping one to its loop end
// and twice round the loop); music as music(n) would, until the song stops
// or comes back to a pattern it played (so the sound loops seamlessly).
// Both stop at max_samples. The result says how it ended.
enum class zkc_render_end { finished, looped, capped, silent };
zkc_render_end zkc_render_sfx(const zkc_cart& cart, int n, int max_samples,
                              std::vector<int16_t>& out);
zkc_render_end zkc_render_music(const zkc_cart& cart, int n, int max_samples,
                                std::vector<int16_t>& out);
// Mono 16-bit 22,050 Hz WAV, written safely.
bool zkc_write_wav(const std::string& path, const std::vector<int16_t>& samples);

// data.pod's palette, font and cart template: the named file, else the one
// beside zkcart or in the build tree. Needed by everything that reads or
// writes pictures (picture carts included).
bool zkc_load_resources(const std::string& data_pod, std::string& err);
// Red, green, blue of console colour c (0-15).
std::array<uint8_t, 3> zkc_colour(int c);

// Decodes a PNG of exactly w x h pixels to 8-bit RGBA. False with a message
// (a file of another size is refused before it is decoded).
bool zkc_read_png(const std::string& path, int w, int h, std::vector<uint8_t>& rgba,
                  std::string& err);
// Console colours (w x h, 0-15) through the palette as an RGB PNG file.
bool zkc_write_png(const std::string& path, const uint8_t* colours, int w, int h);
// The whole map drawn with its sprites as map() draws it (cells holding 0
// left out): 1024 x 512 console colours.
std::vector<uint8_t> zkc_draw_map(const zkc_cart& cart);

// Whole-file reads (false for a larger file) and safe writes.
bool zkc_read_file(const std::string& path, std::string& data, size_t max_size);
bool zkc_write_file(const std::string& path, const std::string& data);
bool zkc_file_exists(const std::string& path);
// Text of code line n (0 or 1) when it is a "--" comment, else empty.
std::string zkc_code_comment(const std::string& code, int n);

// Standalone exports (the console's cart/standalone.h): the cart as a web
// page made from the web player's page, or as a Linux program made from the
// console's executable and the loaded data.pod (zkc_load_resources first).
// cart_path names the cart the export carries. False with a message.
bool zkc_export_page(const zkc_cart& cart, const std::string& cart_path,
                     const std::string& player_html, std::string& page, std::string& err);
bool zkc_export_program(const zkc_cart& cart, const std::string& cart_path,
                        const std::string& console, const std::string& out, std::string& err);
// The web player and the console program to export with: the given path,
// else the first place that has one beside zkcart or in the build tree
// (looked lists the places tried). Empty when there is none.
std::string zkc_find_player(const std::string& given, std::vector<std::string>& looked);
std::string zkc_find_console(const std::string& given, std::vector<std::string>& looked);
