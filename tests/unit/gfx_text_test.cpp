#include <fstream>
#include <set>
#include <sstream>

#include "gfx/font.h"
#include "gfx/glyph_sheet.h"
#include "gfx/print.h"
#include "gfx/printer.h"
#include "gfx_fixture.h"

static std::string read_file(const std::string& path) {
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct GfxText : GfxMachine {
  void SetUp() override {
    GfxMachine::SetUp();
    brim_text_init();
    std::string err;
    font = brim_font_from_glyph_sheet(read_file(std::string(ZURKEL_SOURCE_DIR) + "/assets/font/console_font.txt"), &err);
    ASSERT_NE(font, nullptr) << err;
    zurkel_console_font = font;
  }
  void TearDown() override {
    zurkel_console_font = nullptr;
    brim_destroy_font(font);
    GfxMachine::TearDown();
  }
  brim_font* font = nullptr;
};

TEST_F(GfxText, BuiltinFontsFromTable) {
  ASSERT_EQ(brim_font1->glyphs.size(), 512u);
  ASSERT_EQ(brim_font2->glyphs.size(), 512u);
  const brim_bitmap* a = brim_font1->glyphs['A'];
  ASSERT_EQ(a->w, 5);
  // 'A' = 1F 11 1F 11 11
  EXPECT_EQ(a->line[0][0], 255);
  EXPECT_EQ(a->line[1][1], 0);
  EXPECT_EQ(a->line[1][4], 255);
  // Lower case repeats the capitals; 127 is a bar on the bottom row.
  for (int y = 0; y < 5; y++)
    for (int x = 0; x < 5; x++) EXPECT_EQ(brim_font1->glyphs['a']->line[y][x], a->line[y][x]);
  EXPECT_EQ(brim_font1->glyphs[127]->line[4][0], 255);
  EXPECT_EQ(brim_font1->glyphs[127]->line[3][2], 0);
  // Bold: ink also one to the right; 32-bit forms use their own ink.
  const brim_bitmap* bold = brim_font2->glyphs['!'];
  EXPECT_EQ(bold->w, 6);
  EXPECT_EQ(bold->line[0][2], 255);
  EXPECT_EQ(bold->line[0][3], 255);
  EXPECT_EQ(bold->line[0][1], 0);
  const brim_bitmap* a32 = brim_font1->glyphs[256 + 'A'];
  EXPECT_EQ(a32->depth, 32);
  EXPECT_EQ(brim_line32(const_cast<brim_bitmap*>(a32), 0)[0], 0xFFC0C0C0u);
  EXPECT_EQ(brim_line32(const_cast<brim_bitmap*>(brim_font2->glyphs[256 + 'A']), 0)[0], 0xFFFFFFFFu);
  EXPECT_EQ(brim_font1->glyphs[200]->line[2][2], 0);
}

TEST_F(GfxText, ConsoleFontMetrics) {
  ASSERT_EQ(font->glyphs.size(), 256u);
  std::set<std::string> shapes;
  for (int c = 32; c < 128; c++) {
    const brim_bitmap* g = font->glyphs[c];
    EXPECT_EQ(g->w, 3) << c;
    EXPECT_EQ(g->h, 5) << c;
    std::string s(reinterpret_cast<const char*>(g->data), 15);
    if (c != 32) {
      EXPECT_NE(s, std::string(15, '\0')) << c;
    }
    shapes.insert(s);
  }
  EXPECT_EQ(shapes.size(), 96u) << "every printable glyph is distinct";
  for (int c : {0x8B, 0x91, 0x94, 0x83, 0x8E, 0x97, 0x8F, 145, 151}) {
    const brim_bitmap* g = font->glyphs[c];
    int ink = 0;
    for (int i = 0; i < g->w * g->h; i++) ink += g->data[i] != 0;
    EXPECT_GT(ink, 4) << c;
  }
  EXPECT_EQ(brim_get_text_width("abc", font), 11);
  EXPECT_EQ(brim_get_text_width("\x91", font), 7);
}

TEST_F(GfxText, GlyphSheetErrors) {
  std::vector<brim_bitmap*> g;
  std::string err;
  EXPECT_FALSE(brim_parse_glyph_sheet("#.#\n", g, &err));
  EXPECT_NE(err.find("line 1"), std::string::npos);
  EXPECT_FALSE(brim_parse_glyph_sheet("= 300\n#\n", g, &err));
  EXPECT_FALSE(brim_parse_glyph_sheet("= 65\n#.#\n##\n", g, &err));
  EXPECT_NE(err.find("line 3"), std::string::npos);
  EXPECT_FALSE(brim_parse_glyph_sheet("= 65\n#x#\n", g, &err));
  EXPECT_FALSE(brim_parse_glyph_sheet("= 65\n#\n= 65\n#\n", g, &err));
  EXPECT_FALSE(brim_parse_glyph_sheet("= 65\n= 66\n#\n", g, &err));
  EXPECT_TRUE(g.empty());
  ASSERT_TRUE(brim_parse_glyph_sheet("; c\r\n= 65 A\r\n##\r\n.#\r\n", g, &err)) << err;
  ASSERT_EQ(g.size(), 256u);
  EXPECT_EQ(g[65]->w, 2);
  EXPECT_EQ(g[65]->line[1][1], BRIM_GLYPH_INK);
  EXPECT_EQ(g[66]->w, 3);
  for (brim_bitmap* b : g) brim_destroy_bitmap(b);
}

TEST_F(GfxText, CentredText) {
  brim_font f;
  for (int i = 0; i < 256; i++) f.glyphs.push_back(brim_create_bitmap(3, 5, 8));
  f.glyphs['a']->line[0][0] = 1;
  brim_draw_text_c(m->screen, "abc", &f, 64, 0);
  EXPECT_EQ(px(59, 0), 1);
  EXPECT_EQ(count(1), 1);
  brim_draw_text_ex(m->screen, "abc", &f, 64, 10, BRIM_TEXT_RIGHT | BRIM_TEXT_COLOUR, 9);
  EXPECT_EQ(px(64 - 11, 10), 9);
  for (brim_bitmap* b : f.glyphs) brim_destroy_bitmap(b);
}

TEST_F(GfxText, AsciiRangeFontOffsetsCodes) {
  brim_font f;
  f.ascii = true;
  for (int i = 0; i < 96; i++) f.glyphs.push_back(brim_create_bitmap(3, 5, 8));
  f.glyphs['A' - 32]->line[0][0] = 1;
  brim_draw_text(m->screen, "\x05" "A\x90", &f, 0, 0);  // out-of-range codes take no room
  EXPECT_EQ(px(0, 0), 1);
  EXPECT_EQ(brim_get_text_width("\x05" "A\x90", &f), 3);
  for (brim_bitmap* b : f.glyphs) brim_destroy_bitmap(b);
}

TEST_F(GfxText, WrapHolds32GlyphsPerLine) {
  std::string text(40, 'A');
  int y = brim_draw_text_ex(m->screen, text.c_str(), font, 0, 0, BRIM_TEXT_COLOUR | BRIM_TEXT_WRAP, 7);
  EXPECT_EQ(y, 6);
  EXPECT_EQ(px(124 + 1, 0), 7);  // 32nd glyph ('A' top row .#.)
  EXPECT_EQ(px(1, 6), 7);        // 33rd on the next line
  EXPECT_EQ(px(8 * 4 + 1, 6), 0);
  EXPECT_EQ(px(7 * 4 + 1, 6), 7);
}

TEST_F(GfxText, LineFeedAndStopAt127) {
  int y = brim_draw_text_ex(m->screen, "A\nA\x7f" "A", font, 10, 20, BRIM_TEXT_COLOUR, 7);
  EXPECT_EQ(y, 26);
  EXPECT_EQ(px(11, 20), 7);
  EXPECT_EQ(px(11, 26), 7);
  EXPECT_EQ(px(14, 26), 7);      // the cursor block is drawn
  EXPECT_EQ(px(8 + 1 + 4, 26), 0);  // nothing after it... third glyph column
  EXPECT_EQ(px(19, 26), 0);
}

TEST_F(GfxText, EllipsisAtClipRight) {
  m->screen->cr = 40;
  std::string text(20, 'I');  // 80 pixels of advance
  brim_draw_text_ex(m->screen, text.c_str(), font, 0, 0, BRIM_TEXT_COLOUR | BRIM_TEXT_ELLIPSIS, 7);
  // Text ends at the right side: the last 'I' (###) spans 37-39.
  EXPECT_EQ(px(36, 0), 0);
  EXPECT_EQ(px(37, 0), 7);
  EXPECT_EQ(px(39, 0), 7);
  // Columns 0-14 hold only the ".." (built-in font, glyph pixels 255).
  EXPECT_EQ(px(2, 4), 255);
  EXPECT_EQ(px(8, 4), 255);
  EXPECT_EQ(px(2, 0), 0);
  EXPECT_EQ(m->screen->cl, 0);  // clip restored
}

TEST_F(GfxText, PhatOutline) {
  brim_font f;
  for (int i = 0; i < 256; i++) f.glyphs.push_back(brim_create_bitmap(1, 1, 8));
  f.glyphs['x']->line[0][0] = 1;
  brim_draw_text_phat(m->screen, "x", &f, 10, 10, 0, 2, 9);
  EXPECT_EQ(region(9, 9, 3, 3), "222\n292\n222\n");
  for (brim_bitmap* b : f.glyphs) brim_destroy_bitmap(b);
}

TEST_F(GfxText, ThirtyTwoBitTarget) {
  brim_bitmap* b = brim_create_bitmap(20, 8, 32);
  brim_draw_text_ex(b, "1", brim_font1, 1, 1, 0, 0);  // 32-bit set picked
  EXPECT_EQ(brim_line32(b, 1)[3], 0xFFC0C0C0u);
  brim_draw_text_ex(b, "1", font, 10, 1, 0, 0x00FF00);  // no 32-bit set: colour forced
  EXPECT_EQ(brim_line32(b, 1)[10], 0x00FF00u);
  brim_destroy_bitmap(b);
}

TEST_F(GfxText, PrintAdvancesCursor) {
  gfx_print_args a;
  EXPECT_EQ(gfx_print(m, "hi", a), 8 * 2 + 2);
  EXPECT_EQ(px(0, 0), 6);  // 'h' top-left in the pen colour 6
  EXPECT_EQ(m->draw[DS_CURSOR_X], 0);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 6);
  gfx_cls(m, 0);
  m->draw[DS_CURSOR_Y] = 120;
  gfx_print(m, "hi", a);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 120);
  EXPECT_EQ(px(0, 114), 6);  // drawn at 120, then scrolled up by 6
  EXPECT_EQ(count(0), 128 * 128 - count(6));
  for (int y = 122; y < 128; y++) EXPECT_EQ(px(0, y), 0);
}

TEST_F(GfxText, PrintLineFeedCallsCursorCrTwice) {
  gfx_print_args a;
  m->draw[DS_CURSOR_Y] = 10;
  gfx_print(m, "a\nb", a);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 22);
}

TEST_F(GfxText, PrintWithPositionAndColour) {
  gfx_print_args a;
  a.nargs = 4;
  a.x = 10;
  a.y = 20;
  a.c = 8;
  gfx_print(m, "I", a);
  EXPECT_EQ(m->draw[DS_CURSOR_X], 10);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 20);
  EXPECT_EQ(m->draw[DS_PEN], 8);
  EXPECT_EQ(px(10, 20), 8);
  // Two arguments: the second is ignored, drawn at the cursor.
  a = gfx_print_args();
  a.nargs = 2;
  gfx_cls(m, 0);
  m->draw[DS_CURSOR_X] = 10;
  m->draw[DS_CURSOR_Y] = 20;
  gfx_print(m, "I", a);
  EXPECT_EQ(px(10, 20), 8);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 20);
}

TEST_F(GfxText, PrintUsesPaletteCameraAndPrimaryOnly) {
  gfx_pal(m, 8, 3, 0);
  gfx_camera(m, -5, 0);
  gfx_print_args a;
  a.nargs = 4;
  a.c = 0x98;
  gfx_print(m, "I", a);
  EXPECT_EQ(px(5, 0), 3);
  EXPECT_EQ(count(9), 0);
}

TEST_F(GfxText, CursorCrScrollsPast122) {
  m->draw[DS_CURSOR_Y] = 116;
  cursor_cr(m);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 122);
  m->screen->line[6][0] = 5;
  m->screen->line[127][0] = 5;
  cursor_cr(m);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 122);
  EXPECT_EQ(px(0, 0), 5);
  EXPECT_EQ(px(0, 121), 5);
  EXPECT_EQ(px(0, 127), 0);
  scroll_immediate_mode_screen(m);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 116);
  EXPECT_EQ(px(0, 115), 5);
}

TEST_F(GfxText, ConsoleMessageOf40CharactersTakesTwoLines) {
  m->draw[DS_CURSOR_Y] = 12;
  gfx_cls(m, 5);
  m->draw[DS_CURSOR_Y] = 12;
  std::string text(32, 'I');
  text += "IIIIIIII";
  zurkel_print_col(m, text.c_str(), 14);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 24);
  EXPECT_EQ(px(124, 12), 14);       // 32nd on the first line
  EXPECT_EQ(px(28, 18), 14);        // 8th on the second
  EXPECT_EQ(px(32, 18), 0);         // rest of the line cleared
  EXPECT_EQ(px(0, 11), 5);
  EXPECT_EQ(px(0, 24), 5);
}
