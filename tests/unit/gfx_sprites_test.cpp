#include "gfx/blit.h"
#include "gfx/shapes.h"
#include "gfx/sprites.h"
#include "gfx_fixture.h"

struct GfxSprites : GfxMachine {
  void SetUp() override {
    GfxMachine::SetUp();
    // Sprite n's pixel (x, y) = (x + y + n) & 15 except a colour-0 pixel at (7, 7).
    for (int n = 0; n < 256; n++)
      for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) sheet((n % 16) * 8 + x, (n / 16) * 8 + y, (x == 7 && y == 7) ? 0 : ((x + y + n) & 15) | 0);
    // Sprite 1 gets a clear left half pattern: columns 0-3 colour 0.
    for (int y = 0; y < 8; y++)
      for (int x = 0; x < 8; x++) sheet(8 + x, y, x < 4 ? 0 : 9);
  }
};

TEST_F(GfxSprites, TransparencyFollowsPalt) {
  gfx_cls(m, 5);
  EXPECT_EQ(gfx_spr(m, 1, 0, 0, 8, 8, false, false), 64);
  EXPECT_EQ(region(0, 0, 8, 1), "55559999\n");
  gfx_palt(m, 0, false);
  gfx_spr(m, 1, 0, 0, 8, 8, false, false);
  EXPECT_EQ(region(0, 0, 8, 1), "....9999\n");
}

TEST_F(GfxSprites, FractionalSizeAndBlankTail) {
  gfx_cls(m, 5);
  gfx_palt(m, 0, false);
  EXPECT_EQ(gfx_spr(m, 0, 0, 0, 12, 12, false, false), 144);
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 12; x++) ASSERT_EQ(px(x, y), m->cart->gfx->line[y][x]) << x << "," << y;
  EXPECT_EQ(px(12, 0), 5);
  // Sprite 15 is at the sheet's right edge: the second cell is opaque colour 0
  // even with colour 0 transparent.
  gfx_palt_reset(m);
  gfx_cls(m, 5);
  gfx_spr(m, 15, 0, 0, 16, 8, false, false);
  for (int x = 0; x < 7; x++) EXPECT_EQ(px(x, 0), ((x + 15) & 15) ? ((x + 15) & 15) : 5);
  for (int x = 8; x < 16; x++) EXPECT_EQ(px(x, 3), 0) << x;
  EXPECT_EQ(px(16, 3), 5);
}

TEST_F(GfxSprites, OutOfRangeSpriteDrawsNothing) {
  gfx_cls(m, 5);
  EXPECT_EQ(gfx_spr(m, 256, 0, 0, 8, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(gfx_spr(m, -1, 0, 0, 8, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(gfx_spr(m, 3, 0, 0, 0, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(count(5), 128 * 128);
}

TEST_F(GfxSprites, FlipX) {
  gfx_spr(m, 1, 10, 10, 8, 8, true, false);
  EXPECT_EQ(region(10, 10, 8, 1), "9999....\n");
  gfx_spr(m, 2, 30, 30, 8, 8, false, true);
  EXPECT_EQ(px(30, 30), (0 + 7 + 2) & 15);  // bottom row on top
}

TEST_F(GfxSprites, CameraAndClipCost) {
  gfx_camera(m, 4, 0);
  EXPECT_EQ(gfx_spr(m, 2, 0, 0, 8, 8, false, false), 32);
  EXPECT_EQ(px(0, 0), (4 + 2) & 15);
  gfx_camera(m, 0, 0);
  gfx_clip(m, false, 0, 0, 2, 2);
  EXPECT_EQ(gfx_spr(m, 2, 0, 0, 8, 8, false, false), 4);
  EXPECT_EQ(gfx_spr(m, 2, 50, 50, 8, 8, false, false), 0);
}

TEST_F(GfxSprites, SsprDoublesAndMirrors) {
  gfx_palt(m, 0, false);
  EXPECT_EQ(gfx_sspr(m, 0, 0, 8, 8, 0, 0, 16, 16, false, false), 256);
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) ASSERT_EQ(px(x, y), m->cart->gfx->line[y / 2][x / 2]) << x << "," << y;
  gfx_cls(m, 0);
  gfx_sspr(m, 0, 0, 8, 8, 16, 0, -16, 16, false, false);
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++)
      ASSERT_EQ(px(x, y), m->cart->gfx->line[y / 2][7 - x / 2]) << x << "," << y;
  EXPECT_EQ(px(16, 0), 0);
}

TEST_F(GfxSprites, SsprArgumentLimits) {
  EXPECT_EQ(gfx_sspr(m, 0, 0, 0, 8, 0, 0, 8, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(gfx_sspr(m, 0, 0, 129, 8, 0, 0, 8, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(gfx_sspr(m, 0, 0, 8, 8, 0, 0, 0, 8, false, false), GFX_NO_CHARGE);
  EXPECT_EQ(count(0), 128 * 128);
  // Same size: a plain copy.
  EXPECT_EQ(gfx_sspr(m, 8, 0, 8, 8, 100, 100, 8, 8, false, false), 64);
  EXPECT_EQ(region(100, 100, 8, 1), "....9999\n");
  // Shrinking samples the centre of each footprint.
  gfx_palt(m, 0, false);
  gfx_sspr(m, 0, 0, 8, 8, 0, 40, 4, 4, false, false);
  EXPECT_EQ(px(0, 40), m->cart->gfx->line[1][1]);
  EXPECT_EQ(px(3, 43), m->cart->gfx->line[7][7]);
}

TEST_F(GfxSprites, StretchBlitClipsLeftTop) {
  brim_bitmap* src = brim_create_bitmap(4, 1, 8);
  for (int x = 0; x < 4; x++) src->line[0][x] = static_cast<uint8_t>(x + 1);
  brim_set_clip(m->screen, 3, 0, 128, 128);
  zurkel_stretch_blit(src, m->screen, -1, 0, 8, 2);
  // Columns -1..6 sample 1 1 2 2 3 3 4 4; the clip keeps columns 3..6.
  EXPECT_EQ(region(0, 0, 8, 2), "...3344.\n...3344.\n");
  brim_destroy_bitmap(src);
}

TEST_F(GfxSprites, MapSkipsZeroAndLayers) {
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 128; x++) m->cart->map->line[y][x] = 0;
  m->cart->map->line[0][0] = 1;
  m->cart->map->line[0][1] = 2;
  m->cart->map->line[1][1] = 3;
  m->cart->map->line[31][15] = 5;
  m->cart->map->line[32][0] = 6;  // row 32 is outside the default 128 x 32
  m->cart->sprite_flags[2] = 4;
  gfx_cls(m, 12);
  int cost = gfx_map(m, 0, 0, 0, 0, 128, 32, 0);
  EXPECT_EQ(cost, 3 * 64);  // cell (15, 31) lies below the screen
  EXPECT_EQ(region(0, 0, 8, 1), "cccc9999\n");
  EXPECT_EQ(px(8, 0), 2);
  EXPECT_EQ(px(8, 8), 3);
  EXPECT_EQ(px(120, 248 - 128), 12);  // cell (15, 31) is below the screen
  EXPECT_EQ(px(20, 20), 12);          // zero cells untouched
  gfx_cls(m, 12);
  EXPECT_EQ(gfx_map(m, 0, 0, 0, 0, 16, 16, 4), 64);
  EXPECT_EQ(px(0, 0), 12);
  EXPECT_EQ(px(8, 0), 2);
  EXPECT_EQ(px(8, 8), 12);
}

TEST_F(GfxSprites, MapSkipsCellsLeftOfClip) {
  m->cart->map->line[0][5] = 2;
  gfx_cls(m, 12);
  // Map drawn from x = -40: cell 5 lands at 0.
  gfx_map(m, 0, 0, -40, 0, 128, 32, 0);
  EXPECT_EQ(px(0, 0), 2);
  gfx_cls(m, 12);
  gfx_camera(m, 40, 0);
  gfx_map(m, 0, 0, 0, 0, 8, 1, 0);
  EXPECT_EQ(px(0, 0), 2);
  EXPECT_EQ(gfx_map(m, 0, 0, 0, 0, 0, 1, 0), GFX_NO_CHARGE);
}

TEST_F(GfxSprites, MsetSharedPixels) {
  gfx_mset(m, 3, 40, 0x21);
  EXPECT_EQ(gfx_mget(m, 3, 40), 0x21);
  EXPECT_EQ(gfx_sget(m, 6, 80), 1);
  EXPECT_EQ(gfx_sget(m, 7, 80), 2);
  uint8_t before6 = m->cart->gfx->line[20][6];
  gfx_mset(m, 3, 10, 0x21);
  EXPECT_EQ(gfx_mget(m, 3, 10), 0x21);
  EXPECT_EQ(m->cart->gfx->line[20][6], before6);
  gfx_mset(m, 100, 63, 0x1FF);
  EXPECT_EQ(gfx_mget(m, 100, 63), 0xFF);
  EXPECT_EQ(gfx_mget(m, 128, 0), 0);
  EXPECT_EQ(gfx_mget(m, 0, 64), 0);
  gfx_mset(m, 0, 64, 1);  // ignored
}

TEST_F(GfxSprites, SsetReplacesOneNibble) {
  sheet(0, 0, 3);
  gfx_sset(m, 1, 0, 9);
  EXPECT_EQ(gfx_sget(m, 1, 0), 9);
  EXPECT_EQ(gfx_sget(m, 0, 0), 3);
  EXPECT_EQ(m->ram[0], 0x93);  // the byte at address 0: high nibble 9
  gfx_sset(m, 2, 64, 0x1C);    // lower half also moves the shared map cell
  EXPECT_EQ(gfx_sget(m, 2, 64), 12);
  EXPECT_EQ(gfx_mget(m, 1, 32) & 15, 12);
  gfx_sset(m, 128, 0, 1);
  EXPECT_EQ(gfx_sget(m, 128, 0), 0);
  EXPECT_EQ(gfx_sget(m, -1, 0), 0);
}

TEST_F(GfxSprites, Flags) {
  gfx_fset(m, 1, 0x1FF);
  EXPECT_EQ(gfx_fget(m, 1), 0xFF);
  EXPECT_EQ(gfx_fget(m, 300), 0);
  EXPECT_FALSE(gfx_fget_bit(m, 1, 8));
  EXPECT_TRUE(gfx_fget_bit(m, 1, 7));
  gfx_fset_bit(m, 1, 7, false);
  EXPECT_EQ(gfx_fget(m, 1), 0x7F);
  gfx_fset_bit(m, 2, 2, true);
  EXPECT_EQ(gfx_fget(m, 2), 4);
  gfx_fset(m, 256, 1);
  gfx_fset_bit(m, 2, 8, true);
  EXPECT_EQ(gfx_fget(m, 2), 4);
}

TEST(GfxBlit, ClipMovesSourceOrigin) {
  brim_bitmap* src = brim_create_bitmap(16, 16, 8);
  brim_bitmap* dst = brim_create_bitmap(32, 32, 8);
  brim_set_clip(dst, 4, 4, 20, 20);
  int sx = -2, sy = 0, dx = 0, dy = 2, w = 10, h = 10;
  ASSERT_TRUE(brim_clip(src, dst, sx, sy, dx, dy, w, h));
  EXPECT_EQ(sx, 2);  // 2 cut by the source, then 2 more by the clip
  EXPECT_EQ(dx, 4);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(sy, 2);
  EXPECT_EQ(dy, 4);
  EXPECT_EQ(h, 8);
  int a = 0, b = 0, c = 30, d = 0, ww = 8, hh = 8;
  EXPECT_FALSE(brim_clip(src, dst, a, b, c, d, ww, hh));
  brim_destroy_bitmap(src);
  brim_destroy_bitmap(dst);
}
