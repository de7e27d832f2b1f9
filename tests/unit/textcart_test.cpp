#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cart/textcart.h"
#include "machine/memory.h"
#include "cart/cart_record.h"

namespace {

std::string temp_path(const char* name) {
  return std::string(::testing::TempDir()) + "zk_textcart_" + std::to_string(getpid()) + "_" + name;
}

zurkel_cart* from_text(const std::string& text) {
  brim_stream* s = brim_open_memory(text.data(), static_cast<int>(text.size()));
  zurkel_cart* c = brim_load_zurkel_cart_from_file(s);
  brim_fclose(s);
  return c;
}

std::string to_text(const zurkel_cart* c) {
  brim_stream* s = brim_create_buffer(0);
  EXPECT_EQ(brim_save_zurkel_cart_to_file(c, s), 0);
  std::string text(reinterpret_cast<char*>(s->data), s->size);
  brim_destroy_buffer(s);
  return text;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0;
  while (at < text.size()) {
    size_t nl = text.find('\n', at);
    out.push_back(text.substr(at, nl - at));
    at = nl + 1;
  }
  return out;
}

zurkel_cart* rich_cart() {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::strcpy(c->code, "-- title\nfunction _draw()\n  cls(1)\nend");
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) c->gfx->line[y][x] = static_cast<uint8_t>((x * 3 + y) & 15);
  for (int i = 0; i < 256; i++) c->sprite_flags[i] = (i * 37) & 0xFF;
  for (int y = 0; y < 32; y++)
    for (int x = 0; x < 128; x++) c->map->line[y][x] = static_cast<uint8_t>(x + y * 5);
  sync_shared_gfx_to_map(c);
  c->sfx[3].mode = 1;
  c->sfx[3].speed = 12;
  c->sfx[3].loop_start = 4;
  c->sfx[3].loop_end = 8;
  c->sfx[3].notes[0] = {12, 5, 7, 3, 0x80};
  c->sfx[3].notes[31] = {63, 7, 1, 6, 0};
  c->music[9][2] = 17;
  c->music_flags[9] = 5;
  c->label = brim_create_bitmap(128, 128, 8);
  c->label->line[5][6] = 9;
  return c;
}

TEST(TextCart, WrittenLayout) {
  zurkel_cart* c = brim_create_zurkel_cart();
  std::string text = to_text(c);
  auto lines = lines_of(text);
  EXPECT_EQ(lines[0], ZURKEL_TEXTCART_HEADER);
  EXPECT_EQ(lines[0].substr(0, 20), "zurkel cartridge // ");
  EXPECT_EQ(lines[1], "version 12");
  EXPECT_EQ(lines[2], "__lua__");
  EXPECT_EQ(lines[3], "");  // empty code: an empty line
  EXPECT_EQ(lines[4], "__gfx__");
  EXPECT_EQ(lines[5], std::string(128, '0'));
  EXPECT_EQ(lines[4 + 129], "");  // no label: the empty line follows the sheet
  EXPECT_EQ(lines[4 + 130], "__gff__");
  EXPECT_EQ(lines[4 + 131].size(), 256u);
  EXPECT_EQ(lines[4 + 133], "__map__");
  EXPECT_EQ(lines[4 + 134].size(), 256u);
  EXPECT_EQ(lines[4 + 166], "__sfx__");
  // A fresh cart: every effect has a speed, so all 64 lines are written.
  EXPECT_EQ(lines[4 + 167], "00010000" + std::string(160, '0'));
  EXPECT_EQ(lines[4 + 168].substr(0, 8), "00100000");
  EXPECT_EQ(lines[4 + 167].size(), 168u);
  EXPECT_EQ(lines[4 + 231], "__music__");
  EXPECT_EQ(lines[4 + 232], "00 41424344");
  EXPECT_EQ(lines.size(), 4u + 232 + 64 + 1);
  EXPECT_EQ(lines.back(), "");
  EXPECT_EQ(text.back(), '\n');
  brim_destroy_zurkel_cart(c);
}

TEST(TextCart, TrailingEmptyEffectsAreNotWritten) {
  zurkel_cart* c = brim_create_zurkel_cart();
  for (int e = 0; e < 64; e++) c->sfx[e].speed = 0;
  c->sfx[2].notes[5].volume = 3;
  auto lines = lines_of(to_text(c));
  size_t sfx = 0;
  while (lines[sfx] != "__sfx__") sfx++;
  EXPECT_EQ(lines[sfx + 4], "__music__");  // effects 0, 1, 2 only
  EXPECT_EQ(lines[sfx + 3].substr(8 + 25, 5), "00030");
  brim_destroy_zurkel_cart(c);
}

TEST(TextCart, RoundTrip) {
  zurkel_cart* c = rich_cart();
  zurkel_cart* d = from_text(to_text(c));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->version, 12);
  EXPECT_STREQ(d->code, c->code);
  EXPECT_EQ(std::memcmp(d->gfx->data, c->gfx->data, 128 * 128), 0);
  for (int i = 0; i < 256; i++) ASSERT_EQ(d->sprite_flags[i], c->sprite_flags[i]);
  EXPECT_EQ(std::memcmp(d->map->data, c->map->data, 128 * 32), 0);
  for (int e = 0; e < 64; e++)
    ASSERT_EQ(std::memcmp(&d->sfx[e], &c->sfx[e], sizeof(zurkel_sfx)), 0) << e;
  EXPECT_EQ(std::memcmp(d->music, c->music, sizeof c->music), 0);
  EXPECT_EQ(std::memcmp(d->music_flags, c->music_flags, sizeof c->music_flags), 0);
  ASSERT_NE(d->label, nullptr);
  EXPECT_EQ(std::memcmp(d->label->data, c->label->data, 128 * 128), 0);
  // Writing again gives the same bytes.
  EXPECT_EQ(to_text(d), to_text(c));
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, EmptyCodeAndNoLabel) {
  zurkel_cart* c = brim_create_zurkel_cart();
  c->label = brim_create_bitmap(128, 128, 8);  // all zero: not written
  std::string text = to_text(c);
  EXPECT_EQ(text.find("__label__"), std::string::npos);
  zurkel_cart* d = from_text(text);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->code, "");
  EXPECT_EQ(d->label, nullptr);
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, NoteDigitsAndCustomFlag) {
  std::string line = "00100000" + std::string("0c953") + "0c1d3" + std::string(150, '0');
  zurkel_cart* d = from_text("zurkel cartridge\nversion 12\n__sfx__\n" + line + "\n\n");
  ASSERT_NE(d, nullptr);
  const zurkel_note& a = d->sfx[0].notes[0];
  EXPECT_EQ(a.pitch, 12);
  EXPECT_EQ(a.waveform, 1);
  EXPECT_EQ(a.flags, 0x80);
  EXPECT_EQ(a.volume, 5);
  EXPECT_EQ(a.effect, 3);
  const zurkel_note& b = d->sfx[0].notes[1];
  EXPECT_EQ(b.pitch, 12);
  EXPECT_EQ(b.waveform, 1);
  EXPECT_EQ(b.volume, 5);
  EXPECT_EQ(b.effect, 3);
  EXPECT_EQ(b.flags, 0);
  EXPECT_EQ(d->sfx[0].speed, 16);
  // Effects the file does not name keep the reset values.
  EXPECT_EQ(d->sfx[1].speed, 16);
  EXPECT_EQ(d->sfx[0].notes[2].pitch, 0);
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, ShortSfxLineKeepsResetValues) {
  zurkel_cart* d = from_text("zurkel cartridge\nversion 12\n__sfx__\n0005\n01\n\n");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->sfx[0].mode, 0);
  EXPECT_EQ(d->sfx[0].speed, 5);
  EXPECT_EQ(d->sfx[0].loop_start, 0);
  EXPECT_EQ(d->sfx[1].mode, 1);
  EXPECT_EQ(d->sfx[1].speed, 16);
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, VersionTwoFlagsAndMusic) {
  std::string flags = "123456789abcdef";
  zurkel_cart* d = from_text("zurkel cartridge\nversion 2\n__gff__\n" + flags + "\n__music__\n01020304\n00000000\n\n");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->version, 2);
  for (int i = 0; i < 15; i++) EXPECT_EQ(d->sprite_flags[i], i + 1);  // one digit per flag
  EXPECT_EQ(d->sprite_flags[15], 0);
  EXPECT_EQ(d->music[0][0], 1);  // no flags before the values
  EXPECT_EQ(d->music[0][3], 4);
  EXPECT_EQ(d->music_flags[0], 0);
  EXPECT_EQ(d->music[1][0], 65);  // 00 is silence in older files
  EXPECT_EQ(d->music[2][0], 65);  // untouched: the new-record value
  EXPECT_EQ(d->music[2][1], 66);
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, VersionThreeAndFourMusic) {
  zurkel_cart* d = from_text("zurkel cartridge\nversion 3\n__gff__\n1234\n__music__\n03 00010200\n\n");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->sprite_flags[0], 0x12);  // two digits per flag from version 3
  EXPECT_EQ(d->sprite_flags[1], 0x34);
  EXPECT_EQ(d->music_flags[0], 3);
  EXPECT_EQ(d->music[0][0], 65);
  EXPECT_EQ(d->music[0][1], 1);
  EXPECT_EQ(d->music[0][2], 2);
  EXPECT_EQ(d->music[0][3], 65);
  brim_destroy_zurkel_cart(d);
  d = from_text("zurkel cartridge\nversion 4\n__music__\n03 00010200\n\n");
  EXPECT_EQ(d->music[0][0], 0);  // 00 stays 00 from version 4
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, FutureVersionRefusedAndFlagCleared) {
  EXPECT_EQ(from_text("zurkel cartridge\nversion 13\n__lua__\nx\n\n"), nullptr);
  EXPECT_TRUE(textcart_future_version);
  zurkel_cart* d = from_text("zurkel cartridge\nversion 12\n\n");
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(textcart_future_version);
  brim_destroy_zurkel_cart(d);
  EXPECT_EQ(from_text("zurkel cartridge\nversion 99\n"), nullptr);
  EXPECT_TRUE(textcart_future_version);
  EXPECT_EQ(from_text("not a cartridge\nversion 12\n"), nullptr);
  EXPECT_FALSE(textcart_future_version);
}

TEST(TextCart, MissingVersionLineIsVersionZero) {
  zurkel_cart* d = from_text("zurkel cartridge // anything\n__lua__\n__lua__\nprint(1)\n\n");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->version, 0);
  EXPECT_STREQ(d->code, "print(1)");  // the second line is read as the version line
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, BadDigitsReadAsZeroAndShortRows) {
  zurkel_cart* d = from_text("zurkel cartridge\nversion 12\n__gfx__\n1A2g3f\n__map__\nzz0aFF1\n\n");
  ASSERT_NE(d, nullptr);
  const int want[] = {1, 0, 2, 0, 3, 15, 0, 0};
  for (int x = 0; x < 8; x++) EXPECT_EQ(d->gfx->line[0][x], want[x]) << x;
  EXPECT_EQ(d->map->line[0][0], 0);
  EXPECT_EQ(d->map->line[0][1], 0x0a);
  EXPECT_EQ(d->map->line[0][2], 0);  // uppercase is a bad digit here
  EXPECT_EQ(d->map->line[0][3], 0x10);  // the short row's missing digit is 0
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, LineEndsAndSectionsInAnyOrder) {
  zurkel_cart* d = from_text(
      "zurkel cartridge\r\nversion 12\r\n__gfx__\r\n1\r__lua__\r\na\r\nb\n__gfx__xyz\n2\r\n\r\n");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->code, "a\nb");
  EXPECT_EQ(d->gfx->line[0][0], 1);
  EXPECT_EQ(d->gfx->line[1][0], 2);  // the row counter survives a repeated header
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, LastLineRulesForMemoryAndFiles) {
  // From memory the last line is lost even with its line end.
  zurkel_cart* d = from_text("zurkel cartridge\nversion 12\n__lua__\none\ntwo\n");
  EXPECT_STREQ(d->code, "one");
  brim_destroy_zurkel_cart(d);
  std::string path = temp_path("last.zk");
  for (auto [text, want] : {std::pair{"zurkel cartridge\nversion 12\n__lua__\none\ntwo\n", "one\ntwo"},
                            std::pair{"zurkel cartridge\nversion 12\n__lua__\none\ntwo", "one"}}) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(text, f);
    std::fclose(f);
    d = brim_load_zurkel_cart(path.c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->code, want);
    brim_destroy_zurkel_cart(d);
  }
  std::remove(path.c_str());
}

TEST(TextCart, OverlongCodeIsDropped) {
  std::string text = "zurkel cartridge\nversion 12\n__lua__\n";
  std::string chunk(30000, 'a');
  text += chunk + "\n" + chunk + "\n" + chunk + "\nshort\n__gfx__\n5\n\n";
  zurkel_cart* d = from_text(text);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(std::strlen(d->code), 60001u + 6);  // two chunks, then "short"
  EXPECT_EQ(std::string(d->code + 60002), "short");
  EXPECT_EQ(d->gfx->line[0][0], 5);  // the rest still loads
  brim_destroy_zurkel_cart(d);
}

TEST(TextCart, HugeLineAndRandomBytesAreSafe) {
  std::string text = "zurkel cartridge\nversion 12\n__lua__\n";
  text += std::string(10 << 20, 'x');
  text += "\n__map__\n01\n\n";
  zurkel_cart* d = from_text(text);
  ASSERT_NE(d, nullptr);
  EXPECT_LE(std::strlen(d->code), 65535u);
  EXPECT_EQ(d->map->line[0][0], 1);
  brim_destroy_zurkel_cart(d);

  uint32_t x = 7;
  for (int round = 0; round < 50; round++) {
    std::string junk = round % 2 ? "zurkel cartridge\nversion 5\n" : "";
    const char* heads[] = {"__lua__\n", "__gfx__\n", "__sfx__\n", "__music__\n", "__map__\n", "__gff__\n", "__label__\n"};
    for (int i = 0; i < 4000; i++) {
      x = x * 1664525 + 1013904223;
      if ((x >> 24) < 3) junk += heads[(x >> 8) % 7];
      junk += static_cast<char>(x >> 16);
    }
    zurkel_cart* c = from_text(junk);
    brim_destroy_zurkel_cart(c);
  }
}

TEST(TextCart, SaveToPathAndFailure) {
  zurkel_cart* c = rich_cart();
  std::string path = temp_path("saved.zk");
  EXPECT_EQ(brim_save_zurkel_cart(c, path.c_str()), 0);
  zurkel_cart* d = brim_load_zurkel_cart(path.c_str());
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->code, c->code);
  EXPECT_EQ(brim_save_zurkel_cart(c, "/nonexistent/folder/x.zk"), 1);
  EXPECT_EQ(brim_load_zurkel_cart("/nonexistent/folder/x.zk"), nullptr);
  std::remove(path.c_str());
  brim_destroy_zurkel_cart(c);
  brim_destroy_zurkel_cart(d);
}

}  // namespace
