#include <gtest/gtest.h>

#include "base/bitmap.h"
#include "machine/cart.h"
#include "cart/cart_record.h"

TEST(Bitmap, CreateIsZeroedWithFullClip) {
  brim_bitmap* b = brim_create_bitmap(128, 64, 8);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->line[63] - b->line[0], 63 * 128);
  for (int i = 0; i < 128 * 64; i++) ASSERT_EQ(b->data[i], 0);
  EXPECT_EQ(b->cr, 128);
  EXPECT_EQ(b->cb, 64);
  brim_set_clip(b, -5, 3, 500, 70);
  EXPECT_EQ(b->cl, 0);
  EXPECT_EQ(b->ct, 3);
  EXPECT_EQ(b->cr, 128);
  EXPECT_EQ(b->cb, 64);
  brim_destroy_bitmap(b);
}

TEST(Bitmap, RejectsBadSizes) {
  EXPECT_EQ(brim_create_bitmap(0, 10, 8), nullptr);
  EXPECT_EQ(brim_create_bitmap(10, 10, 16), nullptr);
  EXPECT_EQ(brim_create_bitmap(1 << 20, 1 << 20, 32), nullptr);
}

TEST(Cart, NewRecordDefaults) {
  zurkel_cart* c = brim_create_zurkel_cart();
  EXPECT_EQ(c->sfx[0].speed, 1);
  EXPECT_EQ(c->sfx[1].speed, 16);
  EXPECT_EQ(c->music[5][0], 65);
  EXPECT_EQ(c->music[5][3], 68);
  EXPECT_EQ(c->code[0], 0);
  EXPECT_EQ(c->label, nullptr);
  brim_destroy_zurkel_cart(c);
}
