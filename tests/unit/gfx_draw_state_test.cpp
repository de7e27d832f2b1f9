#include "gfx/draw_state.h"
#include "gfx/shapes.h"
#include "gfx/sprites.h"
#include "gfx_fixture.h"

using GfxDrawState = GfxMachine;

TEST_F(GfxDrawState, ResetValues) {
  m->draw[DS_CURSOR_Y] = 42;
  m->draw[DS_CURSOR_X] = 9;
  gfx_camera(m, 5, 5);
  gfx_clip(m, false, 1, 2, 3, 4);
  gfx_fillp(m, 0x12340000);
  m->draw[DS_SCREEN_MODE] = 3;
  gfx_pal(m, 2, 9, 0);
  gfx_reset_draw_state(m);
  EXPECT_EQ(m->draw[DS_PEN], 6);
  EXPECT_EQ(m->draw[DS_CURSOR_X], 0);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 42);  // kept so output follows the console text
  EXPECT_EQ(gfx_camera_x(m), 0);
  EXPECT_EQ(m->draw[DS_PAL + 0], GFX_TRANSPARENT);
  EXPECT_EQ(m->draw[DS_PAL + 2], 2);
  EXPECT_EQ(m->draw[DS_SCREEN_MODE], 0);
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 128);
  EXPECT_EQ(m->screen->cl, 0);
  EXPECT_EQ(m->screen->cb, 128);
  EXPECT_EQ(m->draw[DS_FILLP], 0);
}

TEST_F(GfxDrawState, PalZeroDrawsEightButStaysTransparentForSprites) {
  gfx_pal(m, 0, 8, 0);
  gfx_pset(m, 1, 1, 0);
  EXPECT_EQ(px(1, 1), 8);
  gfx_rectfill(m, 10, 10, 11, 11, 0);
  EXPECT_EQ(px(10, 10), 8);
  // Sprite 0's pixel of colour 0 is still skipped.
  gfx_cls(m, 3);
  gfx_spr(m, 0, 0, 0, 8, 8, false, false);
  EXPECT_EQ(px(0, 0), 3);
  gfx_pal_reset(m);
  gfx_pset(m, 1, 1, 0);
  EXPECT_EQ(px(1, 1), 0);
  for (int i = 1; i < 16; i++) EXPECT_EQ(m->draw[DS_PAL + i], i);
}

TEST_F(GfxDrawState, ScreenPaletteLeavesPixelValue) {
  gfx_pal(m, 7, 8, 1);
  gfx_pset(m, 3, 3, 7);
  EXPECT_EQ(gfx_pget(m, 3, 3), 7);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 7], 8);
  EXPECT_EQ(m->draw[DS_PAL + 7], 7);
  gfx_pal(m, 6, 9, -1);  // any non-zero integer part selects the screen palette
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 6], 9);
}

TEST_F(GfxDrawState, FillPatternSecondaryAndTransparent) {
  gfx_fillp(m, 1 << 16);  // fillp(1)
  gfx_rectfill(m, 0, 0, 7, 7, 0x12);
  EXPECT_EQ(px(3, 3), 1);
  EXPECT_EQ(px(7, 3), 1);
  EXPECT_EQ(px(3, 7), 1);
  EXPECT_EQ(px(7, 7), 1);
  EXPECT_EQ(count(1), 4);
  EXPECT_EQ(count(2), 60);
  gfx_cls(m, 0);
  gfx_fillp(m, std::nullopt);
  gfx_rectfill(m, 0, 0, 7, 7, 5);
  gfx_fillp(m, (1 << 16) | 0x8000);  // fillp(1.5)
  EXPECT_EQ(m->draw[DS_FILLP], 0x10001);
  gfx_rectfill(m, 0, 0, 7, 7, 0x12);
  EXPECT_EQ(px(3, 3), 5);
  EXPECT_EQ(px(7, 7), 5);
  EXPECT_EQ(count(2), 60);
}

TEST_F(GfxDrawState, FillpNegativeAndNone) {
  gfx_fillp(m, static_cast<int32_t>(0xFFFF8000));  // fillp(-0.5)
  EXPECT_EQ(m->draw[DS_FILLP], 0x1FFFF);
  gfx_cls(m, 4);
  gfx_rectfill(m, 0, 0, 127, 127, 7);
  gfx_circfill(m, 64, 64, 10, 7);
  gfx_circ(m, 64, 64, 20, 7);
  gfx_line(m, 0, 0, 127, 127, 7);
  gfx_rect(m, 5, 5, 50, 50, 7);
  gfx_pset(m, 1, 1, 7);
  EXPECT_EQ(count(4), 128 * 128);
  gfx_fillp(m, std::nullopt);
  EXPECT_EQ(m->draw[DS_FILLP], 0);
}

TEST_F(GfxDrawState, PatternAnchoredToScreenAfterCamera) {
  gfx_fillp(m, 0x80000000);  // bit 15 only: pixel (0, 0) of each cell
  gfx_camera(m, -1, 0);
  gfx_rectfill(m, 0, 0, 3, 0, 0x21);
  // Screen pixels 1..4; screen x 4 is cell column 0 -> secondary colour.
  EXPECT_EQ(region(0, 0, 6, 1), ".1112.\n");
}

TEST_F(GfxDrawState, CameraExamples) {
  gfx_camera(m, 10, 0);
  gfx_pset(m, 10, 0, 7);
  EXPECT_EQ(px(0, 0), 7);
  gfx_camera(m, -1, 0);
  gfx_pset(m, 0, 0, 7);
  EXPECT_EQ(px(1, 0), 7);
  gfx_camera(m, 0x18000, 0x7FFF);  // wraps to 16 bits
  EXPECT_EQ(gfx_camera_x(m), -0x8000);
  EXPECT_EQ(gfx_camera_y(m), 0x7FFF);
}

TEST_F(GfxDrawState, ClipExamples) {
  gfx_clip(m, false, 120, 120, 20, 20);
  EXPECT_EQ(m->draw[DS_CLIP_LEFT], 120);
  EXPECT_EQ(m->draw[DS_CLIP_TOP], 120);
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 128);
  EXPECT_EQ(m->draw[DS_CLIP_BOTTOM], 128);
  gfx_clip(m, false, -5, 0, 10, 10);
  EXPECT_EQ(m->draw[DS_CLIP_LEFT], 0);
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 5);
  EXPECT_EQ(m->draw[DS_CLIP_BOTTOM], 10);
  EXPECT_EQ(m->screen->cr, 5);
  gfx_rectfill(m, 0, 0, 127, 127, 9);
  EXPECT_EQ(count(9), 50);
  gfx_clip(m, true, 0, 0, 0, 0);
  EXPECT_EQ(m->screen->cr, 128);
  gfx_clip(m, false, 50, 50, -3, 10);  // right <= left draws nothing
  gfx_rectfill(m, 0, 0, 127, 127, 3);
  EXPECT_EQ(count(3), 0);
}

TEST_F(GfxDrawState, ClsFillsResetsCursorAndClipKeepsCamera) {
  gfx_camera(m, 3, 4);
  gfx_cursor(m, 20, 30);
  gfx_clip(m, false, 10, 10, 5, 5);
  gfx_pal(m, 1, 9, 0);
  gfx_cls(m, 17);
  EXPECT_EQ(count(1), 128 * 128);  // no draw palette
  EXPECT_EQ(m->draw[DS_CURSOR_X], 0);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 0);
  EXPECT_EQ(m->draw[DS_CLIP_LEFT], 0);
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 128);
  EXPECT_EQ(m->screen->cl, 0);
  EXPECT_EQ(gfx_camera_x(m), 3);
  EXPECT_EQ(gfx_camera_y(m), 4);
}

TEST_F(GfxDrawState, ColorAndPalt) {
  gfx_color(m, 0x1FF);
  EXPECT_EQ(m->draw[DS_PEN], 0xFF);
  gfx_color(m, 0);
  EXPECT_EQ(m->draw[DS_PEN], 0);
  gfx_palt(m, 5, true);
  gfx_palt(m, 0, false);
  gfx_pal(m, 3, 11, 0);
  gfx_palt_reset(m);
  for (int i = 0; i < 16; i++)
    EXPECT_EQ((m->draw[DS_PAL + i] & GFX_TRANSPARENT) != 0, i == 0) << i;
  EXPECT_EQ(m->draw[DS_PAL + 3], 11);  // mappings stay
}

TEST_F(GfxDrawState, ExplicitColourBecomesPenThroughPalette) {
  gfx_pal(m, 3, 12, 0);
  EXPECT_EQ(gfx_colour_byte(m, 0x213), (1 << 4) | 12);  // low 8 bits, both nibbles mapped
  EXPECT_EQ(m->draw[DS_PEN], 0x13);
  EXPECT_EQ(gfx_colour_byte(m, std::nullopt), (1 << 4) | 12);
}

TEST_F(GfxDrawState, SuspendResets) {
  gfx_camera(m, 4, 4);
  gfx_clip(m, false, 10, 10, 20, 20);
  m->draw[DS_CURSOR_X] = 50;
  m->draw[DS_CURSOR_Y] = 200;
  gfx_pal(m, 2, 5, 1);
  gfx_suspend_draw_state(m, true);
  EXPECT_EQ(gfx_camera_x(m), 0);
  EXPECT_EQ(m->screen->cl, 0);
  EXPECT_EQ(m->screen->cr, 128);
  EXPECT_EQ(m->draw[DS_CLIP_LEFT], 10);  // registers keep their values
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 30);
  EXPECT_EQ(m->draw[DS_CURSOR_X], 0);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 120);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 2], 2);

  gfx_pal(m, 2, 5, 1);
  m->ram[0x5F2E] = 1;
  m->draw[DS_CURSOR_Y] = -7;
  gfx_suspend_draw_state(m, true);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 2], 5);  // keep-palette byte
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 0);
  m->ram[0x5F2E] = 0;
  gfx_suspend_draw_state(m, false);  // a console command keeps it too
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 2], 5);
}
