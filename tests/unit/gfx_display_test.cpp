#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/print.h"
#include "gfx/resources.h"
#include "gfx/video.h"
#include "gfx_fixture.h"
#include "machine/memory.h"
#include "pod/pod.h"

using GfxDisplay = GfxMachine;

TEST_F(GfxDisplay, ScreenPaletteMapsAndMasks) {
  m->screen->line[0][0] = 1;
  m->screen->line[0][1] = 7;
  zurkel_poke(m, m->cart, 0x5F11, 0x8C);
  gfx_pal(m, 7, 8, 1);
  gfx_present_screen(m, false);
  EXPECT_EQ(m->display->line[0][0], 12);
  EXPECT_EQ(m->display->line[0][1], 8);
  EXPECT_EQ(zurkel_peek(m, m->cart, 0x5F11), 12);  // the register itself was masked
  EXPECT_EQ(m->screen->line[0][1], 7);             // pget still sees 7
}

TEST_F(GfxDisplay, ExtendedPaletteWithUnlockCode) {
  m->screen->line[0][0] = 1;
  for (int i = 0; i < 4; i++) zurkel_poke(m, m->cart, 0x5F60 + i, ZURKEL_EXT_PALETTE_CODE[i]);
  zurkel_poke(m, m->cart, 0x5F11, 0xFC);  // bits 4-6 cleared, bit 7 kept
  gfx_present_screen(m, false);
  EXPECT_EQ(m->display->line[0][0], 140);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 1], 0x8C);
}

TEST_F(GfxDisplay, ModeOneStretchesAndFiveMirrors) {
  for (int x = 0; x < 128; x++) m->screen->line[3][x] = static_cast<uint8_t>(x & 15);
  m->screen->line[3][10] = 9;
  m->draw[DS_SCREEN_MODE] = 1;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[3][20], 9);
  EXPECT_EQ(m->display->line[3][21], 9);
  EXPECT_EQ(m->display->line[3][127], 63 & 15);
  m->draw[DS_SCREEN_MODE] = 5;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[3][127], m->display->line[3][0]);
  EXPECT_EQ(m->display->line[3][117], 9);
  EXPECT_EQ(m->display->line[3][10], 9);
  // Not running a cart: no mode.
  gfx_present_screen(m, false);
  EXPECT_EQ(m->display->line[3][127], 15);
}

TEST_F(GfxDisplay, VerticalModes) {
  m->screen->line[10][0] = 9;
  m->draw[DS_SCREEN_MODE] = 2;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[20][0], 9);
  EXPECT_EQ(m->display->line[21][0], 9);
  EXPECT_EQ(m->display->line[10][0], 0);
  m->draw[DS_SCREEN_MODE] = 6;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[117][0], 9);
  m->draw[DS_SCREEN_MODE] = 7;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[117][127], 9);
  m->draw[DS_SCREEN_MODE] = 3;
  gfx_present_screen(m, true);
  EXPECT_EQ(m->display->line[21][1], 9);
  for (int mode : {0, 4, 8, 200}) {
    m->draw[DS_SCREEN_MODE] = mode;
    gfx_present_screen(m, true);
    EXPECT_EQ(m->display->line[10][0], 9);
    EXPECT_EQ(m->display->line[20][0], 0);
  }
}

TEST(GfxVideo, DestRectPixelPerfectAndAspect) {
  brim_rect none;
  brim_rect r = brim_compute_dest_rect(none, 1000, 700, 128, 128, true);
  EXPECT_EQ(r.x, 180);
  EXPECT_EQ(r.y, 30);
  EXPECT_EQ(r.w, 640);
  EXPECT_EQ(r.h, 640);
  r = brim_compute_dest_rect(none, 1000, 700, 128, 128, false);
  EXPECT_EQ(r.x, 150);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.w, 700);
  EXPECT_EQ(r.h, 700);
  r = brim_compute_dest_rect(none, 100, 100, 128, 128, true);
  EXPECT_EQ(r.x, -14);
  EXPECT_EQ(r.y, -14);
  EXPECT_EQ(r.w, 128);
  r = brim_compute_dest_rect(none, 700, 1000, 128, 128, false);
  EXPECT_EQ(r.w, 700);
  EXPECT_EQ(r.y, 150);
  r = brim_compute_dest_rect(none, 0, 480, 128, 128, true);
  EXPECT_EQ(r.w, 0);
  EXPECT_EQ(r.h, 0);
  brim_rect o{5, 6, 7, 8};
  r = brim_compute_dest_rect(o, 1000, 700, 128, 128, true);
  EXPECT_EQ(r.x, 5);
  EXPECT_EQ(r.h, 8);
}

TEST(GfxVideo, FrameRateSmoothing) {
  EXPECT_EQ(brim_fps_step(51 << 16, 20), 51 << 16);
  int32_t s = 0;
  for (int i = 0; i < 2000; i++) s = brim_fps_step(s, 20);
  EXPECT_EQ(s >> 16, 51);
  EXPECT_EQ(brim_fps_step(1001 << 16, 0), 1001 << 16);
  // One slow frame moves the rate by a sixteenth of the gap at most.
  int32_t after = brim_fps_step(60 << 16, 1000);  // instant rate 2
  EXPECT_EQ(after, ((2 << 16) + 15 * (60 << 16)) / 16 - 0x1000);  // then a further 1/16 step
  EXPECT_EQ(brim_fps_step(0, 5000), (2 << 16) / 16 + 0x1000);  // dt capped at 1000 ms: rate 2
}

TEST(GfxVideo, PageToArgbAndSoftwareScale) {
  uint8_t pal[768] = {};
  pal[3 * 1] = 0x12;
  pal[3 * 1 + 1] = 0x34;
  pal[3 * 1 + 2] = 0x56;
  brim_bitmap* page = brim_create_bitmap(2, 2, 8);
  brim_bitmap* work = brim_create_bitmap(2, 2, 32);
  page->line[0][1] = 1;
  brim_page_to_argb(page, work, pal);
  EXPECT_EQ(brim_line32(work, 0)[1], 0xFF123456u);
  EXPECT_EQ(brim_line32(work, 0)[0], 0xFF000000u);
  uint32_t out[6 * 4] = {};
  ASSERT_TRUE(brim_software_scale(work, out, 6, 6, 4, brim_rect{1, 0, 4, 4}));
  EXPECT_EQ(out[0], 0u);            // outside the rectangle
  EXPECT_EQ(out[1], 0xFF000000u);
  EXPECT_EQ(out[3], 0xFF123456u);
  EXPECT_EQ(out[4], 0xFF123456u);
  EXPECT_EQ(out[5], 0u);
  EXPECT_EQ(out[6 * 3 + 1], 0xFF000000u);
  // Clamped to the surface; empty rectangles draw nothing.
  EXPECT_TRUE(brim_software_scale(work, out, 6, 6, 4, brim_rect{-14, -14, 128, 128}));
  EXPECT_FALSE(brim_software_scale(work, out, 6, 6, 4, brim_rect{0, 0, 0, 4}));
  brim_destroy_bitmap(page);
  brim_destroy_bitmap(work);
}

TEST(GfxVideo, MouseMapping) {
  int x = 0, y = 0;
  brim_mouse_to_screen(180 + 320, 30 + 5, brim_rect{180, 30, 640, 640}, 128, 128, &x, &y);
  EXPECT_EQ(x, 64);
  EXPECT_EQ(y, 1);
  brim_mouse_to_screen(10, 10, brim_rect{0, 0, 0, 0}, 128, 128, &x, &y);
  EXPECT_EQ(x, 0);
}

TEST(GfxVideo, ConvertBitmap) {
  uint8_t pal[768] = {};
  for (int i = 0; i < 256; i++) pal[3 * i] = static_cast<uint8_t>(i);  // red ramp
  brim_bitmap* a = brim_create_bitmap(3, 1, 8);
  brim_bitmap* b = brim_create_bitmap(3, 1, 32);
  a->line[0][0] = 0;
  a->line[0][1] = 200;
  brim_convert_bitmap(a, b, pal);
  EXPECT_EQ(brim_line32(b, 0)[0], 0x00000000u);  // index 0: alpha 0
  EXPECT_EQ(brim_line32(b, 0)[1], 0xFFC80000u);
  // Back: first entry under distance 192 wins at once.
  brim_line32(b, 0)[2] = 0xFF640000u | 0x0A;     // red 100, blue 10: distance 100 from entry 100
  brim_convert_bitmap(b, a, pal);
  EXPECT_EQ(a->line[0][1], 187);                 // 200 - 13: 13^2 = 169 < 192 first
  EXPECT_EQ(a->line[0][2], 91);
  // A source pixel outside the source clip counts as black.
  brim_set_clip(b, 0, 0, 2, 1);
  brim_convert_bitmap(b, a, pal);
  EXPECT_EQ(a->line[0][2], 0);
  brim_bitmap* c = brim_create_bitmap(4, 1, 8);
  brim_convert_bitmap(b, c, pal);  // sizes differ: nothing
  EXPECT_EQ(c->line[0][0], 0);
  brim_destroy_bitmap(a);
  brim_destroy_bitmap(b);
  brim_destroy_bitmap(c);
}

TEST(GfxResources, LoadFromPods) {
  brim_pod* g = brim_create_pod(8);
  cpod_add_file(g, "pad", "", 0);
  auto* pal = new brim_pod_palette;
  for (int i = 0; i < 256; i++) pal->rgb[i][0] = pal->rgb[i][1] = pal->rgb[i][2] = static_cast<uint8_t>(255 - i);
  cpod_add_item(g, BRIM_ITEM_PALETTE, pal);
  cpod_add_file(g, "pad", "", 0);
  cpod_add_file(g, "pad", "", 0);
  cpod_add_file(g, "title", "zurkel", 6);
  cpod_add_file(g, "pad", "", 0);
  cpod_add_item(g, BRIM_ITEM_BITMAP, brim_create_bitmap(4, 4, 32));
  brim_bitmap* arrow = brim_create_bitmap(2, 1, 8);
  arrow->line[0][1] = 7;
  cpod_add_item(g, BRIM_ITEM_BITMAP, arrow);
  brim_pod* f = brim_create_pod(256);
  for (int i = 0; i < 256; i++) cpod_add_item(f, BRIM_ITEM_BITMAP, brim_create_bitmap(3, 5, 8));
  gfx_load_resources(g, f);
  EXPECT_EQ(brim_palette[3], 254);
  EXPECT_STREQ(brim_window_title(), "zurkel");
  ASSERT_NE(brim_window_icon(), nullptr);
  EXPECT_EQ(brim_window_icon()->w, 4);
  ASSERT_NE(zurkel_console_font, nullptr);
  EXPECT_EQ(zurkel_console_font->glyphs.size(), 256u);
  brim_bitmap* dst = brim_create_bitmap(4, 4, 8);
  dst->line[1][1] = 3;
  gfx_draw_icon(dst, GFX_RES_MENU_ARROW, 0, 1);
  EXPECT_EQ(dst->line[1][0], 0);
  EXPECT_EQ(dst->line[1][1], 7);
  gfx_draw_icon(dst, 300, 0, 0);  // missing items draw nothing
  brim_destroy_bitmap(dst);
  brim_destroy_pod(g);
  brim_destroy_pod(f);
  gfx_free_resources();
  EXPECT_EQ(gfx_resource_bitmap(GFX_RES_MENU_ARROW), nullptr);
}
