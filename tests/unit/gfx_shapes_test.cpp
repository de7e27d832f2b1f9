#include "gfx/pixel.h"
#include "gfx/shapes.h"
#include "gfx_fixture.h"

using GfxShapes = GfxMachine;

TEST_F(GfxShapes, LineShallow) {
  int cost = gfx_line(m, 0, 0, 3, 1, 7);
  EXPECT_EQ(region(0, 0, 5, 2), "77...\n..77.\n");
  EXPECT_EQ(px(0, 0), 7);
  EXPECT_EQ(px(1, 0), 7);
  EXPECT_EQ(px(2, 1), 7);
  EXPECT_EQ(px(3, 1), 7);
  EXPECT_EQ(count(7), 4);
  EXPECT_EQ(cost, 3 / 2 + 1);
}

TEST_F(GfxShapes, LineSinglePoint) {
  EXPECT_EQ(draw_line(m->screen, 5, 5, 5, 5, 7, 0), 1);
  EXPECT_EQ(count(7), 1);
  EXPECT_EQ(gfx_line(m, 5, 5, 5, 5, 7), 1);
}

TEST_F(GfxShapes, LongLineIsPreClipped) {
  int steps = draw_line(m->screen, -1000, 10, 1000, 10, 7, 0);
  EXPECT_EQ(count(7), 128);
  for (int x = 0; x < 128; x++) EXPECT_EQ(px(x, 10), 7);
  EXPECT_EQ(steps, 2000 - 999 - 872);
}

TEST_F(GfxShapes, LineRunsDownwardsAndRejects) {
  // Swapped ends give the same pixels as the downward line.
  draw_line(m->screen, 3, 1, 0, 0, 7, 0);
  EXPECT_EQ(count(7), 4);
  EXPECT_EQ(draw_line(m->screen, 0, -5, 50, -1, 7, 0), 0);
  EXPECT_EQ(draw_line(m->screen, 130, 0, 140, 50, 7, 0), 0);
  EXPECT_EQ(count(7), 4);
}

TEST_F(GfxShapes, SteepClippedLineMatchesUnclipped) {
  // Pre-clipping must not change which pixels are drawn.
  brim_bitmap* ref = brim_create_bitmap(400, 400, 8);
  draw_line(ref, -100 + 150, -150 + 150, 200 + 150, 300 + 150, 9, 0);
  draw_line(m->screen, -100, -150, 200, 300, 9, 0);
  for (int y = 0; y < 128; y++)
    for (int x = 0; x < 128; x++) ASSERT_EQ(px(x, y), ref->line[y + 150][x + 150]) << x << "," << y;
  brim_destroy_bitmap(ref);
}

TEST_F(GfxShapes, RectCostAndEdges) {
  EXPECT_EQ(gfx_rect(m, 0, 0, 9, 9, 7), 14);
  EXPECT_EQ(count(7), 36);
  EXPECT_EQ(px(0, 0), 7);
  EXPECT_EQ(px(9, 9), 7);
  EXPECT_EQ(px(5, 5), 0);
  EXPECT_EQ(gfx_rect(m, 200, 0, 300, 9, 7), GFX_NO_CHARGE);
  // Partly clipped: only the edges inside count.
  EXPECT_EQ(gfx_rect(m, -10, 0, 9, 9, 7), (9 + 3) / 4 * 2 + 4);
}

TEST_F(GfxShapes, RectfillSortsAndCosts) {
  EXPECT_EQ(gfx_rectfill(m, 10, 10, 5, 5, 8), 2);
  EXPECT_EQ(count(8), 36);
  EXPECT_EQ(px(5, 5), 8);
  EXPECT_EQ(px(10, 10), 8);
  EXPECT_EQ(m->draw[DS_PEN], 8);
  EXPECT_EQ(gfx_rectfill(m, -100, -100, 1000, 1000, 1), 128 * 128 / 16);
  EXPECT_EQ(gfx_rectfill(m, 200, 200, 300, 300, 1), 0);  // charged as the minimum
}

TEST_F(GfxShapes, CircleRadiusZeroAndOne) {
  gfx_circ(m, 64, 64, 0, 7);
  EXPECT_EQ(count(7), 1);
  EXPECT_EQ(px(64, 64), 7);
  gfx_cls(m, 0);
  gfx_circ(m, 64, 64, 1, 7);
  EXPECT_EQ(count(7), 4);
  EXPECT_EQ(px(64, 64), 0);
  EXPECT_EQ(px(65, 64), 7);
  EXPECT_EQ(px(63, 64), 7);
  EXPECT_EQ(px(64, 65), 7);
  EXPECT_EQ(px(64, 63), 7);
  gfx_cls(m, 0);
  gfx_circfill(m, 64, 64, 0, 7);
  EXPECT_EQ(count(7), 1);
  gfx_cls(m, 0);
  gfx_circfill(m, 64, 64, 1, 7);
  EXPECT_EQ(count(7), 5);
  EXPECT_EQ(px(64, 64), 7);
}

TEST_F(GfxShapes, NegativeRadiusPenRules) {
  gfx_color(m, 3);
  EXPECT_EQ(gfx_circ(m, 64, 64, -1, 8), GFX_NO_CHARGE);
  EXPECT_EQ(m->draw[DS_PEN], 8);
  gfx_color(m, 3);
  EXPECT_EQ(gfx_circfill(m, 64, 64, -1, 8), GFX_NO_CHARGE);
  EXPECT_EQ(m->draw[DS_PEN], 3);
  EXPECT_EQ(count(0), 128 * 128);
}

TEST_F(GfxShapes, CircleRadiusFourShape) {
  int cost = gfx_circ(m, 64, 64, 4, std::nullopt);
  EXPECT_EQ(cost, 2 * 8 + 2);
  EXPECT_EQ(region(60, 60, 9, 9),
            "...666...\n"
            ".66...66.\n"
            ".6.....6.\n"
            "6.......6\n"
            "6.......6\n"
            "6.......6\n"
            ".6.....6.\n"
            ".66...66.\n"
            "...666...\n");
  EXPECT_EQ(gfx_circ(m, -50, 64, 4, 7), GFX_NO_CHARGE);
}

TEST_F(GfxShapes, CircfillCost) {
  EXPECT_EQ(gfx_circfill(m, 64, 64, 4, 7), 81 / 16 + 8);
  EXPECT_EQ(gfx_circfill(m, 0, 0, 4, 7), 25 / 16 + 8);
}

TEST_F(GfxShapes, PgetRules) {
  gfx_pset(m, 50, 50, 9);
  EXPECT_EQ(gfx_pget(m, 200, 5), 0);
  EXPECT_EQ(gfx_pget(m, 50, 50), 9);
  gfx_clip(m, false, 0, 0, 10, 10);
  EXPECT_EQ(gfx_pget(m, 50, 50), 0);
  gfx_clip(m, true, 0, 0, 0, 0);
  gfx_camera(m, 10, 10);
  EXPECT_EQ(gfx_pget(m, 60, 60), 9);
}

TEST_F(GfxShapes, HlineColourRowAndClip) {
  m->screen->cl = 2;
  m->screen->cr = 10;
  draw_hline(m->screen, 12, 0, 0, 0x21, 0xA000);  // row 0 nibble 1010: x mod 4 = 0, 2 secondary
  EXPECT_EQ(region(0, 0, 12, 1), "..21212121..\n");
  draw_hline(m->screen, 0, 12, 1, 0x21, 0x10A00);  // row 1 likewise, 1-bits transparent
  EXPECT_EQ(region(0, 1, 12, 1), "...1.1.1.1..\n");
  draw_hline(m->screen, 0, 12, 4, 0x21, 0x0A000);  // row 4 uses the row 0 nibble
  EXPECT_EQ(region(0, 4, 12, 1), "..21212121..\n");
}

TEST_F(GfxShapes, TintedPanelFixed) {
  for (int c = 0; c < 16; c++) m->screen->line[0][c] = static_cast<uint8_t>(c);
  draw_tinted_rect_adaptive(m->screen, 0, 0, 15, 0, 0);
  EXPECT_EQ(region(0, 0, 16, 1), "..11..1515551115\n");
}

TEST_F(GfxShapes, TintedPanelAdaptive) {
  // 2 of 3 pixels dark: the threshold falls between their rank and the bright one.
  m->screen->line[0][0] = 1;   // rank 1
  m->screen->line[0][1] = 1;
  m->screen->line[0][2] = 7;   // rank 15
  draw_tinted_rect_adaptive(m->screen, 0, 0, 2, 0, 1);
  // counts below t: t=2..15 -> 2 (|2-2| = 0 first at t=2): rank >= 2 becomes 1.
  EXPECT_EQ(region(0, 0, 3, 1), "..1\n");
}
