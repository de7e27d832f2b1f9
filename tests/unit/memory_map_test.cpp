#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "machine/loaded_cart.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "cart/cart_record.h"

namespace {

// A runtime error asks the main loop to stop and show it (pending_command 4).
void clear_error(zurkel_machine* m) {
  m->fault.error_text[0] = 0;
  m->pending_command = 0;
}

bool error_raised(const zurkel_machine* m) { return m->pending_command == 4; }

struct machine_fixture : ::testing::Test {
  std::unique_ptr<zurkel_machine> m = std::make_unique<zurkel_machine>();
  void SetUp() override {
    m->cart = brim_create_zurkel_cart();
    m->screen = brim_create_bitmap(128, 128, 8);
    clear_error(m.get());
    gpio_reset(m.get());
  }
  void TearDown() override {
    brim_destroy_zurkel_cart(m->cart);
    brim_destroy_bitmap(m->screen);
  }
  int peek(int a) { return zurkel_peek(m.get(), m->cart, a); }
  void poke(int a, int v) { zurkel_poke(m.get(), m->cart, a, v); }
};

using MemoryMap = machine_fixture;

TEST_F(MemoryMap, SharedRegionWritesSpriteSheetAndMap) {
  poke(0x1000, 0x21);
  EXPECT_EQ(m->cart->gfx->line[64][0], 1);
  EXPECT_EQ(m->cart->gfx->line[64][1], 2);
  EXPECT_EQ(m->cart->map->line[32][0], 0x21);
  EXPECT_EQ(peek(0x1000), 0x21);
  // The shared region reads from the sprite sheet, never the map.
  m->cart->map->line[32][0] = 0x77;
  EXPECT_EQ(peek(0x1000), 0x21);
  // Map cell (127, 63) is the last byte of the shared region.
  poke(0x1FFF, 0x5A);
  EXPECT_EQ(m->cart->map->line[63][127], 0x5A);
  EXPECT_EQ(m->cart->gfx->line[127][126], 0xA);
  EXPECT_EQ(m->cart->gfx->line[127][127], 0x5);
}

TEST_F(MemoryMap, UpperSpriteSheetDoesNotTouchMap) {
  poke(0x0FFF, 0xFF);
  EXPECT_EQ(m->cart->gfx->line[63][127], 15);
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 128; x++) ASSERT_EQ(m->cart->map->line[y][x], 0);
}

TEST_F(MemoryMap, ScreenPixelsPackLowNibbleLeft) {
  poke(0x6000, 0xAB);
  EXPECT_EQ(m->screen->line[0][0], 11);
  EXPECT_EQ(m->screen->line[0][1], 10);
  m->screen->line[127][127] = 0x17;  // only the low nibble is visible
  m->screen->line[127][126] = 3;
  EXPECT_EQ(peek(0x7FFF), 0x73);
  EXPECT_EQ(m->ram[0x6000], 0xAB);
}

TEST_F(MemoryMap, MapRowsZeroToThirtyOne) {
  poke(0x2000 + 5 * 128 + 7, 0x99);
  EXPECT_EQ(m->cart->map->line[5][7], 0x99);
  EXPECT_EQ(peek(0x2000 + 5 * 128 + 7), 0x99);
}

TEST_F(MemoryMap, FreshMusicReadsSilentChannels) {
  EXPECT_EQ(peek(0x3100), 0x41);
  EXPECT_EQ(peek(0x3101), 0x42);
  EXPECT_EQ(peek(0x3102), 0x43);
  EXPECT_EQ(peek(0x3103), 0x44);
  poke(0x3105, 0x83);
  EXPECT_EQ(m->cart->music[1][1], 3);
  EXPECT_EQ(m->cart->music_flags[1], 2);
  EXPECT_EQ(peek(0x3105), 0x83);
  poke(0x3105, 0x03);
  EXPECT_EQ(m->cart->music_flags[1], 0);
}

TEST_F(MemoryMap, SoundEffectBytes) {
  int base = 0x3200 + 2 * 68;  // effect 2
  poke(base + 6, 0xC5);        // note 3, even byte
  poke(base + 7, 0xB7);        // odd byte: wave bit 2, volume 3, effect 3, custom
  const zurkel_note& n = m->cart->sfx[2].notes[3];
  EXPECT_EQ(n.pitch, 5);
  EXPECT_EQ(n.waveform, 7);
  EXPECT_EQ(n.volume, 3);
  EXPECT_EQ(n.effect, 3);
  EXPECT_EQ(n.flags, 0x80);
  EXPECT_EQ(peek(base + 6), 0xC5);
  EXPECT_EQ(peek(base + 7), 0xB7);
  poke(base + 65, 9);
  EXPECT_EQ(m->cart->sfx[2].speed, 9);
  EXPECT_EQ(peek(base + 65), 9);
  EXPECT_EQ(peek(0x3200 + 65), 1);        // effect 0 speed
  EXPECT_EQ(peek(0x3200 + 63 * 68 + 65), 16);
  poke(0x3000 + 255, 0xF0);
  EXPECT_EQ(m->cart->sprite_flags[255], 0xF0);
}

TEST_F(MemoryMap, OutOfRange) {
  EXPECT_EQ(peek(-1), 0);
  EXPECT_EQ(peek(0x8000), 0);
  uint8_t before[0x8000];
  std::memcpy(before, m->ram, sizeof before);
  poke(0x8000, 1);
  EXPECT_TRUE(error_raised(m.get()));
  EXPECT_STREQ(zurkel_runtime_error_text(m.get()), "bad memory access");
  clear_error(m.get());
  poke(-1, 1);
  EXPECT_TRUE(error_raised(m.get()));
  EXPECT_EQ(std::memcmp(before, m->ram, sizeof before), 0);
  clear_error(m.get());
  poke(0x7FFF, 0x21);
  EXPECT_FALSE(error_raised(m.get()));
}

TEST_F(MemoryMap, CameraSignRule) {
  poke(0x5F28, 0xFF);
  poke(0x5F29, 0xFF);
  EXPECT_EQ(m->draw[DS_CAMERA_X], -1);
  EXPECT_EQ(peek(0x5F28), 0xFF);
  EXPECT_EQ(peek(0x5F29), 0xFF);
  poke(0x5F2B, 0x01);
  poke(0x5F2A, 0x80);
  EXPECT_EQ(m->draw[DS_CAMERA_Y], 0x180);
  poke(0x5F29, 0x80);
  EXPECT_EQ(m->draw[DS_CAMERA_X], -32768 + 0xFF);
  poke(0x5F28, 0x00);
  EXPECT_EQ(m->draw[DS_CAMERA_X], -32768);
}

TEST_F(MemoryMap, FillPatternBytes) {
  poke(0x5F31, 0x34);
  poke(0x5F32, 0x12);
  EXPECT_EQ(m->draw[DS_FILLP] & 0xFFFF, 0x1234);
  poke(0x5F33, 0x01);
  EXPECT_EQ(m->draw[DS_FILLP], 0x11234);
  EXPECT_EQ(peek(0x5F33), 1);
  // Only bit 16 is cleared first; the byte is ORed in.
  poke(0x5F33, 0x02);
  EXPECT_EQ(m->draw[DS_FILLP], 0x21234);
  poke(0x5F33, 0x04);
  EXPECT_EQ(m->draw[DS_FILLP], 0x61234);
  EXPECT_EQ(peek(0x5F31), 0x34);
  EXPECT_EQ(peek(0x5F32), 0x12);
}

TEST_F(MemoryMap, PalettesPenCursorScreenMode) {
  poke(0x5F03, 0x8C);
  poke(0x5F1F, 0x81);
  poke(0x5F25, 7);
  poke(0x5F26, 40);
  poke(0x5F27, 50);
  poke(0x5F2C, 3);
  EXPECT_EQ(m->draw[DS_PAL + 3], 0x8C);
  EXPECT_EQ(m->draw[DS_SCREEN_PAL + 15], 0x81);
  EXPECT_EQ(m->draw[DS_PEN], 7);
  EXPECT_EQ(m->draw[DS_CURSOR_X], 40);
  EXPECT_EQ(m->draw[DS_CURSOR_Y], 50);
  EXPECT_EQ(m->draw[DS_SCREEN_MODE], 3);
  m->draw[DS_PAL + 3] = 0x1234;
  EXPECT_EQ(peek(0x5F03), 0x34);
}

TEST_F(MemoryMap, ClipWritesSetScreenClip) {
  poke(0x5F20, 10);
  poke(0x5F21, 20);
  poke(0x5F22, 100);
  poke(0x5F23, 110);
  EXPECT_EQ(m->screen->cl, 10);
  EXPECT_EQ(m->screen->ct, 20);
  EXPECT_EQ(m->screen->cr, 100);
  EXPECT_EQ(m->screen->cb, 110);
  EXPECT_EQ(peek(0x5F22), 100);
  poke(0x5F22, 200);  // clamped to the bitmap
  EXPECT_EQ(m->screen->cr, 128);
  EXPECT_EQ(m->draw[DS_CLIP_RIGHT], 200);
}

TEST_F(MemoryMap, RamOnlyStateBytes) {
  m->draw[0x24] = 99;  // not a register: 0x5F24 reads ram
  poke(0x5F24, 5);
  EXPECT_EQ(peek(0x5F24), 5);
  for (int a : {0x5F2D, 0x5F2E, 0x5F2F, 0x5F30, 0x5F44, 0x5F60, 0x5F7F}) {
    poke(a, 0x5C);
    EXPECT_EQ(peek(a), 0x5C) << a;
  }
  poke(0x4300, 0x42);
  poke(0x5DFF, 0x43);
  EXPECT_EQ(peek(0x4300), 0x42);
  EXPECT_EQ(peek(0x5DFF), 0x43);
}

TEST_F(MemoryMap, AudioEffectRegisters) {
  poke(0x5F41, 0xF5);
  EXPECT_EQ(m->audio_fx[1], 5);
  EXPECT_EQ(peek(0x5F41), 0xF5);  // reads ram
}

TEST_F(MemoryMap, ExtendedPaletteUnlock) {
  EXPECT_FALSE(zurkel_ext_palette_unlocked(m.get()));
  for (int i = 0; i < 4; i++) poke(0x5F60 + i, ZURKEL_EXT_PALETTE_CODE[i]);
  EXPECT_TRUE(zurkel_ext_palette_unlocked(m.get()));
  poke(0x5F63, 0);
  EXPECT_FALSE(zurkel_ext_palette_unlocked(m.get()));
}

TEST_F(MemoryMap, CartDataWordsAndDirtyFlag) {
  m->cartdata[0] = 0x11223344;
  EXPECT_EQ(peek(0x5E00), 0x44);
  EXPECT_EQ(peek(0x5E03), 0x11);
  poke(0x5E05, 0xAB);
  EXPECT_EQ(m->cartdata[1], 0xAB00u);
  EXPECT_TRUE(m->cartdata_dirty);
  m->cartdata_dirty = false;
  m->reset_glitch = 2;  // the reset effect's damage never reaches cart data
  poke(0x5E05, 0x01);
  EXPECT_EQ(m->cartdata[1], 0xAB00u);
  EXPECT_FALSE(m->cartdata_dirty);
  EXPECT_EQ(peek(0x5E05), 0xAB);
}

TEST_F(MemoryMap, GpioStore) {
  poke(0x5F80, 7);
  poke(0x5FFF, 200);
  EXPECT_EQ(peek(0x5F80), 7);
  EXPECT_EQ(peek(0x5FFF), 200);
  EXPECT_EQ(gpio_read(m.get(), 127), 200);
  EXPECT_EQ(gpio_read(m.get(), 128), 0);
}

TEST_F(MemoryMap, WithoutMachineOnlyRom) {
  zurkel_cart* c = m->cart;
  zurkel_poke(nullptr, c, 0x0001, 0x12);
  EXPECT_EQ(zurkel_peek(nullptr, c, 0x0001), 0x12);
  zurkel_poke(nullptr, c, 0x6000, 0x12);  // nothing to write into
  EXPECT_EQ(zurkel_peek(nullptr, c, 0x6000), 0);
  EXPECT_EQ(zurkel_peek(nullptr, c, 0x4300), 0);
  EXPECT_EQ(zurkel_peek(nullptr, nullptr, 0x0000), 0);
  zurkel_poke(nullptr, nullptr, 0x0000, 1);  // no cart: nothing happens
}

TEST_F(MemoryMap, MemcpyOverlapsBothWays) {
  for (int i = 0; i < 8; i++) poke(0x4300 + i, i + 1);
  zurkel_memcpy(m.get(), m->cart, 0x4302, 0x4300, 6);  // dest above src
  const int up[8] = {1, 2, 1, 2, 3, 4, 5, 6};
  for (int i = 0; i < 8; i++) EXPECT_EQ(peek(0x4300 + i), up[i]) << i;
  zurkel_memcpy(m.get(), m->cart, 0x4300, 0x4302, 6);  // dest below src
  const int down[8] = {1, 2, 3, 4, 5, 6, 5, 6};
  for (int i = 0; i < 8; i++) EXPECT_EQ(peek(0x4300 + i), down[i]) << i;
  zurkel_memcpy(m.get(), m->cart, 0x4300, 0x6000, 0x8000);  // count above 0x7FFF
  EXPECT_EQ(peek(0x4300), 1);
}

TEST_F(MemoryMap, MemcpyIntoScreenAndMemset) {
  zurkel_memset(m.get(), m->cart, 0x6000, 0x77, 64);
  for (int x = 0; x < 128; x++) EXPECT_EQ(m->screen->line[0][x], 7);
  EXPECT_EQ(m->screen->line[1][0], 0);
  zurkel_memset(m.get(), m->cart, 0x6000, 1, 0x8000);
  EXPECT_EQ(m->screen->line[0][0], 7);
  zurkel_memset(m.get(), m->cart, 0x7FFE, 1, 4);  // runs off the end
  EXPECT_TRUE(error_raised(m.get()));
  EXPECT_EQ(m->screen->line[127][124], 1);
  EXPECT_EQ(m->screen->line[127][126], 1);
}

TEST_F(MemoryMap, ReloadFromLoadedCart) {
  zurkel_cart* src = brim_create_zurkel_cart();
  zurkel_poke(nullptr, src, 0x0010, 0x5A);
  zurkel_poke(nullptr, src, 0x3105, 0x07);
  for (int i = 0; i < 16; i++) poke(0x4300 + i, 0xEE);
  zurkel_reload(m.get(), src, 0, 0, 0x4300);
  EXPECT_EQ(peek(0x0010), 0x5A);
  EXPECT_EQ(peek(0x3105), 0x07);
  // Addresses from 0x4300 up reload as 0.
  zurkel_reload(m.get(), src, 0x4300, 0x4300, 16);
  for (int i = 0; i < 16; i++) EXPECT_EQ(peek(0x4300 + i), 0);

  // Null means the loaded cart.
  zurkel_cart* saved = m->loaded.cart;
  m->loaded.cart = src;
  poke(0x0010, 0);
  zurkel_reload(m.get(), nullptr, 0x0010, 0x0010, 1);
  EXPECT_EQ(peek(0x0010), 0x5A);

  // Another cart read before: the state is cleared and a disk pause follows.
  m->run.other_cart_file = "other.zk";
  zurkel_reload(m.get(), nullptr, 0, 0, 1);
  EXPECT_EQ(m->disk_pause, 30);
  EXPECT_TRUE(m->run.other_cart_file.empty());
  m->disk_pause = 0;
  zurkel_reload(m.get(), nullptr, 0, 0, 1);
  EXPECT_EQ(m->disk_pause, 0);
  m->loaded.cart = saved;
  brim_destroy_zurkel_cart(src);
}

TEST(MemorySync, SharedRegionBothWays) {
  zurkel_cart* c = brim_create_zurkel_cart();
  c->gfx->line[64][0] = 3;
  c->gfx->line[64][1] = 4;
  c->gfx->line[65][2] = 9;  // x = 65: second half of the row pair
  c->gfx->line[127][127] = 15;
  sync_shared_gfx_to_map(c);
  EXPECT_EQ(c->map->line[32][0], 0x43);
  EXPECT_EQ(c->map->line[32][65], 0x09);
  EXPECT_EQ(c->map->line[63][127], 0xF0);
  c->map->line[40][3] = 0xBA;
  sync_shared_map_to_gfx(c);
  EXPECT_EQ(c->gfx->line[80][6], 0xA);
  EXPECT_EQ(c->gfx->line[80][7], 0xB);
  // The sync agrees with the memory map for every shared byte.
  for (int a = 0x1000; a < 0x2000; a++)
    ASSERT_EQ(zurkel_peek(nullptr, c, a), c->map->line[a / 128][a % 128]) << a;
  brim_destroy_zurkel_cart(c);
}

TEST(MemorySync, AfterLoadPicksTheSide) {
  zurkel_cart* c = brim_create_zurkel_cart();
  c->gfx->line[100][10] = 6;
  zurkel_sync_shared_after_load(c);  // map rows 32-63 all zero: filled from gfx
  EXPECT_EQ(c->gfx->line[100][10], 6);
  EXPECT_EQ(c->map->line[50][5], 6);
  c->map->line[33][0] = 0x21;  // any non-zero cell: the map wins
  zurkel_sync_shared_after_load(c);
  EXPECT_EQ(c->gfx->line[66][0], 1);
  EXPECT_EQ(c->gfx->line[66][1], 2);
  EXPECT_EQ(c->gfx->line[100][10], 6);
  brim_destroy_zurkel_cart(c);
}

}  // namespace
